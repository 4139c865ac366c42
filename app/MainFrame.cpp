#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "app/HelpPage.h"
#include "app/Resources.h"
#include "app/VersionInfo.h"
#include "document/BenchDoc.h"
#include "platform/qt/RecentFiles.h"
#include "platform/qt/QtMessageBox.h"
#include "util/CommandLineOptions.h"
#include "window/BenchView.h"
#include "window/FormTemplate.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QPixmap>

#include <filesystem>
#include <system_error>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>

namespace {
std::string FullPath(const char* pszPathName)
{
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(pszPathName, error);
    return error ? std::string(pszPathName) : full.lexically_normal().string();
}
}

CMainFrame::CMainFrame(CBenchDoc& doc, CRecentFileList& recent, CBenchView* pView)
    : m_doc(doc), m_recent(recent), m_pView(pView), m_flow(doc, recent), m_export(this)
{
    InitAppResources();
    // A fixed frame: no sizing border and no maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QString::fromLatin1(RESOURCE_ICON)));
    setCentralWidget(m_pView);
    // The frame's size is the form's plus the menu bar, and nobody can change it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    BuildMenus();

    // Our banner (bitmap 159) on the form's link at the foot of the form.
    if (auto* pBanner = qobject_cast<QLabel*>(m_pView->GetDlgItem(IDC_BANNER)))
        pBanner->setPixmap(QPixmap(QString::fromLatin1(RESOURCE_BANNER_BITMAP)));

    m_pView->SetDocument(&m_doc);
    m_pView->SetMainFrame(this);
    m_pView->m_pfnEnableMenus = [this](bool bEnable) { EnableMenus(bEnable); };
    // The description and minutes boxes are read when the document is saved.
    if (!m_doc.m_pfnUpdateFromForm)
        m_doc.m_pfnUpdateFromForm = [this](CBenchDoc& d) {
            d.description = m_pView->GetDescriptionText();
            d.ioruntime = m_pView->GetMinutesText();
        };
    m_doc.SetTitleChangedHandler([this] { UpdateCaption(); });
    m_recent.SetChangedHandler([this] { RebuildRecentFiles(); });
    UpdateCaption();
}

CMainFrame::~CMainFrame()
{
    m_recent.SetChangedHandler({});
    m_doc.SetTitleChangedHandler({});
    m_doc.m_pfnUpdateFromForm = {};
    // The form window goes first, while the frame it calls back is whole:
    // its destructor ends a run and closes the test file.
    m_pView->m_pfnEnableMenus = {};
    m_pView->SetMainFrame(nullptr);
    delete m_pView;
    m_pView = nullptr;
}

bool CMainFrame::StartDocument(const char* pszPathName)
{
    // The view's first update comes after the document is in place, once.
    // A file named on the command line is kept by its full path, as the
    // Open dialog gives it, so the recent-file list works from anywhere.
    const bool bDone = pszPathName ? m_flow.OpenDocumentFile(FullPath(pszPathName)) : m_flow.FileNew();
    if (!bDone)
        return false;
    m_flow.SetDocumentReplacedHandler([this] { OnDocumentReplaced(); });
    OnDocumentReplaced();
    return true;
}

void CMainFrame::OnDocumentReplaced()
{
    UpdateCaption();
    m_pView->OnInitialUpdate();
}

QString CMainFrame::Caption() const
{
    return QString::fromStdString(m_doc.GetTitle()) + QStringLiteral(" - ") + QString::fromLatin1(APP_TITLE)
           + QStringLiteral(" ") + QString::fromLatin1(GetVersionText());
}

void CMainFrame::UpdateCaption()
{
    setWindowTitle(Caption());
}

bool CMainFrame::event(QEvent* pEvent)
{
    // Whoever sets the caption, it reads as the rule says.
    if (pEvent->type() == QEvent::WindowTitleChange && windowTitle() != Caption())
        setWindowTitle(Caption());
    return CCommandTarget<QMainWindow>::event(pEvent);
}

void CMainFrame::closeEvent(QCloseEvent* pEvent)
{
    // Closing is greyed while a run is under way: the worker still uses the
    // test file and the document.
    if (m_pView->IsRunning()) {
        pEvent->ignore();
        return;
    }
    // An unattended run has nobody to answer: its Save has already run (and
    // any failure is in the run log), so asking again could only loop.
    if (!IsUnattended() && !m_flow.SaveModified()) {
        pEvent->ignore();
        return;
    }
    pEvent->accept();
}

void CMainFrame::OnCommand(uint32_t nId)
{
    if (nId >= ID_FILE_MRU_FILE1 && nId < ID_FILE_MRU_FILE1 + MAX_RECENT_FILES) {
        m_flow.OpenRecentFile(static_cast<int>(nId - ID_FILE_MRU_FILE1));
        return;
    }
    switch (nId) {
    case ID_FILE_NEW:
        m_flow.FileNew();
        break;
    case ID_FILE_OPEN:
        m_flow.FileOpen();
        break;
    case CMD_FILE_SAVE:
        if (!m_flow.FileSave() && IsUnattended())
            m_nExitCode = 1;
        break;
    case ID_FILE_SAVE_AS:
        m_flow.FileSaveAs();
        break;
    case ID_FILE_EXPORT_IMAGE:
        m_export.OnExportImage(m_doc.GetTitle());
        break;
    case ID_VIEW_SCALE_FACTOR: {
        // The form window handles it, as a command routed to the active view.
        CCommandEvent command(nId);
        QCoreApplication::sendEvent(m_pView, &command);
        break;
    }
    case CMD_APP_EXIT:
        close();
        break;
    case ID_APP_ABOUT:
        OnAppAbout();
        break;
    case ID_HELP_FINDER:
    case ID_HELP:
    case ID_DEFAULT_HELP:
        OnHelpFinder();
        break;
    default:
        break;
    }
}

void CMainFrame::OnAppAbout()
{
    ShowAboutBox(this);
}

void CMainFrame::OnHelpFinder()
{
    OpenHelpPage();
}
