// The ring of request slots: how many requests are in flight, the order in
// which they are waited for, the sticky error and a refused submission.
#include "TestFileSupport.h"

#include "engine/TestFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace filetest {
namespace {

struct RingFixture
{
    COptionsScope options;
    CTempDir dir;
    CWindowRecorder window;
    CTestFile file;
    std::shared_ptr<QueueLog> pLog = std::make_shared<QueueLog>();

    explicit RingFixture(bool bKeep = false) : options(false, bKeep)
    {
        auto pLogCopy = pLog;
        file.SetQueueFactory([pLogCopy] { return std::make_unique<CQueueRecorder>(pLogCopy); });
    }
    bool Open(uint64_t nFileSize, uint32_t nBuffer, uint16_t nDepth)
    {
        return file.Open(&window, dir.TestFile().c_str(), nFileSize, nBuffer, nDepth, 0, false, false, false);
    }
};

TEST(TestFileRing, AtMostDepthMinusOneRequestsAreInFlight)
{
    for (uint16_t depth : {2, 4, 256}) {
        SCOPED_TRACE("queue depth " + std::to_string(depth));
        RingFixture f;
        ASSERT_TRUE(f.Open(64 * KiB, 4 * KiB, depth));
        // The fill of 16 chunks went through the ring too and was waited for.
        EXPECT_EQ(f.pLog->nInFlight, 0u);
        EXPECT_EQ(f.pLog->nDepth, depth);
        f.pLog->submitted.clear();
        f.pLog->waited.clear();
        f.pLog->nMaxInFlight = 0;

        f.file.Seek(0);
        const unsigned requests = 3u * depth;
        for (unsigned i = 0; i < requests; ++i)
            ASSERT_TRUE(f.file.Write(4 * KiB)) << "request " << i;
        EXPECT_EQ(f.pLog->nMaxInFlight, unsigned(depth - 1));
        ASSERT_TRUE(f.file.WaitAll());
        EXPECT_EQ(f.pLog->nInFlight, 0u);

        // Slots are taken in turn, all of them; offsets follow one another;
        // requests are waited for oldest first.
        ASSERT_EQ(f.pLog->submitted.size(), requests);
        ASSERT_EQ(f.pLog->waited.size(), requests);
        for (unsigned i = 0; i < requests; ++i) {
            EXPECT_EQ(f.pLog->submitted[i].nOffset, uint64_t(i) * 4 * KiB);
            EXPECT_EQ(f.pLog->waited[i], f.pLog->submitted[i].nSlot);
        }
        // The fill left head at 16 mod depth; from there every slot comes round.
        std::vector<bool> used(depth);
        for (const Request& r : f.pLog->submitted)
            used[r.nSlot] = true;
        EXPECT_EQ(std::count(used.begin(), used.end(), true), depth);
        f.file.Close();
    }
}

TEST(TestFileRing, QueueDepthOneIsSynchronousAndMovesTheFilePosition)
{
    RingFixture f(/*bKeep=*/true);
    ASSERT_TRUE(f.Open(8 * KiB, 4 * KiB, 1));
    EXPECT_EQ(f.pLog->nCreated, 0) << "no queue at depth 1";
    f.file.Seek(4 * KiB);
    ASSERT_TRUE(f.file.Write(4 * KiB));
    ASSERT_TRUE(f.file.Write(4 * KiB));   // at 8 KiB: the file grows past its size
    EXPECT_TRUE(f.file.WaitAll());
    struct stat st{};
    ASSERT_EQ(stat(f.dir.TestFile().c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 12 * KiB);
    f.file.Seek(0);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(f.file.Read(4 * KiB));
    EXPECT_TRUE(f.file.Read(4 * KiB)) << "a read at the end of the file is short, not an error";
    f.file.Close();
}

TEST(TestFileRing, AFailedCompletionIsStickyUntilSeek)
{
    RingFixture f;
    ASSERT_TRUE(f.Open(4 * KiB, 4 * KiB, 4));
    f.file.Seek(0);
    const size_t first = f.pLog->submitted.size();
    f.pLog->nFailCompletion = static_cast<int>(first + 1);   // the second request of the phase
    f.pLog->nCompletionErrno = EIO;

    // Depth 4 keeps three in flight: the fourth Write waits for the first,
    // the fifth for the second, which fails.
    int accepted = 0;
    while (f.file.Write(4 * KiB))
        ASSERT_LT(++accepted, 100);
    EXPECT_EQ(accepted, 4);
    EXPECT_EQ(f.file.GetError(), uint32_t(EIO));

    // Nothing reaches the file any more, and WaitAll still waits for what is out.
    const size_t submitted = f.pLog->submitted.size();
    EXPECT_FALSE(f.file.Write(4 * KiB));
    EXPECT_FALSE(f.file.Read(4 * KiB));
    EXPECT_EQ(f.pLog->submitted.size(), submitted);
    EXPECT_GT(f.pLog->nInFlight, 0u);
    EXPECT_FALSE(f.file.WaitAll());
    EXPECT_EQ(f.pLog->nInFlight, 0u);
    EXPECT_EQ(f.file.GetError(), uint32_t(EIO));

    f.file.Seek(0);
    EXPECT_EQ(f.file.GetError(), 0u);
    EXPECT_TRUE(f.file.Write(4 * KiB));
    EXPECT_TRUE(f.file.WaitAll());
    f.file.Close();
}

TEST(TestFileRing, ARefusedSubmissionGivesItsSlotBack)
{
    RingFixture f;
    ASSERT_TRUE(f.Open(4 * KiB, 4 * KiB, 4));
    ASSERT_TRUE(f.file.WaitAll());
    f.file.Seek(0);
    ASSERT_TRUE(f.file.Write(4 * KiB));
    f.pLog->nFailSubmission = static_cast<int>(f.pLog->submitted.size());
    f.pLog->nSubmitErrno = EAGAIN;
    EXPECT_FALSE(f.file.Write(4 * KiB));
    EXPECT_EQ(f.file.GetError(), uint32_t(EAGAIN));
    const Request refused = f.pLog->submitted.back();
    EXPECT_EQ(refused.nOffset, 4 * KiB);
    EXPECT_EQ(f.pLog->nInFlight, 1u) << "the refused request is not in flight";

    // The next request after Seek takes the slot that was given back.
    f.file.Seek(0);
    ASSERT_TRUE(f.file.Write(4 * KiB));
    EXPECT_EQ(f.pLog->submitted.back().nSlot, refused.nSlot);
    EXPECT_EQ(f.pLog->submitted.back().nOffset, 0u);
    EXPECT_TRUE(f.file.WaitAll());
    EXPECT_EQ(f.pLog->nInFlight, 0u);
    f.file.Close();
}

TEST(TestFileRing, ARequestLargerThanTheBufferFailsWithoutTouchingTheFile)
{
    for (uint16_t depth : {1, 4}) {
        SCOPED_TRACE("queue depth " + std::to_string(depth));
        RingFixture f;
        ASSERT_TRUE(f.Open(64 * KiB, 64 * KiB, depth));
        const size_t submitted = f.pLog->submitted.size();
        f.file.Seek(0);
        EXPECT_FALSE(f.file.Write(64 * KiB + 512));
        EXPECT_EQ(f.file.GetError(), uint32_t(EINVAL));
        EXPECT_FALSE(f.file.Read(64 * KiB)) << "the error is sticky";
        EXPECT_FALSE(f.file.WaitAll());
        f.file.Seek(0);
        EXPECT_FALSE(f.file.Read(128 * KiB));
        EXPECT_EQ(f.file.GetError(), uint32_t(EINVAL));
        EXPECT_EQ(f.pLog->submitted.size(), submitted);
        f.file.Seek(0);
        EXPECT_TRUE(f.file.Read(64 * KiB)) << "the buffer's own size still works";
        EXPECT_TRUE(f.file.WaitAll());
        f.file.Close();
    }
}

TEST(TestFileRing, FillIsOneStepAndOneWritePerBufferChunk)
{
    struct Case
    {
        uint64_t nFileSize;
        uint32_t nBuffer;
        size_t nChunks;
    } cases[] = {
        {64 * KiB, 64 * KiB, 1},
        {256 * KiB, 64 * KiB, 4},
        {100 * KiB, 64 * KiB, 2},   // the last chunk reaches past the file size
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nFileSize);
        RingFixture f;
        ASSERT_TRUE(f.Open(c.nFileSize, c.nBuffer, 4));
        EXPECT_EQ(f.window.OfKind(WM_BENCH_STEP).size(), c.nChunks);
        ASSERT_EQ(f.pLog->submitted.size(), c.nChunks);
        for (size_t i = 0; i < c.nChunks; ++i) {
            EXPECT_TRUE(f.pLog->submitted[i].bWrite);
            EXPECT_EQ(f.pLog->submitted[i].nOffset, i * c.nBuffer);
            EXPECT_EQ(f.pLog->submitted[i].nBytes, c.nBuffer);
        }
        EXPECT_TRUE(f.window.OfKind(WM_BENCH_MESSAGEBOX).empty());
        f.file.Close();
    }
}

TEST(TestFileRing, CloseIsHarmlessOnANeverOpenedObjectAndTwice)
{
    CTestFile never;
    never.Close();
    never.Close();
    EXPECT_FALSE(never.IsOpen());
    EXPECT_TRUE(never.WaitAll());
    EXPECT_FALSE(never.Write(512)) << "no buffer to write from";

    RingFixture f;
    ASSERT_TRUE(f.Open(64 * KiB, 4 * KiB, 4));
    f.file.Seek(0);
    ASSERT_TRUE(f.file.Write(4 * KiB));
    f.file.Close();   // waits for the request still out
    EXPECT_EQ(f.pLog->nInFlight, 0u);
    EXPECT_FALSE(f.file.IsOpen());
    EXPECT_EQ(f.file.WriteBuffer(), nullptr);
    f.file.Close();
    f.file.Reset();
    f.file.Close();
}

}
}
