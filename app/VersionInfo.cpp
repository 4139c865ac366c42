#include "app/VersionInfo.h"

#include <cstdio>
#include <cstring>

namespace {

const VersionTranslation g_Translations[] = {{0x0409, 0x04B0}};

const VersionString g_EnglishStrings[] = {
    {"CompanyName", "Vessary"},
    {"FileDescription", "Tarnwick disk benchmark"},
    {"FileVersion", "5.00.2"},
    {"InternalName", "tarnwick"},
    {"LegalCopyright", "Copyright (C) 2026 Vessary. All rights reserved."},
    {"ProductName", "Vessary Tarnwick"},
    {"ProductVersion", "5.00.2"},
};

const VersionStringTable g_StringTables[] = {
    {"040904b0", g_EnglishStrings, sizeof g_EnglishStrings / sizeof g_EnglishStrings[0]},
};

const VersionInfoRecord g_ProgramVersionInfo = {
    g_Translations, sizeof g_Translations / sizeof g_Translations[0],
    g_StringTables, sizeof g_StringTables / sizeof g_StringTables[0],
};

constexpr const char* TRANSLATION_PATH = "\\VarFileInfo\\Translation";
constexpr const char* STRING_PREFIX = "\\StringFileInfo\\";

}

const VersionInfoRecord* GetProgramVersionInfo()
{
    return &g_ProgramVersionInfo;
}

bool QueryVersionTranslation(const VersionInfoRecord& record, const char* pszPath, VersionTranslation& first)
{
    if (!pszPath || std::strcmp(pszPath, TRANSLATION_PATH) != 0 || !record.translations || record.translationCount == 0)
        return false;
    first = record.translations[0];
    return true;
}

bool QueryVersionString(const VersionInfoRecord& record, const char* pszPath, std::string& value)
{
    const size_t prefix = std::strlen(STRING_PREFIX);
    if (!pszPath || std::strncmp(pszPath, STRING_PREFIX, prefix) != 0)
        return false;
    const char* table = pszPath + prefix;
    const char* slash = std::strchr(table, '\\');
    if (!slash)
        return false;
    const std::string tableKey(table, slash);
    for (size_t t = 0; t < record.tableCount && record.tables; ++t) {
        const VersionStringTable& strings = record.tables[t];
        if (!strings.langCodePage || tableKey != strings.langCodePage)
            continue;
        for (size_t i = 0; i < strings.count; ++i) {
            if (strings.strings[i].key && std::strcmp(strings.strings[i].key, slash + 1) == 0) {
                value = strings.strings[i].value ? strings.strings[i].value : "";
                return true;
            }
        }
    }
    return false;
}

const char* GetVersionText()
{
    return "5.00.2";
}

std::string GetLegalNotice(const VersionInfoRecord* pRecord)
{
    std::string result = "UNKNOWN";
    if (!pRecord)
        return result;
    VersionTranslation first{};
    if (!QueryVersionTranslation(*pRecord, TRANSLATION_PATH, first))
        return result;
    char path[64];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\LegalCopyright", first.language, first.codePage);
    std::string notice;
    if (QueryVersionString(*pRecord, path, notice))
        result = notice;
    return result;
}

std::string GetLegalNotice()
{
    return GetLegalNotice(GetProgramVersionInfo());
}
