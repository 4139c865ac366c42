#include "app/Tarn32App.h"

#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "document/BenchDoc.h"
#include "platform/qt/RecentFiles.h"
#include "util/CommandLineOptions.h"
#include "util/MessageOutput.h"
#include "window/BenchView.h"

#include <cstdio>

const char NO_DISPLAY_TEXT[] =
    "Tarnwick needs a display and none could be opened: set DISPLAY (or WAYLAND_DISPLAY) to a running one, "
    "or run a saved test unattended with -f FILE -x.";

CTarn32App::CTarn32App() = default;

CTarn32App::~CTarn32App()
{
    // The frame and its form window go before the document they show.
    m_pFrame.reset();
}

bool CTarn32App::InitInstance(int argc, const char* const* argv, bool bDisplay)
{
    // The recent-file list holds four entries, kept in the program's settings.
    m_pRecent = std::make_unique<CRecentFileList>();
    m_pDoc = std::make_unique<CBenchDoc>();

    if (!ReadCommandLine(argc, argv)) {
        m_nExitCode = GetQuitExitCode();
        return false;
    }
    if (!bDisplay && !IsUnattended()) {
        std::fprintf(stderr, "%s\n", NO_DISPLAY_TEXT);
        m_nExitCode = 1;
        return false;
    }

    m_pFrame = std::make_unique<CMainFrame>(*m_pDoc, *m_pRecent, new CBenchView);
    if (!m_pFrame->StartDocument(g_pCommandLineOptions->pszTestFile)) {
        // The document has said why; a script must see that nothing ran.
        m_pFrame.reset();
        m_nExitCode = 1;
        return false;
    }
    m_pFrame->show();
    return true;
}

int CTarn32App::ExitCode() const
{
    if (m_pFrame && m_pFrame->ExitCode() != 0)
        return m_pFrame->ExitCode();
    return m_nExitCode;
}
