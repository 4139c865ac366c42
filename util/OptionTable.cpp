#include "util/OptionTable.h"

#include "util/AllocZeroed.h"
#include "util/CommandLineOptions.h"
#include "util/Messages.h"

#include <cstdlib>
#include <cstring>

const HelpKeyword g_aHelpKeywords[] = {
    {"test", 1},
    {"oem", 0},
    {nullptr, 0},
};

OptionTable* g_pOptionTable = nullptr;

namespace {
// The records this file allocated. Only these are freed: a record that
// somebody else put behind the global pointer (a test's local one) is
// merely forgotten, never handed to free().
OptionTable* g_pOwnedTable = nullptr;
CommandLineOptions* g_pOwnedOptions = nullptr;

// The entry's slot number in the table, or -1 when it is not one of its slots.
int SlotOf(const OptionEntry* pEntry)
{
    if (!g_pOptionTable || !pEntry)
        return -1;
    const OptionEntry* pFirst = g_pOptionTable->aEntries;
    for (int i = 0; i < g_pOptionTable->nCount; ++i)
        if (pFirst + i == pEntry)
            return i;
    return -1;
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool BeginsCaseless(const char* pszKeyword, const char* pszText)
{
    std::size_t nLength = std::strlen(pszText);
    if (nLength > std::strlen(pszKeyword))
        return false;
    for (std::size_t i = 0; i < nLength; ++i)
        if (AsciiLower(pszKeyword[i]) != AsciiLower(pszText[i]))
            return false;
    return true;
}
}

bool CreateOptionTables()
{
    // A second call starts from fresh, zeroed records.
    FreeOptionTables();
    // Each pointer is stored at once, so a failure of the second allocation
    // lets ExitProgram (inside FatalError) free the first.
    g_pOptionTable = g_pOwnedTable = static_cast<OptionTable*>(AllocZeroed(sizeof(OptionTable)));
    if (!g_pOptionTable)
        return false;
    g_pCommandLineOptions = g_pOwnedOptions =
        static_cast<CommandLineOptions*>(AllocZeroed(sizeof(CommandLineOptions)));
    return g_pOptionTable && g_pCommandLineOptions;
}

void FreeOptionTables()
{
    std::free(g_pOwnedTable);
    std::free(g_pOwnedOptions);
    g_pOwnedTable = nullptr;
    g_pOwnedOptions = nullptr;
    g_pOptionTable = nullptr;
    g_pCommandLineOptions = nullptr;
}

bool CheckUniqueOption(const OptionEntry* pEntry)
{
    int nSlot = SlotOf(pEntry);
    if (nSlot < 0)
        return true;
    for (int i = nSlot + 1; i < g_pOptionTable->nCount; ++i) {
        if (g_pOptionTable->aEntries[i].cLetter == pEntry->cLetter) {
            OptionError(1, "Multiple -%c options are not allowed.", pEntry->cLetter);
            return false;
        }
    }
    return true;
}

bool CheckHasArgument(const OptionEntry* pEntry)
{
    if (pEntry->pszArgument)
        return true;
    OptionError(1, "Option -%c requires an argument.", pEntry->cLetter);
    return false;
}

bool CheckNoArgument(const OptionEntry* pEntry)
{
    if (!pEntry->pszArgument)
        return true;
    OptionError(1, "Option -%c does not require an argument.", pEntry->cLetter);
    return false;
}

void ReportInvalidOption(const OptionEntry* pEntry)
{
    if (pEntry->pszArgument)
        OptionError(1, "Invalid option -%c %s.", pEntry->cLetter, pEntry->pszArgument);
    else
        OptionError(1, "Invalid option -%c.", pEntry->cLetter);
}

const HelpKeyword* FindKeyword(const OptionEntry* pEntry, const HelpKeyword* pTable)
{
    if (!pEntry || !pTable || !pEntry->pszArgument || !pEntry->pszArgument[0])
        return nullptr;
    const HelpKeyword* pFound = nullptr;
    for (const HelpKeyword* pKeyword = pTable; pKeyword->pszKeyword; ++pKeyword) {
        if (!BeginsCaseless(pKeyword->pszKeyword, pEntry->pszArgument))
            continue;
        if (pFound)
            return nullptr; // ambiguous
        pFound = pKeyword;
    }
    return pFound;
}

void RemoveOption(OptionEntry* pEntry)
{
    int nSlot = SlotOf(pEntry);
    if (nSlot < 0)
        return;
    OptionEntry* pEntries = g_pOptionTable->aEntries;
    int nCount = g_pOptionTable->nCount;
    std::memmove(pEntries + nSlot, pEntries + nSlot + 1,
                 static_cast<std::size_t>(nCount - nSlot - 1) * sizeof(OptionEntry));
    pEntries[nCount - 1] = OptionEntry{};
    g_pOptionTable->nCount = static_cast<std::uint8_t>(nCount - 1);
}
