#include "util/OptionParser.h"

#include "util/Messages.h"
#include "util/Usage.h"

#include <cstring>
#include <utility>

const char HELP_PASSWORD[] = "tarnwicks";

namespace {
std::FILE* g_pPasswordInput = nullptr; // null: standard input

// The slot a value belongs to: the last letter seen, or the first slot before any.
OptionEntry& CurrentSlot(OptionTable& table)
{
    return table.aEntries[table.nCount ? table.nCount - 1 : 0];
}

// Gives the current slot its argument; a value before any letter, or a second
// value for the same letter, is refused.
bool SetArgument(OptionTable& table, const char* pszValue)
{
    OptionEntry& slot = CurrentSlot(table);
    if (!slot.cLetter || slot.pszArgument) {
        OptionError(1, "Options must be preceded with a '-' (%s).", pszValue);
        return false;
    }
    slot.pszArgument = pszValue;
    return true;
}

bool AddLetter(OptionTable& table, char cLetter)
{
    if (table.nCount >= MAX_OPTIONS) {
        OptionError(1, "Too many options.");
        return false;
    }
    table.aEntries[table.nCount].cLetter = cLetter;
    ++table.nCount;
    return true;
}

// An absolute path begins with '/', the other option prefix. A '/' inside a
// group of letters is refused anyway, so a string that starts with '/' and
// holds a second one can only be a path: "-f /home/me/run1.bmk" works.
bool IsAbsolutePath(const char* pszArg)
{
    return pszArg[0] == '/' && std::strchr(pszArg + 1, '/') != nullptr;
}

// One argument string: a value, or a group of letters that may end in ':' or '=' and a value.
bool SplitArgument(OptionTable& table, const char* pszArg)
{
    if ((pszArg[0] != '-' && pszArg[0] != '/') || IsAbsolutePath(pszArg))
        return SetArgument(table, pszArg);
    for (const char* p = pszArg + 1; *p; ++p) {
        switch (*p) {
        case '-':
        case '/':
            OptionError(1, "Multiple '-' specified.");
            return false;
        case ':':
        case '=':
            return SetArgument(table, p + 1);
        default:
            if (!AddLetter(table, *p))
                return false;
        }
    }
    return true;
}

// Reads one answer line: at most MAX_PASSWORD_ANSWER bytes, ended by the first
// line feed or carriage return. A failed read leaves an empty answer.
std::size_t ReadAnswer(char* pszAnswer)
{
    std::FILE* pInput = g_pPasswordInput ? g_pPasswordInput : stdin;
    std::clearerr(pInput);
    std::size_t nLength = 0;
    while (nLength < static_cast<std::size_t>(MAX_PASSWORD_ANSWER)) {
        int c = std::getc(pInput);
        if (c == EOF || c == '\n')
            break;
        pszAnswer[nLength++] = static_cast<char>(c);
    }
    if (std::ferror(pInput))
        nLength = 0;
    pszAnswer[nLength] = '\0';
    if (char* pCr = static_cast<char*>(std::memchr(pszAnswer, '\r', nLength)))
        nLength = static_cast<std::size_t>(pCr - pszAnswer);
    for (std::size_t i = 0; i < nLength; ++i)
        if (pszAnswer[i] >= 'A' && pszAnswer[i] <= 'Z')
            pszAnswer[i] = static_cast<char>(pszAnswer[i] - 'A' + 'a');
    return nLength;
}

bool CheckHelpPassword()
{
    PrintMessage("Password: ");
    char szAnswer[MAX_PASSWORD_ANSWER + 1];
    std::size_t nLength = ReadAnswer(szAnswer);
    // Compared by length, so a NUL byte in the answer cannot cut it short.
    if (nLength == std::strlen(HELP_PASSWORD) && std::memcmp(szAnswer, HELP_PASSWORD, nLength) == 0)
        return true;
    OptionError(1, "Invalid help password.");
    return false;
}

// Takes -? and -h out of the table, after checking each one and its keyword.
bool HandleHelpOptions()
{
    int nSlot = 0;
    while (g_pOptionTable && nSlot < g_pOptionTable->nCount) {
        OptionEntry* pEntry = &g_pOptionTable->aEntries[nSlot];
        if (pEntry->cLetter != '?' && pEntry->cLetter != 'h') {
            ++nSlot;
            continue;
        }
        if (!CheckUniqueOption(pEntry))
            return false;
        g_pOptionTable->bHelpRequested = 1;
        if (pEntry->pszArgument) {
            const HelpKeyword* pKeyword = FindKeyword(pEntry, g_aHelpKeywords);
            if (!pKeyword) {
                ReportInvalidOption(pEntry);
                return false;
            }
            if (pKeyword->bPasswordRequired && !CheckHelpPassword())
                return false;
        }
        // The entry that moves into this slot is examined next.
        RemoveOption(pEntry);
    }
    return true;
}
}

bool ParseOptions(int argc, const char* const* argv)
{
    if (!g_pOptionTable && !CreateOptionTables())
        return false;
    for (int i = 1; i < argc && argv; ++i) {
        if (argv[i] && !SplitArgument(*g_pOptionTable, argv[i]))
            return false;
    }
    return HandleHelpOptions();
}

bool FinishOptions()
{
    if (!g_pOptionTable || !g_pOptionTable->bHelpRequested)
        return true;
    ShowUsage(15);
    ExitProgram(0);
    return false;
}

std::FILE* SetHelpPasswordInput(std::FILE* pInput)
{
    return std::exchange(g_pPasswordInput, pInput);
}
