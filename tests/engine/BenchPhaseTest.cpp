#include "engine/BenchPhase.h"

#include "BenchRunSupport.h"
#include "engine/TestFile.h"

#include <gtest/gtest.h>

#include <vector>

using namespace benchtest;

namespace {

constexpr uint32_t KiB = 1024;
constexpr uint32_t MiB = 1024 * 1024;

struct OpenedFile
{
    CTestFile file;
    CRecordingWindow window;
    ~OpenedFile() { file.Close(); }
};

bool OpenBuffered(OpenedFile& f, uint64_t nFileSize, uint16_t nDepth = 1)
{
    f.file.Reset();
    const uint32_t nBuffer = nFileSize < MAX_BUFFER_SIZE ? static_cast<uint32_t>(nFileSize) : MAX_BUFFER_SIZE;
    return f.file.Open(&f.window, g_szTestFile.c_str(), nFileSize, nBuffer, nDepth, 0, false, false, false);
}

}

// With a clock one second further at every reading, a 64 KiB file in 4 KiB
// requests makes passes of 16 requests until the fourth second, and the
// rates are the counted bytes and requests over the elapsed hundredths,
// truncated.
TEST(BenchPhase, CountsSixteenRequestsPerPassOfASmallFile)
{
    CRunScope scope;
    OpenedFile f;
    ASSERT_TRUE(OpenBuffered(f, 64 * KiB));
    for (bool bRead : {false, true})
    {
        SCOPED_TRACE(bRead ? "read phase" : "write phase");
        CFakeClock clock(1000);
        g_dwTransferSize = 4 * KiB;
        PhaseRates rates;
        ASSERT_EQ(RunPhase(f.file, f.window, clock, bRead, 64 * KiB, rates), PhaseResult::Measured);
        // Two readings to align, four pass ends, one final reading.
        EXPECT_EQ(clock.Reads(), 7u);
        EXPECT_EQ(rates.nCount, 4u * 16u);
        EXPECT_EQ(bRead ? f.file.m_nReadCount : f.file.m_nWriteCount, 64u);
        EXPECT_EQ(rates.nBytes, 4u * 64 * KiB);
        EXPECT_EQ(rates.nElapsedHundredths, 500u);
        EXPECT_EQ(rates.nBytesPerSecond, 52428u);   // 262144 * 100 / 500 = 52428.8
        EXPECT_EQ(rates.nIoPerSecond, 12u);         // 64 * 100 / 500 = 12.8
    }
    EXPECT_TRUE(f.window.Messages().size() == 1u);   // only the fill's step
}

// The clock is read at every 1000th request of a pass and at its end, and the
// counter starts again with every pass: with 2048 requests per pass the
// second pass is checked at its own 1000th request, not at the 3000th overall.
TEST(BenchPhase, CheckpointCounterRestartsWithEveryPass)
{
    CRunScope scope;
    OpenedFile f;
    ASSERT_TRUE(OpenBuffered(f, 1 * MiB));
    CHookClock clock(1000);
    std::vector<uint32_t> countsAtReadings;
    clock.SetOnRead([&](const ClockReading&) { countsAtReadings.push_back(f.file.m_nWriteCount); });
    g_dwTransferSize = 512;
    PhaseRates rates;
    ASSERT_EQ(RunPhase(f.file, f.window, clock, false, 1 * MiB, rates), PhaseResult::Measured);
    // Align (2), checkpoints 1000 and 2000, pass end 2048, checkpoint at 1000
    // into pass 2 (the fourth second: the pass ends), its pass end, the final.
    const std::vector<uint32_t> expected = {0, 0, 1000, 2000, 2048, 3048, 3048, 3048};
    EXPECT_EQ(countsAtReadings, expected);
    EXPECT_EQ(rates.nCount, 3048u);
    EXPECT_EQ(rates.nBytes, 3048u * 512u);
    EXPECT_EQ(rates.nElapsedHundredths, 600u);
}

