#pragma once

#include <cstdint>

// Slots of the option table: a 51st option letter is refused.
constexpr int MAX_OPTIONS = 50;

// One parsed option. The argument points into the argument vector, never copied.
struct OptionEntry
{
    char cLetter;             // the option letter, case kept; 0 marks an empty slot
    const char* pszArgument;  // its argument (possibly empty), or null when it has none
};

// The options of the command line in command-line order, from the first slot.
struct OptionTable
{
    OptionEntry aEntries[MAX_OPTIONS];
    std::uint8_t nCount;      // slots in use, 0..MAX_OPTIONS
    int bHelpRequested;       // set once -? or -h was accepted
};

// A keyword a help option may carry; a table of them ends with a null keyword.
struct HelpKeyword
{
    const char* pszKeyword;
    int bPasswordRequired;
};

// The help keywords: "test" asks for the help password, "oem" does not.
extern const HelpKeyword g_aHelpKeywords[];

// Null before CreateOptionTables and after ExitProgram.
extern OptionTable* g_pOptionTable;

// The application's walk: entry nIndex of the table, or null past the last one or once
// a failed check has ended the program (every failing check frees the table).
inline OptionEntry* GetOptionEntry(int nIndex)
{
    if (!g_pOptionTable || nIndex < 0 || nIndex >= g_pOptionTable->nCount)
        return nullptr;
    return &g_pOptionTable->aEntries[nIndex];
}

// Allocates the option table and the command-line record zero-filled; true when both exist.
bool CreateOptionTables();

// Frees what CreateOptionTables made and nulls both global pointers (ExitProgram's first step).
void FreeOptionTables();

// False after "Multiple -%c options are not allowed." when a later entry has the same letter.
bool CheckUniqueOption(const OptionEntry* pEntry);

// False after "Option -%c requires an argument." when the entry has no argument.
bool CheckHasArgument(const OptionEntry* pEntry);

// False after "Option -%c does not require an argument." when it has one, even an empty one.
bool CheckNoArgument(const OptionEntry* pEntry);

// Reports the entry as an invalid option, with its argument when it has one.
void ReportInvalidOption(const OptionEntry* pEntry);

// The one keyword the argument begins, case-insensitively; null for none, an empty argument or two matches.
const HelpKeyword* FindKeyword(const OptionEntry* pEntry, const HelpKeyword* pTable);

// Deletes the entry from the option table; the later entries move down by one.
void RemoveOption(OptionEntry* pEntry);
