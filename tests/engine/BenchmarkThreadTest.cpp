#include "engine/BenchmarkThread.h"

#include "BenchRunSupport.h"
#include "engine/TestFile.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <future>
#include <thread>

using namespace benchtest;

namespace {

struct WorkerRun
{
    CBenchDoc doc;
    CTestFile file;
    CRecordingWindow window;
    uint32_t nResult = 99;

    BenchRun Inputs(CClock& clock, int nUnits = 0, std::string strMinutes = "30")
    {
        file.Reset();
        return BenchRun{&doc, &file, &window, &clock, nUnits, std::move(strMinutes)};
    }
    void Go(CClock& clock, int nUnits = 0, std::string strMinutes = "30")
    {
        nResult = BenchmarkThread(Inputs(clock, nUnits, std::move(strMinutes)));
        file.Close();
    }
};

size_t Sweeps(const CRecordingWindow& window) { return window.OfKind(WM_BENCH_REDRAWCHART).size(); }

// Kinds of the messages after the one that starts measuring, without the
// 63 texts that clear the table.
std::vector<uint32_t> KindsAfterClear(const std::vector<BenchMessage>& messages)
{
    std::vector<uint32_t> kinds;
    for (const BenchMessage& msg : messages)
        if (!(msg.kind == WM_BENCH_SETTEXT && msg.text.empty()))
            kinds.push_back(msg.kind);
    return kinds;
}

}

// The whole protocol of a two-size interactive run: the fill's step, the
// start of measuring, the cleared table and chart, then per size the label,
// scale, bar and step of the write result and the scale, bar and step of the
// read result, and the end of the run.
TEST(BenchmarkThread, SmallRunPostsItsMessagesInOrder)
{
    CRunScope scope;
    WorkerRun run;
    SmallTest(run.doc, 3, 4);   // 4 KiB and 8 KiB
    run.doc.queuedepth = 4;     // the real queue backend
    CFakeClock clock(1000);
    run.Go(clock);
    ASSERT_EQ(run.nResult, 0u);

    const std::vector<BenchMessage> messages = run.window.Messages();
    const std::vector<uint32_t> expected = {
        WM_BENCH_STEP, WM_BENCH_INPROGRESS, WM_BENCH_SETPOS, WM_BENCH_REDRAWCHART,
        WM_BENCH_SETTEXT, WM_BENCH_FITSCALE, WM_BENCH_DRAWBAR, WM_BENCH_STEP,
        WM_BENCH_FITSCALE, WM_BENCH_DRAWBAR, WM_BENCH_STEP,
        WM_BENCH_SETTEXT, WM_BENCH_FITSCALE, WM_BENCH_DRAWBAR, WM_BENCH_STEP,
        WM_BENCH_FITSCALE, WM_BENCH_DRAWBAR, WM_BENCH_STEP,
        WM_BENCH_DONE,
    };
    EXPECT_EQ(KindsAfterClear(messages), expected);

    // The 63 cleared texts: rows 0..20 of the label, write and read columns.
    std::vector<int32_t> cleared;
    for (const BenchMessage& msg : messages)
        if (msg.kind == WM_BENCH_SETTEXT && msg.text.empty())
            cleared.push_back(msg.param);
    ASSERT_EQ(cleared.size(), 63u);
    for (int32_t k = 0; k < 21; ++k)
    {
        EXPECT_EQ(cleared[3 * k], 1100 + k);
        EXPECT_EQ(cleared[3 * k + 1], 1200 + k);
        EXPECT_EQ(cleared[3 * k + 2], 1300 + k);
    }

    // Labels in the top rows, bars with direction and row, values as stored.
    const std::vector<BenchMessage> labels = [&] {
        std::vector<BenchMessage> v;
        for (const BenchMessage& msg : messages)
            if (msg.kind == WM_BENCH_SETTEXT && !msg.text.empty())
                v.push_back(msg);
        return v;
    }();
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0].param, 1100);
    EXPECT_EQ(labels[0].text, "4 KiB");
    EXPECT_EQ(labels[1].param, 1101);
    EXPECT_EQ(labels[1].text, "8 KiB");
    const std::vector<BenchMessage> bars = run.window.OfKind(WM_BENCH_DRAWBAR);
    ASSERT_EQ(bars.size(), 4u);
    const RateEntry& r3 = run.doc.rates[3];
    const RateEntry& r4 = run.doc.rates[4];
    EXPECT_EQ(bars[0].param, 1); EXPECT_EQ(bars[0].row, 0); EXPECT_EQ(bars[0].value, r3.writebps);
    EXPECT_EQ(bars[1].param, 2); EXPECT_EQ(bars[1].row, 0); EXPECT_EQ(bars[1].value, r3.readbps);
    EXPECT_EQ(bars[2].param, 1); EXPECT_EQ(bars[2].row, 1); EXPECT_EQ(bars[2].value, r4.writebps);
    EXPECT_EQ(bars[3].param, 2); EXPECT_EQ(bars[3].row, 1); EXPECT_EQ(bars[3].value, r4.readbps);

    // 64 KiB written four times over in five seconds of the fake clock.
    EXPECT_EQ(r3.writebps, 52428u);
    EXPECT_EQ(r3.writeiops, 12u);
    EXPECT_EQ(r4.readiops, 6u);
    for (int i = 0; i < 21; ++i)
        EXPECT_EQ(run.doc.rates[i].flags, (i == 3 || i == 4) ? 15 : 0) << "row " << i;
    EXPECT_EQ(run.doc.maxbps, 52428u);
    EXPECT_EQ(run.doc.maxiops, 12u);
    EXPECT_TRUE(run.doc.IsModified());
}

