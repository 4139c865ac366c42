#include "RunControlSupport.h"

#include "document/BenchTables.h"
#include "engine/EngineGlobals.h"
#include "window/ResultsTable.h"

#include <QAbstractButton>
#include <QComboBox>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using namespace runtest;

namespace {

// Holds the worker at its first clock reading of a phase until released (or
// until Stop sets the flag), so a test can look at the form while measuring.
struct WorkerGate
{
    std::promise<void> reached;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> bHeld{false};

    void Hold()
    {
        if (bHeld.exchange(true))
            return;
        reached.set_value();
        // Released by the test, or by Stop: then the worker must see the flag.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (released.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready && !g_bStopTest.load() &&
               std::chrono::steady_clock::now() < deadline) {
        }
    }
};

}

// A run passes from idle through initialising and measuring back to idle:
// the button's text and state, the status text, the progress bar and the
// greyed settings and menus at each state; the results in the table and the
// test file gone at the end.
TEST_F(RunControlTest, StartInitializesMeasuresAndReturnsToIdle)
{
    m_view.OnInitialUpdate();
    ExpectSettingsEnabled(true, true);
    EXPECT_EQ(Text(IDC_START), "&Start");
    EXPECT_FALSE(m_view.IsRunning());

    WorkerGate gate;
    m_clock.SetOnRead([&](const ClockReading&) { gate.Hold(); });
    ClickStart();

    // Initialising: the worker has not yet said that measuring begins.
    EXPECT_TRUE(m_view.IsRunning());
    EXPECT_EQ(Text(IDC_STATUS), "Initializing test file...");
    EXPECT_TRUE(Item(IDC_STATUS)->isVisibleTo(&m_view));
    EXPECT_TRUE(Item(IDC_PROGRESS)->isVisibleTo(&m_view));
    EXPECT_FALSE(Item(IDC_START)->isEnabled());
    EXPECT_EQ(Progress()->maximum(), 0);   // a file below 64 MiB
    ExpectSettingsEnabled(false, false);
    EXPECT_EQ(m_menuCalls, std::vector<bool>{false});
    EXPECT_EQ(g_szTestFile, TestFilePath().string());
    EXPECT_EQ(m_strSectorTarget, m_doc.drive + "/");

    // Measuring, with the worker held in its first phase.
    ASSERT_EQ(gate.reached.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
    ASSERT_TRUE(WaitMeasuring());
    EXPECT_EQ(Text(IDC_STATUS), "Benchmark in progress...");
    EXPECT_TRUE(Item(IDC_START)->isEnabled());
    EXPECT_EQ(Progress()->maximum(), 4);   // two phases for each of two sizes
    EXPECT_EQ(Progress()->value(), 0);
    ExpectSettingsEnabled(false, false);
    EXPECT_TRUE(m_view.IsRunning());

    gate.release.set_value();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(IDC_START), "Start");
    EXPECT_TRUE(Item(IDC_START)->isEnabled());
    EXPECT_FALSE(Item(IDC_STATUS)->isVisibleTo(&m_view));
    EXPECT_FALSE(Item(IDC_PROGRESS)->isVisibleTo(&m_view));
    EXPECT_EQ(Progress()->value(), 0);
    ExpectSettingsEnabled(true, true);
    EXPECT_EQ(m_menuCalls, (std::vector<bool>{false, true}));
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(m_doc.IsModified());
    for (int r : {3, 4})
        EXPECT_EQ(m_doc.rates[r].flags, 15) << r;
    EXPECT_EQ(Text(IDC_TABLE_SIZE + 0), "4 KiB");
    EXPECT_EQ(Text(IDC_TABLE_SIZE + 1), "8 KiB");
    EXPECT_NE(Text(IDC_TABLE_WRITE + 0), "");
    EXPECT_NE(Text(IDC_TABLE_READ + 1), "");
    EXPECT_FALSE(std::filesystem::exists(TestFilePath()));
    EXPECT_TRUE(m_frame.commands.empty());
}

