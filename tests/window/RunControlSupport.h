#pragma once

// What the run-control tests share: a form on a real document whose target is
// a temporary directory, the phase clock the test controls, message boxes and
// menu calls recorded, and a main frame that records the commands it gets.

#include "document/BenchDoc.h"
#include "platform/MessageBox.h"
#include "platform/qt/Commands.h"
#include "tests/engine/BenchRunSupport.h"
#include "window/BenchView.h"
#include "window/FormTemplate.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace runtest {

// The main frame as the form sees it: the commands posted to it, in order.
class CFrameRecorder final : public CCommandTarget<QObject>
{
public:
    std::vector<uint32_t> commands;
    std::function<void(uint32_t)> onCommand;

protected:
    void OnCommand(uint32_t nId) override
    {
        commands.push_back(nId);
        if (onCommand)
            onCommand(nId);
    }
};

struct Box
{
    std::string text;
    unsigned type;
};

// Handles events until the condition holds or the time is up: a bounded wait
// on what the window thread has been posted.
inline bool PumpUntil(const std::function<bool()>& condition, int nTimeoutMs = 30000)
{
    if (condition())
        return true;
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    tick.start(2);
    deadline.start(nTimeoutMs);
    loop.exec();
    return condition();
}

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class RunControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previousBoxes = SetMessageBoxHandler([this](const char* psz, unsigned n) {
            m_boxes.push_back({psz, n});
            return IDOK;
        });
        m_doc.OnNewDocument();
        m_doc.drive = m_scope.Dir().string();
        benchtest::SmallTest(m_doc, 3, 4);   // 4 KiB and 8 KiB on a 64 KiB file
        m_view.SetDocument(&m_doc);
        m_view.SetMountSource([] { return std::vector<MountEntry>{}; });
        m_view.SetRunClock(&m_clock);
        m_view.SetSectorSizeLookup([this](const char* pszTarget) {
            m_strSectorTarget = pszTarget;
            return m_nSectorSize;
        });
        m_view.SetMainFrame(&m_frame);
        m_view.m_pfnEnableMenus = [this](bool bEnable) { m_menuCalls.push_back(bEnable); };
    }
    void TearDown() override
    {
        // A failed check must not leave a worker behind the next test.
        if (m_view.IsRunning())
            m_view.Stop();
        SetMessageBoxHandler(m_previousBoxes);
    }

    QWidget* Item(int nId) { return m_view.GetDlgItem(nId); }
    std::string Text(int nId) { return m_view.GetDlgItemText(nId); }
    QProgressBar* Progress() { return qobject_cast<QProgressBar*>(Item(IDC_PROGRESS)); }
    void ClickStart() { qobject_cast<QAbstractButton*>(Item(IDC_START))->click(); }
    bool WaitIdle() { return PumpUntil([this] { return !m_view.IsRunning(); }); }
    bool WaitMeasuring() { return PumpUntil([this] { return Text(IDC_START) == "Cancel"; }); }
    std::filesystem::path TestFilePath() const { return m_scope.Dir() / "benchtst.$$$"; }

    // The settings controls greyed during a run.
    static constexpr int SETTINGS[] = {IDC_BROWSE, IDC_DRIVE, IDC_IOSIZE1, IDC_IOSIZE2, IDC_FILESIZE,
                                       IDC_WRITECACHE, IDC_PATTERN, IDC_CONTINUOUS, IDC_RUNTIME,
                                       IDC_QUEUEDEPTH, IDC_DIRECTIO, IDC_VERIFY, IDC_UNITS, IDC_DESCRIPTION};
    void ExpectSettingsEnabled(bool bEnabled, bool bQueueDepth)
    {
        for (int nId : SETTINGS) {
            SCOPED_TRACE(nId);
            EXPECT_EQ(Item(nId)->isEnabled(), nId == IDC_QUEUEDEPTH ? bQueueDepth : bEnabled);
        }
    }

    benchtest::CRunScope m_scope;
    CBenchDoc m_doc;
    CBenchView m_view;
    CFrameRecorder m_frame;
    benchtest::CHookClock m_clock{1000};
    uint32_t m_nSectorSize = 512;
    std::string m_strSectorTarget;
    std::vector<Box> m_boxes;
    std::vector<bool> m_menuCalls;
    MessageBoxHandler m_previousBoxes;
};

}