// The chart's scale is fitted against the document maximum as it was before
// the value being drawn raised it: the first value of a sweep meets 0, each
// later one the largest stored so far, in the unit shown (IO/s against
// maxiops, bytes/s against maxbps).
TEST(BenchmarkThread, ScaleIsFittedAgainstTheMaximumBeforeItRises)
{
    for (int nUnits : {0, 1, 2})
    {
        SCOPED_TRACE(nUnits);
        CRunScope scope;
        WorkerRun run;
        SmallTest(run.doc, 0, 4);
        CFakeClock clock(1000);
        run.Go(clock, nUnits);
        const std::vector<BenchMessage> fits = run.window.OfKind(WM_BENCH_FITSCALE);
        const std::vector<BenchMessage> bars = run.window.OfKind(WM_BENCH_DRAWBAR);
        ASSERT_EQ(fits.size(), 10u);
        ASSERT_EQ(bars.size(), 10u);
        uint64_t nMax = 0;
        for (size_t n = 0; n < fits.size(); ++n)
        {
            SCOPED_TRACE(n);
            const RateEntry& row = run.doc.rates[fits[n].row];
            const bool bRead = n % 2 == 1;
            const uint64_t v = nUnits == 2 ? (bRead ? row.readiops : row.writeiops)
                                           : (bRead ? row.readbps : row.writebps);
            EXPECT_EQ(fits[n].value, v);
            EXPECT_EQ(bars[n].value, v);
            EXPECT_EQ(fits[n].docMax, nMax);
            nMax = std::max(nMax, v);
        }
        EXPECT_EQ(fits[0].docMax, 0u);
        EXPECT_GT(fits[0].value, 0u);
        EXPECT_EQ(nUnits == 2 ? run.doc.maxiops : run.doc.maxbps, nMax);
    }
}

