// Menu 128 and accelerators 128 of the main frame, and the recent files
// shown in place of the "Recent File" item.
#include "app/MainFrame.h"

#include "platform/qt/RecentFiles.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

QAction* CMainFrame::AddCommand(QMenu* pMenu, const char* pszText, uint32_t nId, const QKeySequence& shortcut)
{
    // The text after the tab is what the menu shows as the key.
    QAction* pAction = pMenu->addAction(QString::fromLatin1(pszText));
    pAction->setData(nId);
    if (!shortcut.isEmpty()) {
        pAction->setShortcut(shortcut);
        // The keys work wherever the focus is inside the frame.
        pAction->setShortcutContext(Qt::WindowShortcut);
    }
    connect(pAction, &QAction::triggered, this, [this, nId] { OnCommand(nId); });
    m_commands[nId] = pAction;
    return pAction;
}

void CMainFrame::BuildMenus()
{
    QMenuBar* pBar = menuBar();
    m_pFileMenu = pBar->addMenu(QStringLiteral("&File"));
    AddCommand(m_pFileMenu, "&New\tCtrl+N", ID_FILE_NEW, QKeySequence(Qt::CTRL | Qt::Key_N));
    AddCommand(m_pFileMenu, "&Open...\tCtrl+O", ID_FILE_OPEN, QKeySequence(Qt::CTRL | Qt::Key_O));
    AddCommand(m_pFileMenu, "&Save\tCtrl+S", CMD_FILE_SAVE, QKeySequence(Qt::CTRL | Qt::Key_S));
    AddCommand(m_pFileMenu, "Save &As...", ID_FILE_SAVE_AS);
    AddCommand(m_pFileMenu, "&Export Image...\tCtrl+E", ID_FILE_EXPORT_IMAGE, QKeySequence(Qt::CTRL | Qt::Key_E));
    m_pFileMenu->addSeparator();
    AddCommand(m_pFileMenu, "Scale &Factor...", ID_VIEW_SCALE_FACTOR);
    m_pFileMenu->addSeparator();
    // The recent files go between this separator and the next.
    m_pRecentSeparator = m_pFileMenu->addSeparator();
    AddCommand(m_pFileMenu, "E&xit", CMD_APP_EXIT);

    m_pHelpMenu = pBar->addMenu(QStringLiteral("&Help"));
    AddCommand(m_pHelpMenu, "&Help Topics", ID_HELP_FINDER, QKeySequence(Qt::Key_F1));
    m_pHelpMenu->addSeparator();
    AddCommand(m_pHelpMenu, "&About Vessary Tarnwick...", ID_APP_ABOUT);

    RebuildRecentFiles();
}

void CMainFrame::RebuildRecentFiles()
{
    for (int i = 0; i < MAX_RECENT_FILES; ++i) {
        const uint32_t nId = ID_FILE_MRU_FILE1 + static_cast<uint32_t>(i);
        if (auto it = m_commands.find(nId); it != m_commands.end()) {
            delete it->second;
            m_commands.erase(it);
        }
    }
    const std::vector<std::string>& paths = m_recent.Paths();
    // An empty list shows the greyed placeholder, as the menu template has it.
    const int nCount = std::max(1, static_cast<int>(paths.size()));
    for (int i = 0; i < nCount && i < MAX_RECENT_FILES; ++i) {
        const uint32_t nId = ID_FILE_MRU_FILE1 + static_cast<uint32_t>(i);
        const QString text = paths.empty() ? QStringLiteral("Recent File") : CRecentFileList::MenuText(i, paths[i]);
        auto* pAction = new QAction(text, m_pFileMenu);
        pAction->setData(nId);
        pAction->setEnabled(!paths.empty() && m_bMenusEnabled);
        connect(pAction, &QAction::triggered, this, [this, nId] { OnCommand(nId); });
        m_pFileMenu->insertAction(m_pRecentSeparator, pAction);
        m_commands[nId] = pAction;
    }
}

QAction* CMainFrame::CommandAction(uint32_t nId) const
{
    const auto it = m_commands.find(nId);
    return it == m_commands.end() ? nullptr : it->second;
}

void CMainFrame::EnableMenus(bool bEnable)
{
    m_bMenusEnabled = bEnable;
    // A greyed menu must not answer its keys either, so every item follows.
    for (QMenu* pMenu : {m_pFileMenu, m_pHelpMenu}) {
        pMenu->menuAction()->setEnabled(bEnable);
        for (QAction* pAction : pMenu->actions())
            if (!pAction->isSeparator())
                pAction->setEnabled(bEnable);
    }
    // The placeholder of an empty recent list stays grey.
    if (m_recent.Paths().empty())
        if (QAction* pPlaceholder = CommandAction(ID_FILE_MRU_FILE1))
            pPlaceholder->setEnabled(false);
}
