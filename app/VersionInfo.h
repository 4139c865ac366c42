#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The version-information record compiled into the program: a translation
// table (language and code page pairs) and one string table per translation,
// keyed "llllcccc" in lower-case hexadecimal.
struct VersionTranslation
{
    uint16_t language;
    uint16_t codePage;
};

struct VersionString
{
    const char* key;
    const char* value;
};

struct VersionStringTable
{
    const char* langCodePage;   // "040904b0"
    const VersionString* strings;
    size_t count;
};

struct VersionInfoRecord
{
    const VersionTranslation* translations;
    size_t translationCount;
    const VersionStringTable* tables;
    size_t tableCount;
};

// The program's own record; null when the program carries none.
const VersionInfoRecord* GetProgramVersionInfo();

// Looks a value up by its path: "\VarFileInfo\Translation" gives the first
// translation, "\StringFileInfo\llllcccc\Name" a string. False when absent.
bool QueryVersionTranslation(const VersionInfoRecord& record, const char* pszPath, VersionTranslation& first);
bool QueryVersionString(const VersionInfoRecord& record, const char* pszPath, std::string& value);

// Always "5.00.2": the About box and the main frame's caption show it.
const char* GetVersionText();

// "LegalCopyright" of the first translation, or "UNKNOWN" when any piece is missing.
std::string GetLegalNotice(const VersionInfoRecord* pRecord);
std::string GetLegalNotice();