// Verification runs at queue depth 1, so after it the depth box stays greyed
// while everything else is enabled again.
TEST_F(RunControlTest, QueueDepthStaysGreyedAfterAVerifyingRun)
{
    m_doc.SetVerifyData(true);
    m_view.OnInitialUpdate();
    ExpectSettingsEnabled(true, false);
    ClickStart();
    ASSERT_TRUE(WaitIdle());
    ExpectSettingsEnabled(true, false);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "No errors detected.");
    EXPECT_EQ(m_boxes[0].type, MB_ICONINFORMATION);
}

// Cancel mid-run: the flag is set, the window keeps handling what is posted
// while it waits (the worker checks that by having the window thread run
// something before it goes on), the phase stores nothing, and the window
// is idle again; the worker's own end of the run follows as a second,
// harmless EndBenchmark.
TEST_F(RunControlTest, CancelWaitsWhileServingTheWindowAndEndsTwice)
{
    m_doc.SetVerifyData(true);
    m_view.OnInitialUpdate();

    std::atomic<bool> bServed{false};
    std::atomic<bool> bServedInTime{false};
    std::atomic<bool> bStopSeen{false};
    WorkerGate gate;
    m_clock.SetOnRead([&](const ClockReading&) {
        gate.Hold();
        if (g_bStopTest.load() && !bStopSeen.exchange(true)) {
            QMetaObject::invokeMethod(&m_view, [&] { bServed = true; }, Qt::QueuedConnection);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!bServed.load() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
            bServedInTime = bServed.load();
        }
    });
    ClickStart();
    ASSERT_EQ(gate.reached.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
    ASSERT_TRUE(WaitMeasuring());
    const size_t nMenuCalls = m_menuCalls.size();

    ClickStart();   // "Cancel": returns once the worker has ended
    EXPECT_TRUE(bServedInTime.load());
    EXPECT_FALSE(m_view.IsRunning());
    EXPECT_EQ(Text(IDC_START), "Start");
    EXPECT_TRUE(Item(IDC_START)->isEnabled());
    EXPECT_FALSE(std::filesystem::exists(TestFilePath()));
    ExpectSettingsEnabled(true, false);
    for (const RateEntry& row : m_doc.rates)
        EXPECT_EQ(row.flags, 0);
    // Everything the worker posted was handled: its verdict and its end.
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "No errors detected.");
    EXPECT_EQ(m_menuCalls.size(), nMenuCalls + 2);   // Stop's EndBenchmark and the worker's
    EXPECT_TRUE(m_menuCalls.back());
    EXPECT_TRUE(g_bStopTest.load());

    // The next run starts cleanly.
    m_clock.SetOnRead({});
    ClickStart();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(m_doc.rates[3].flags, 15);
}

