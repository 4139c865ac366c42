// The test patterns and the comparison of what was read with what was written.
#include "TestFileSupport.h"

#include "engine/Patterns.h"
#include "engine/TestFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>

namespace filetest {
namespace {

uint32_t Word(const std::vector<uint8_t>& b, size_t i)
{
    return b[4 * i] | b[4 * i + 1] << 8 | b[4 * i + 2] << 16 | uint32_t(b[4 * i + 3]) << 24;
}

TEST(Patterns, FixedWordsAreStoredLittleEndian)
{
    struct Case
    {
        int32_t nPattern;
        uint8_t bytes[4];
    } cases[] = {
        {1, {0xFF, 0xFF, 0xFF, 0xFF}}, {2, {0xFF, 0x00, 0xFF, 0x00}}, {3, {0x00, 0xFF, 0x00, 0xFF}},
        {4, {0x55, 0xAA, 0x55, 0xAA}}, {5, {0xAA, 0x55, 0xAA, 0x55}}, {6, {0xCC, 0x33, 0xCC, 0x33}},
        {7, {0x33, 0xCC, 0x33, 0xCC}}, {8, {0x99, 0x66, 0x99, 0x66}}, {9, {0x66, 0x99, 0x66, 0x99}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nPattern);
        std::vector<uint8_t> b(4096, 0xEE);
        ASSERT_TRUE(FillPattern(c.nPattern, b.data(), 4096));
        for (size_t i = 0; i < b.size(); i += 4)
            ASSERT_EQ(std::memcmp(&b[i], c.bytes, 4), 0) << "word " << i / 4;
    }
}

TEST(Patterns, CountingPatternsAndTheRandomSequence)
{
    std::vector<uint8_t> b(262146 * 4 + 8);
    ASSERT_TRUE(FillPattern(10, b.data(), uint32_t(b.size())));
    EXPECT_EQ(Word(b, 0), 0u);
    EXPECT_EQ(Word(b, 1), 1u);
    EXPECT_EQ(Word(b, 262145), 262145u);

    ASSERT_TRUE(FillPattern(11, b.data(), uint32_t(b.size())));
    EXPECT_EQ(Word(b, 0), 0x3FFFFu);
    EXPECT_EQ(Word(b, 262143), 0u);
    EXPECT_EQ(Word(b, 262144), 0xFFFFFFFFu);
    EXPECT_EQ(Word(b, 262145), 0xFFFFFFFEu);

    ASSERT_TRUE(FillPattern(12, b.data(), uint32_t(b.size())));
    const uint8_t first[8] = {0x4F, 0x50, 0xBE, 0x21, 0x6A, 0x55, 0x9D, 0x31};   // 20559, 8638, 21866, 12701
    EXPECT_EQ(std::memcmp(b.data(), first, 8), 0);
    for (size_t i = 0; i < b.size(); i += 2)
        ASSERT_LT(b[i] | b[i + 1] << 8, 32767) << "16-bit word " << i / 2;
    std::vector<uint8_t> again(b.size());
    FillPattern(12, again.data(), uint32_t(again.size()));
    EXPECT_EQ(b, again) << "every run writes the same sequence";
}

TEST(Patterns, ZeroWritesNothingAndUnknownIndexesAreRefused)
{
    std::vector<uint8_t> b(512, 0xEE);
    EXPECT_TRUE(FillPattern(0, b.data(), 512));
    EXPECT_EQ(b, std::vector<uint8_t>(512, 0xEE));
    for (int32_t bad : {-1, 13, 1000}) {
        EXPECT_FALSE(FillPattern(bad, b.data(), 512)) << bad;
        EXPECT_EQ(b, std::vector<uint8_t>(512, 0xEE));
    }
}

TEST(Patterns, DecrementAcrossA64MiBWriteBuffer)
{
    COptionsScope options;
    CTempDir dir;
    CTestFile file;
    ASSERT_TRUE(file.Open(nullptr, dir.TestFile().c_str(), 64 * MiB, 64 * MiB, 1, 11, false, false, true));
    const auto* w = reinterpret_cast<const uint32_t*>(file.WriteBuffer());
    EXPECT_EQ(w[262143], 0u);
    EXPECT_EQ(w[262144], 0xFFFFFFFFu);
    EXPECT_EQ(w[16 * MiB - 1], uint32_t(0x3FFFF - (16 * MiB - 1)));
    file.Close();
}

TEST(Patterns, WithoutVerifyTheWriteBufferStaysZero)
{
    COptionsScope options;
    CTempDir dir;
    CTestFile file;
    ASSERT_TRUE(file.Open(nullptr, dir.TestFile().c_str(), 64 * KiB, 64 * KiB, 1, 4, false, false, false));
    EXPECT_EQ(std::vector<uint8_t>(file.WriteBuffer(), file.WriteBuffer() + 64 * KiB), std::vector<uint8_t>(64 * KiB));
    file.Close();
}

// A verifying run at depth 1 over two blocks, with a corruption planted in
// the file between the write and the read phase.
struct VerifyRun
{
    COptionsScope options{false, true};
    CTempDir dir;
    CWindowRecorder window;
    CTestFile file;
    static constexpr uint32_t SIZE = 64 * KiB;