// Cancel pressed while a read phase is under way, from the window's thread:
// the request in hand completes, that phase stores nothing, no later size
// runs, and a verifying run still says it found no errors.
TEST(BenchmarkThread, StopDuringAPhaseStoresNothingMore)
{
    for (bool bUnattended : {false, true})
    {
        SCOPED_TRACE(bUnattended ? "unattended" : "interactive");
        CRunScope scope;
        scope.options.bUnattended = bUnattended;
        WorkerRun run;
        SmallTest(run.doc, 0, 2);   // 512 B, 1 KiB, 2 KiB
        run.doc.filesize = 1024 * 1024;
        run.doc.verifydata = 1;
        run.doc.pattern = 12;

        // The clock is the meeting point: at the first checkpoint of the
        // first read phase the worker waits until the window has pressed Stop.
        std::promise<void> atCheckpoint;
        std::promise<void> stopped;
        std::shared_future<void> stoppedFuture = stopped.get_future().share();
        bool bMet = false;
        CHookClock clock(1000);
        clock.SetOnRead([&](const ClockReading&) {
            if (!bMet && run.file.m_nReadCount == 1000)
            {
                bMet = true;
                atCheckpoint.set_value();
                stoppedFuture.wait_for(std::chrono::seconds(30));
            }
        });

        const BenchRun inputs = run.Inputs(clock);
        std::future<uint32_t> worker = std::async(std::launch::async, [&] { return BenchmarkThread(inputs); });
        ASSERT_EQ(atCheckpoint.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
        g_bStopTest = true;
        stopped.set_value();
        ASSERT_EQ(worker.wait_for(std::chrono::seconds(30)), std::future_status::ready);
        EXPECT_EQ(worker.get(), 0u);
        EXPECT_EQ(run.file.GetError(), 0u);
        EXPECT_EQ(g_nDataErrors, 0);
        run.file.Close();

        EXPECT_EQ(run.doc.rates[0].flags, RATE_WRITEBPS | RATE_WRITEIOPS);
        EXPECT_GT(run.doc.rates[0].writebps, 0u);
        EXPECT_EQ(run.doc.rates[0].readbps, 0u);
        EXPECT_EQ(run.doc.rates[1].flags, 0);
        EXPECT_EQ(run.doc.rates[2].flags, 0);
        EXPECT_EQ(run.window.OfKind(WM_BENCH_DRAWBAR).size(), 1u);
        const std::vector<std::string> expected =
            bUnattended ? std::vector<std::string>{"log:Testing stopped by user.", "command:save", "command:exit"}
                        : std::vector<std::string>{"box:No errors detected.", "done"};
        EXPECT_EQ(run.window.Notices(), expected);
        EXPECT_TRUE(run.doc.IsModified());
    }
}

// An I/O error ends the run where it happened: the failed phase and the
// sizes after it store nothing, no verification verdict follows, and an
// unattended run logs the error, adds no closing line, saves and exits.
TEST(BenchmarkThread, IoErrorEndsTheRun)
{
    for (bool bUnattended : {false, true})
    {
        SCOPED_TRACE(bUnattended ? "unattended" : "interactive");
        CRunScope scope;
        scope.options.bUnattended = bUnattended;
        WorkerRun run;
        SmallTest(run.doc, 3, 5);
        run.doc.queuedepth = 4;
        run.doc.verifydata = 1;   // overlapped: nothing compared, but the verdict rules apply
        auto pLog = std::make_shared<QueueLog>();
        // The fill is one request and the write phase of 4 KiB 64 more: fail
        // the 8th request of its read phase.
        pLog->nFailCompleteAt = 1 + 64 + 8;
        CFakeClock clock(1000);
        const BenchRun inputs = run.Inputs(clock);
        run.file.SetQueueFactory([pLog] { return std::make_unique<CQueueDouble>(pLog); });
        EXPECT_EQ(BenchmarkThread(inputs), 0u);
        run.file.Close();

        EXPECT_EQ(run.doc.rates[3].flags, RATE_WRITEBPS | RATE_WRITEIOPS);
        EXPECT_EQ(run.doc.rates[4].flags, 0);
        EXPECT_EQ(run.doc.rates[5].flags, 0);
        const std::string text = "Error(s) on read file, code 5 (0x00000005).";
        const std::vector<std::string> expected =
            bUnattended ? std::vector<std::string>{"log:" + text, "command:save", "command:exit"}
                        : std::vector<std::string>{"box:" + text, "done"};
        EXPECT_EQ(run.window.Notices(), expected);
        for (const BenchMessage& msg : run.window.OfKind(WM_BENCH_MESSAGEBOX))
            EXPECT_EQ(static_cast<unsigned>(msg.param), MB_ICONERROR);
        EXPECT_TRUE(run.doc.IsModified());
    }
}

// "Run continuously" repeats the sweep only while verifying, and only for the
// minutes typed (read as a leading decimal number, anything else being 0);
// the minutes are checked at the end of each sweep and the typed text is
// kept in the document.
TEST(BenchmarkThread, ContinuousRunRepeatsForTheTypedMinutes)
{
    struct Case
    {
        const char* minutes;
        int32_t verify;
        int64_t calendarStep;   // seconds per calendar reading
        size_t sweeps;
        const char* ioruntime;
    } cases[] = {
        {"0", 1, 30, 1, "0"},
        {"abc", 1, 30, 1, "abc"},
        {"", 1, 30, 1, ""},
        {"-3", 1, 30, 1, "-3"},
        {"1", 1, 30, 2, "1"},       // 30 s: 0 minutes, again; 60 s: done
        {" 2x", 1, 30, 4, " 2x"},   // 0, 1, 1, 2 minutes
        {"5", 0, 30, 1, "30"},      // not verifying: one sweep, text not taken
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.minutes);
        CRunScope scope;
        WorkerRun run;
        SmallTest(run.doc, 3, 3);
        run.doc.verifydata = c.verify;
        run.doc.continuousio = 1;
        run.doc.pattern = 10;
        CFakeClock clock(1000, c.calendarStep);
        run.Go(clock, 0, c.minutes);
        EXPECT_EQ(Sweeps(run.window), c.sweeps);
        EXPECT_EQ(run.window.OfKind(WM_BENCH_DRAWBAR).size(), 2 * c.sweeps);
        EXPECT_EQ(run.doc.ioruntime, c.ioruntime);
        EXPECT_EQ(g_nDataErrors, 0);
        const std::vector<std::string> expected =
            c.verify ? std::vector<std::string>{"box:No errors detected.", "done"} : std::vector<std::string>{"done"};
        EXPECT_EQ(run.window.Notices(), expected);
    }
}