// A 12 MiB size over a 64 MiB file: six requests per pass, the last reaching
// to 72 MiB, every pass starting again at offset 0. The double keeps 64 MiB
// transfers off the disk.
TEST(BenchPhase, LastRequestOfAPassMayReachPastTheFile)
{
    CRunScope scope;
    auto pLog = std::make_shared<QueueLog>();
    OpenedFile f;
    f.file.Reset();
    f.file.SetQueueFactory([pLog] { return std::make_unique<CQueueDouble>(pLog); });
    ASSERT_TRUE(f.file.Open(&f.window, g_szTestFile.c_str(), 64ull * MiB, 64 * MiB, 4, 0, false, false, false));
    const size_t nFill = pLog->requests.size();
    ASSERT_EQ(nFill, 1u);

    CFakeClock clock(1000);
    g_dwTransferSize = 12 * MiB;
    PhaseRates rates;
    ASSERT_EQ(RunPhase(f.file, f.window, clock, false, 64ull * MiB, rates), PhaseResult::Measured);
    ASSERT_EQ(pLog->requests.size() - nFill, 4u * 6u);
    for (size_t n = 0; n < 24; ++n)
    {
        SCOPED_TRACE(n);
        const QueueLog::Request& request = pLog->requests[nFill + n];
        EXPECT_FALSE(request.bRead);
        EXPECT_EQ(request.nBytes, 12u * MiB);
        EXPECT_EQ(request.nOffset, (n % 6) * 12ull * MiB);
    }
    EXPECT_EQ(pLog->requests.back().nOffset + pLog->requests.back().nBytes, 72ull * MiB);
    EXPECT_EQ(rates.nBytes, 4u * 72ull * MiB);
    EXPECT_LE(pLog->nMaxInFlight, 3u);
}

// A clock that goes back between the pass end and the final reading leaves
// no elapsed time: the phase reports that instead of dividing by zero.
TEST(BenchPhase, NoElapsedTimeGivesNoRate)
{
    CRunScope scope;
    OpenedFile f;
    ASSERT_TRUE(OpenBuffered(f, 64 * KiB));
    CScriptedClock clock({10'000, 11'000, 15'000, 11'000});
    g_dwTransferSize = 4 * KiB;
    PhaseRates rates;
    EXPECT_EQ(RunPhase(f.file, f.window, clock, false, 64 * KiB, rates), PhaseResult::NoTime);
    EXPECT_EQ(rates.nBytesPerSecond, 0u);
    EXPECT_EQ(rates.nIoPerSecond, 0u);
    EXPECT_EQ(rates.nCount, 16u);
}

// A failed request ends the phase with the error text carrying the errno in
// decimal and hexadecimal, posted as an error box, or logged when unattended.
TEST(BenchPhase, IoErrorIsReportedWithItsCode)
{
    struct Case
    {
        const char* name;
        bool bRead;
        bool bAtSubmit;
        bool bUnattended;
        const char* expected;
    } cases[] = {
        {"write, completion", false, false, false, "box:Error(s) on write file, code 5 (0x00000005)."},
        {"write, submission", false, true, false, "box:Error(s) on write file, code 5 (0x00000005)."},
        {"read, completion", true, false, false, "box:Error(s) on read file, code 5 (0x00000005)."},
        {"read, unattended", true, false, true, "log:Error(s) on read file, code 5 (0x00000005)."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CRunScope scope;
        scope.options.bUnattended = c.bUnattended;
        auto pLog = std::make_shared<QueueLog>();
        pLog->nFailSubmitAt = c.bAtSubmit ? 5 : -1;
        pLog->nFailCompleteAt = c.bAtSubmit ? -1 : 5;
        OpenedFile f;
        f.file.Reset();
        f.file.SetQueueFactory([pLog] { return std::make_unique<CQueueDouble>(pLog); });
        ASSERT_TRUE(f.file.Open(&f.window, g_szTestFile.c_str(), 64 * KiB, 64 * KiB, 4, 0, false, false, false));
        CFakeClock clock(1000);
        g_dwTransferSize = 4 * KiB;
        PhaseRates rates;
        EXPECT_EQ(RunPhase(f.file, f.window, clock, c.bRead, 64 * KiB, rates), PhaseResult::IoError);
        EXPECT_EQ(f.file.GetError(), 5u);
        EXPECT_EQ(f.window.Notices(), std::vector<std::string>{c.expected});
        EXPECT_EQ(rates.nBytesPerSecond, 0u);
    }
}
