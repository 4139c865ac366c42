#pragma once

#include "platform/qt/Commands.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

// The recent-file list of the File menu: at most four paths, most recent
// first, kept in the program's settings so the next start shows them again.
class CRecentFileList
{
public:
    // An empty settings path uses the program's own settings (QSettings with
    // the organisation and application names); tests give an INI file.
    explicit CRecentFileList(const QString& strSettingsPath = {}, int nMaxFiles = MAX_RECENT_FILES);

    // Puts the path first; an entry with the same path moves instead of doubling.
    void Add(const std::string& strPath);
    // Drops the entry at the index (a file that no longer opens).
    void Remove(int nIndex);
    const std::vector<std::string>& Paths() const { return m_paths; }
    int MaxFiles() const { return m_nMaxFiles; }

    // The menu text of an entry: "&1 /path/run1.bmk", ampersands doubled.
    static QString MenuText(int nIndex, const std::string& strPath);

    // Called after every change, so the menu follows.
    void SetChangedHandler(std::function<void()> handler) { m_onChanged = std::move(handler); }

private:
    void Load();
    void Save() const;

    QString m_strSettingsPath;
    int m_nMaxFiles;
    std::vector<std::string> m_paths;
    std::function<void()> m_onChanged;
};