// Corrupted data found in a continuous verifying run ends the sweeps after
// the sweep that found it; the interactive run says so and asks for the
// error dialog, the unattended one logs the error list and its closing line.
TEST(BenchmarkThread, DataErrorEndsAContinuousRun)
{
    for (bool bUnattended : {false, true})
    {
        SCOPED_TRACE(bUnattended ? "unattended" : "interactive");
        CRunScope scope;
        scope.options.bUnattended = bUnattended;
        scope.options.bKeepTestFile = 1;   // so the test can reach the file by name
        WorkerRun run;
        SmallTest(run.doc, 3, 4);
        run.doc.verifydata = 1;
        run.doc.continuousio = 1;
        run.doc.pattern = 12;
        // Between the first write phase and its read phase, another writer
        // damages the first word of the file on disk.
        bool bDamaged = false;
        run.window.SetOnPost([&](const BenchMessage& msg) {
            if (msg.kind == WM_BENCH_DRAWBAR && msg.param == 1 && !bDamaged)
            {
                bDamaged = true;
                const int fd = open(g_szTestFile.c_str(), O_WRONLY | O_CLOEXEC);
                ASSERT_GE(fd, 0);
                const uint32_t nWord = ~*reinterpret_cast<const uint32_t*>(run.file.WriteBuffer());
                ASSERT_EQ(pwrite(fd, &nWord, sizeof nWord, 0), static_cast<ssize_t>(sizeof nWord));
                close(fd);
            }
        });
        CFakeClock clock(1000, 0);   // the minutes never run out
        run.Go(clock, 0, "100");
        ASSERT_TRUE(bDamaged);
        EXPECT_GT(g_nDataErrors, 0);
        EXPECT_EQ(Sweeps(run.window), 1u);
        EXPECT_EQ(run.doc.rates[4].flags, 15);   // the sweep went on to its end
        const std::vector<std::string> expected =
            bUnattended ? std::vector<std::string>{"log:<error list>",
                                                   "log:Testing stopped by Tarnwick due to error detection.",
                                                   "command:save", "command:exit"}
                        : std::vector<std::string>{"box:Testing stopped due to error detection.", "showerrors", "done"};
        EXPECT_EQ(run.window.Notices(), expected);
    }
}

