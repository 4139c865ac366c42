#include "platform/qt/RecentFiles.h"

#include <QSettings>

#include <algorithm>
#include <memory>

namespace {
const char SECTION[] = "Recent File List";

std::unique_ptr<QSettings> OpenSettings(const QString& strPath)
{
    if (strPath.isEmpty())
        return std::make_unique<QSettings>();
    return std::make_unique<QSettings>(strPath, QSettings::IniFormat);
}

QString Key(int nIndex) { return QStringLiteral("File%1").arg(nIndex + 1); }
}

CRecentFileList::CRecentFileList(const QString& strSettingsPath, int nMaxFiles)
    : m_strSettingsPath(strSettingsPath), m_nMaxFiles(std::clamp(nMaxFiles, 1, MAX_RECENT_FILES))
{
    Load();
}

void CRecentFileList::Add(const std::string& strPath)
{
    if (strPath.empty())
        return;
    std::erase(m_paths, strPath);
    m_paths.insert(m_paths.begin(), strPath);
    if (static_cast<int>(m_paths.size()) > m_nMaxFiles)
        m_paths.resize(m_nMaxFiles);
    Save();
    if (m_onChanged)
        m_onChanged();
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_paths.size()))
        return;
    m_paths.erase(m_paths.begin() + nIndex);
    Save();
    if (m_onChanged)
        m_onChanged();
}

QString CRecentFileList::MenuText(int nIndex, const std::string& strPath)
{
    QString path = QString::fromStdString(strPath);
    path.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("&%1 %2").arg(nIndex + 1).arg(path);
}

void CRecentFileList::Load()
{
    auto settings = OpenSettings(m_strSettingsPath);
    settings->beginGroup(QLatin1String(SECTION));
    for (int i = 0; i < m_nMaxFiles; ++i) {
        const std::string path = settings->value(Key(i)).toString().toStdString();
        if (!path.empty() && std::find(m_paths.begin(), m_paths.end(), path) == m_paths.end())
            m_paths.push_back(path);
    }
    settings->endGroup();
}

void CRecentFileList::Save() const
{
    auto settings = OpenSettings(m_strSettingsPath);
    settings->remove(QLatin1String(SECTION));
    settings->beginGroup(QLatin1String(SECTION));
    for (int i = 0; i < static_cast<int>(m_paths.size()); ++i)
        settings->setValue(Key(i), QString::fromStdString(m_paths[i]));
    settings->endGroup();
    settings->sync();
}