    VerifyRun(uint16_t depth = 1)
    {
        g_dwTransferSize = SIZE;
        EXPECT_TRUE(file.Open(&window, dir.TestFile().c_str(), 2 * SIZE, SIZE, depth, 12, false, false, true));
    }
    void WritePhase(uint32_t nWrites)
    {
        file.m_nWriteCount = 0;
        file.Seek(0);
        for (uint32_t i = 0; i < nWrites; ++i) {
            ASSERT_TRUE(file.Write(SIZE));
            ++file.m_nWriteCount;
        }
        ASSERT_TRUE(file.WaitAll());
    }
    // Overwrites nWords words of the file from byte nOffset.
    void Corrupt(uint64_t nOffset, uint32_t nWords)
    {
        const int fd = open(dir.TestFile().c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        std::vector<uint32_t> junk(nWords, 0xDEADBEEF);
        ASSERT_EQ(pwrite(fd, junk.data(), nWords * 4, static_cast<off_t>(nOffset)), ssize_t(nWords * 4));
        close(fd);
    }
    void ReadPhase(uint32_t nReads)
    {
        file.m_nReadCount = 0;
        file.Seek(0);
        for (uint32_t i = 0; i < nReads; ++i) {
            ASSERT_TRUE(file.Read(SIZE));
            ++file.m_nReadCount;
        }
        ASSERT_TRUE(file.WaitAll());
    }
};

TEST(Verification, ASoundFileGivesNoRecord)
{
    VerifyRun run;
    run.WritePhase(2);
    run.ReadPhase(2);
    EXPECT_EQ(g_nDataErrors, 0);
}

TEST(Verification, ACorruptedWordIsRecordedWithItsPlace)
{
    VerifyRun run;
    run.WritePhase(2);
    run.Corrupt(VerifyRun::SIZE + 5 * 4, 1);
    run.ReadPhase(2);
    ASSERT_EQ(g_nDataErrors, 1);
    const DataErrorRecord& r = g_DataErrors[0];
    EXPECT_EQ(r.dwTransferSize, VerifyRun::SIZE);
    EXPECT_EQ(r.dwBufferIndex, 5u);
    EXPECT_EQ(r.dwExpected, reinterpret_cast<const uint32_t*>(run.file.WriteBuffer())[5]);
    EXPECT_EQ(r.dwActual, 0xDEADBEEFu);
}

TEST(Verification, ReadsBeyondTheWriteCountAreNotCompared)
{
    VerifyRun run;
    run.WritePhase(1);   // the phase wrote one block; the second block holds the fill
    run.Corrupt(VerifyRun::SIZE, 16);
    run.ReadPhase(2);
    EXPECT_EQ(g_nDataErrors, 0);
}

TEST(Verification, TheListStopsAt5000)
{
    VerifyRun run;
    run.WritePhase(2);
    run.Corrupt(0, 8192);
    run.Corrupt(VerifyRun::SIZE, 100);
    run.ReadPhase(2);
    EXPECT_EQ(g_nDataErrors, MAX_DATA_ERRORS);
    EXPECT_EQ(g_DataErrors[MAX_DATA_ERRORS - 1].dwBufferIndex, uint32_t(MAX_DATA_ERRORS - 1));
}

TEST(Verification, OverlappedReadsAreNotCompared)
{
    auto pLog = std::make_shared<QueueLog>();
    pLog->nCorruptRead = 0;
    pLog->nCorruptWord = 3;
    COptionsScope options;
    CTempDir dir;
    CTestFile file;
    file.SetQueueFactory([pLog] { return std::make_unique<CQueueRecorder>(pLog); });
    g_dwTransferSize = 64 * KiB;
    ASSERT_TRUE(file.Open(nullptr, dir.TestFile().c_str(), 128 * KiB, 64 * KiB, 4, 12, false, false, true));
    file.m_nWriteCount = 2;
    file.Seek(0);
    ASSERT_TRUE(file.Read(64 * KiB));
    ASSERT_TRUE(file.WaitAll());
    EXPECT_EQ(pLog->nReads, 1);
    EXPECT_EQ(g_nDataErrors, 0);
    file.Close();
}

TEST(Verification, ATransferSizeBeyondTheBufferComparesOnlyTheBuffer)
{
    VerifyRun run;
    run.WritePhase(2);
    run.ReadPhase(2);
    // A size no request of this run can have: the comparison stays inside
    // the buffers, which hold the same block.
    g_dwTransferSize = 4 * VerifyRun::SIZE;
    run.file.CompareBuffers();
    EXPECT_EQ(g_nDataErrors, 0);
}

}
}