// A first size above the last, as the sector-size adjustment can leave it,
// measures nothing: the table is cleared and the run ends with its outcome.
TEST(BenchmarkThread, EmptyRangeMeasuresNothing)
{
    CRunScope scope;
    WorkerRun run;
    SmallTest(run.doc, 3, 0);
    run.doc.verifydata = 1;
    CFakeClock clock(1000);
    run.Go(clock);
    EXPECT_EQ(run.nResult, 0u);
    EXPECT_EQ(clock.Reads(), 0u);
    EXPECT_EQ(run.window.OfKind(WM_BENCH_DRAWBAR).size(), 0u);
    EXPECT_EQ(Sweeps(run.window), 1u);
    for (const RateEntry& row : run.doc.rates)
        EXPECT_EQ(row.flags, 0);
    EXPECT_EQ(run.window.Notices(), (std::vector<std::string>{"box:No errors detected.", "done"}));
    EXPECT_TRUE(run.doc.IsModified());
}

// The end of a run as the window and the main frame see it, attended and
// unattended, successful and with a test file that cannot be created.
TEST(BenchmarkThread, EndOfRunMessages)
{
    struct Case
    {
        const char* name;
        bool bUnattended;
        bool bBadTarget;
        uint32_t result;
        std::vector<std::string> notices;
    } cases[] = {
        {"interactive", false, false, 0, {"done"}},
        {"unattended", true, false, 0, {"log:Testing completed sucessfully.", "command:save", "command:exit"}},
        {"interactive, no file", false, true, 1, {"box:Cannot open file benchtst.$$$.", "endbenchmark"}},
        {"unattended, no file", true, true, 1, {"log:Cannot open file benchtst.$$$.", "command:exit"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CRunScope scope;
        scope.options.bUnattended = c.bUnattended;
        if (c.bBadTarget)
            g_szTestFile = (scope.Dir() / "missing" / "benchtst.$$$").string();
        WorkerRun run;
        SmallTest(run.doc, 3, 3);
        CFakeClock clock(1000);
        run.Go(clock);
        EXPECT_EQ(run.nResult, c.result);
        EXPECT_EQ(run.window.Notices(), c.notices);
        // A run that never started leaves the document as it was.
        EXPECT_EQ(run.doc.IsModified(), !c.bBadTarget);
        EXPECT_EQ(run.window.OfKind(WM_BENCH_INPROGRESS).size(), c.bBadTarget ? 0u : 1u);
    }
}

// Direct I/O through the real queue, where the file system allows it.
TEST(BenchmarkThread, DirectRunOnARealFile)
{
    CRunScope scope;
    WorkerRun run;
    SmallTest(run.doc, 3, 7);
    run.doc.directio = 1;
    run.doc.queuedepth = 8;
    CFakeClock clock(1000);
    run.Go(clock);
    if (run.nResult == 1)
        GTEST_SKIP() << "the temporary directory does not take direct I/O: " << g_pszLastMessage;
    for (int i = 3; i <= 7; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(run.doc.rates[i].flags, 15);
        // Whole passes over 64 KiB: four of them in five clock seconds.
        EXPECT_EQ(run.doc.rates[i].writebps, 52428u);
        EXPECT_EQ(run.doc.rates[i].readbps, 52428u);
    }
    EXPECT_FALSE(std::filesystem::exists(g_szTestFile));
}

TEST(BenchmarkThread, RunMinutesReadAsALeadingNumber)
{
    struct Case
    {
        const char* text;
        long minutes;
    } cases[] = {{"30", 30}, {"  7", 7}, {"+4", 4}, {"-2", -2}, {"12abc", 12}, {"abc", 0}, {"", 0},
                 {"99999999999999999999999", LONG_MAX}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseRunMinutes(c.text), c.minutes);
    }
}
