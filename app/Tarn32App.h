#pragma once

#include <memory>

class CBenchDoc;
class CMainFrame;
class CRecentFileList;

// The application object: start-up in its fixed order, then the one
// document, its frame and its form window for the life of the process.
class CTarn32App final
{
public:
    CTarn32App();
    ~CTarn32App();
    CTarn32App(const CTarn32App&) = delete;
    CTarn32App& operator=(const CTarn32App&) = delete;

    // Reads the command line and opens the -f file or a new document, then
    // shows the frame. False when the program is to end now with ExitCode().
    // bDisplay: whether somebody can see the windows; without one only an
    // unattended run (-f FILE -x) may go on.
    bool InitInstance(int argc, const char* const* argv, bool bDisplay);

    // The process's exit status once InitInstance failed or the frame closed.
    int ExitCode() const;

    CMainFrame* MainFrame() const { return m_pFrame.get(); }
    CBenchDoc& Document() const { return *m_pDoc; }

private:
    std::unique_ptr<CBenchDoc> m_pDoc;
    std::unique_ptr<CRecentFileList> m_pRecent;
    std::unique_ptr<CMainFrame> m_pFrame;
    int m_nExitCode = 0;
};

// What is printed when there is no display and no unattended run.
extern const char NO_DISPLAY_TEXT[];