// A drive whose sectors are larger than the first size: the first size is
// raised to the sector size (box 1003 shows it), the notice says so (in the
// run log when unattended), the recorded range keeps the choice; when every
// chosen size is too small the run measures nothing.
TEST_F(RunControlTest, FirstSizeIsRaisedToTheSectorSize)
{
    struct Case
    {
        const char* name;
        uint32_t nSector;
        int32_t nFirst, nLast;
        int32_t nFirstAfter;
        bool bNotice;
        std::vector<int> measured;
    } cases[] = {
        {"4096-byte sectors", 4096, 0, 4, 3, true, {3, 4}},
        {"only 512 B chosen", 4096, 0, 0, 3, true, {}},
        {"512-byte sectors", 512, 0, 1, 0, false, {0, 1}},
        {"lookup found nothing", 0, 0, 0, 0, false, {0}},
        {"first size already large enough", 4096, 3, 3, 3, false, {3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_boxes.clear();
        m_nSectorSize = c.nSector;
        m_doc.iosize1 = c.nFirst;
        m_doc.iosize2 = c.nLast;
        m_view.OnInitialUpdate();
        ClickStart();
        EXPECT_EQ(m_doc.iosize1, c.nFirstAfter);
        EXPECT_EQ(m_doc.iosize2, c.nLast);
        EXPECT_EQ(m_doc.runiosize1, c.nFirst);
        EXPECT_EQ(m_doc.runiosize2, c.nLast);
        EXPECT_EQ(qobject_cast<QComboBox*>(Item(IDC_IOSIZE1))->currentIndex(), c.nFirstAfter);
        ASSERT_TRUE(WaitIdle());
        if (c.bNotice) {
            ASSERT_GE(m_boxes.size(), 1u);
            EXPECT_EQ(m_boxes[0].text,
                      "Starting transfer size is less than drive's sector size.  It has been adjusted.");
            EXPECT_EQ(m_boxes[0].type, MB_ICONINFORMATION);
            EXPECT_STREQ(g_pszLastMessage,
                         "Starting transfer size is less than drive's sector size.  It has been adjusted.");
        } else {
            EXPECT_TRUE(m_boxes.empty());
        }
        for (int r = 0; r < NUM_TRANSFER_SIZES; ++r) {
            const bool bMeasured = std::find(c.measured.begin(), c.measured.end(), r) != c.measured.end();
            EXPECT_EQ(m_doc.rates[r].flags, bMeasured ? 15 : 0) << r;
        }
        EXPECT_EQ(Text(IDC_IOSIZE1), g_TransferSizes[c.nFirstAfter].label);
    }
}

TEST_F(RunControlTest, UnattendedSectorNoticeGoesToTheLog)
{
    m_scope.options.bUnattended = 1;
    m_nSectorSize = 4096;
    m_doc.iosize1 = 2;
    m_doc.iosize2 = 3;
    m_doc.SetPathName((m_scope.Dir() / "t.bmk").string());
    testing::internal::CaptureStdout();
    m_view.OnInitialUpdate();   // posts Start to itself
    ASSERT_TRUE(PumpUntil([this] { return m_frame.commands.size() == 2; }));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(m_boxes.empty());
    const std::string log = ReadFile(m_scope.Dir() / "t.log");
    const size_t nNotice =
        log.find("Running t.bmk....\r\nStarting transfer size is less than drive's sector size.  It has been adjusted.\r\n");
    const size_t nDone = log.find("Running t.bmk....\r\nTesting completed sucessfully.\r\n");
    EXPECT_NE(nNotice, std::string::npos) << log;
    EXPECT_NE(nDone, std::string::npos) << log;
    EXPECT_LT(nNotice, nDone);
    EXPECT_NE(out.find("Starting transfer size is less than drive's sector size.  It has been adjusted."),
              std::string::npos);
    EXPECT_EQ(m_doc.iosize1, 3);
    EXPECT_EQ(m_doc.runiosize1, 2);
}

// Cancel during an unattended run (a display lets someone press it): the
// run logs that it was stopped, and Save then Exit reach the frame only
// after the wait, with the window idle, so the frame can close.
TEST_F(RunControlTest, CancelledUnattendedRunStillSavesAndExits)
{
    m_scope.options.bUnattended = 1;
    m_doc.SetPathName((m_scope.Dir() / "t.bmk").string());
    WorkerGate gate;
    m_clock.SetOnRead([&](const ClockReading&) { gate.Hold(); });
    bool bCancelReturned = false;
    bool bAllAfterCancel = true;
    m_frame.onCommand = [&](uint32_t) { bAllAfterCancel = bAllAfterCancel && bCancelReturned && !m_view.IsRunning(); };
    testing::internal::CaptureStdout();
    m_view.OnInitialUpdate();
    ASSERT_TRUE(WaitMeasuring());
    ClickStart();
    bCancelReturned = true;
    ASSERT_TRUE(PumpUntil([this] { return m_frame.commands.size() == 2; }));
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(bAllAfterCancel);
    EXPECT_EQ(m_frame.commands, (std::vector<uint32_t>{CMD_FILE_SAVE, CMD_APP_EXIT}));
    const std::string log = ReadFile(m_scope.Dir() / "t.log");
    EXPECT_NE(log.find("Running t.bmk....\r\nTesting stopped by user.\r\n"), std::string::npos) << log;
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_FALSE(std::filesystem::exists(TestFilePath()));
}
