#pragma once

#include "app/ImageExport.h"
#include "platform/qt/Commands.h"
#include "platform/qt/DocumentFlow.h"

#include <QMainWindow>

#include <cstdint>
#include <map>
#include <string>

class CBenchDoc;
class CBenchView;
class CRecentFileList;
class QAction;
class QMenu;

// The program's only top-level window: it holds the benchmark form, carries
// menu 128 and its accelerators, and takes the commands an unattended run
// posts (Save, then Exit). Its size follows the form; it cannot be resized
// or maximised. Its caption is always the document's title, then
// " - Vessary Tarnwick ", then the version text.
class CMainFrame final : public CCommandTarget<QMainWindow>
{
public:
    // Takes ownership of the view, which becomes the central widget.
    CMainFrame(CBenchDoc& doc, CRecentFileList& recent, CBenchView* pView);
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Start-up's document: the -f file or a new one. False when the file
    // did not open (the document has said why). Then the view's first update.
    bool StartDocument(const char* pszPathName);

    CBenchView* GetActiveView() const { return m_pView; }
    CBenchDoc* GetActiveDocument() const { return &m_doc; }
    CDocumentFlow& DocumentFlow() { return m_flow; }
    CImageExport& ImageExport() { return m_export; }

    // The caption the rule gives for the current title.
    QString Caption() const;
    // The menu item that carries a command; null when there is none.
    QAction* CommandAction(uint32_t nId) const;
    QMenu* FileMenu() const { return m_pFileMenu; }
    QMenu* HelpMenu() const { return m_pHelpMenu; }

    // The run control greys the File and Help menus while a run is under way.
    void EnableMenus(bool bEnable);

    // What the process returns: 0, or 1 when a save an unattended run asked
    // for failed (its results are then only in the run log).
    int ExitCode() const { return m_nExitCode; }

    // Every command of the menu, the accelerators and posted commands.
    void OnCommand(uint32_t nId) override;

protected:
    bool event(QEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;

private:
    void BuildMenus();
    QAction* AddCommand(QMenu* pMenu, const char* pszText, uint32_t nId, const QKeySequence& shortcut = {});
    void RebuildRecentFiles();
    void UpdateCaption();
    void OnDocumentReplaced();
    void OnAppAbout();
    void OnHelpFinder();

    CBenchDoc& m_doc;
    CRecentFileList& m_recent;
    CBenchView* m_pView;
    CDocumentFlow m_flow;
    CImageExport m_export;
    QMenu* m_pFileMenu = nullptr;
    QMenu* m_pHelpMenu = nullptr;
    QAction* m_pRecentSeparator = nullptr;    // the separator after the recent files
    std::map<uint32_t, QAction*> m_commands;
    bool m_bMenusEnabled = true;
    int m_nExitCode = 0;
};
