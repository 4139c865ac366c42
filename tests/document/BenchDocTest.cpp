#include "document/BenchDoc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(BenchDoc, NewDocumentHoldsEveryDefaultAndAnEmptyTable)
{
    CBenchDoc doc;
    doc.pattern = 7;
    doc.maxbps = 5;
    doc.rates[3].writebps = 9;
    doc.rates[3].flags = 5;
    doc.SetPathName("/tmp/x.bmk");
    ASSERT_TRUE(doc.OnNewDocument());

    EXPECT_EQ(doc.drive, CBenchDoc::DefaultDrive());
    EXPECT_EQ(doc.drive.front(), '/');
    EXPECT_EQ(doc.pattern, 0);
    EXPECT_EQ(doc.iosize1, 0);
    EXPECT_EQ(doc.iosize2, 20);
    EXPECT_EQ(doc.runiosize1, 0);
    EXPECT_EQ(doc.runiosize2, 20);
    EXPECT_EQ(doc.filesize, 268435456u);
    EXPECT_EQ(doc.description, "<< Description >>");
    EXPECT_EQ(doc.maxbps, 0u);
    EXPECT_EQ(doc.maxiops, 0u);
    EXPECT_EQ(doc.directio, 1);
    EXPECT_EQ(doc.bypasswritecache, 0);
    EXPECT_EQ(doc.verifydata, 0);
    EXPECT_EQ(doc.continuousio, 0);
    EXPECT_EQ(doc.ioruntime, "30");
    EXPECT_EQ(doc.queuedepth, 4);
    EXPECT_EQ(doc.chosenqueuedepth, 4);
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    EXPECT_TRUE(doc.GetPathName().empty());
    EXPECT_FALSE(doc.IsModified());
    for (const RateEntry& row : doc.rates) {
        EXPECT_EQ(row.flags, 0);
        EXPECT_EQ(row.writebps | row.readbps | row.writeiops | row.readiops, 0u);
    }
}

TEST(BenchDoc, DefaultTargetIsTheHomeDirectory)
{
    const char* old = std::getenv("HOME");
    const std::string saved = old ? old : "";
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(CBenchDoc::DefaultDrive(), "/home/someone");
    setenv("HOME", "relative", 1);   // not absolute: the password database decides
    EXPECT_EQ(CBenchDoc::DefaultDrive().front(), '/');
    if (old)
        setenv("HOME", saved.c_str(), 1);
    else
        unsetenv("HOME");
}

TEST(BenchDoc, RowsCarryTheTransferSizeTable)
{
    const struct {
        int index;
        const char* label;
        uint32_t bytes;
    } cases[] = {{0, "512 B", 512},        {1, "1 KiB", 1024},         {7, "64 KiB", 65536},
                 {14, "8 MiB", 8388608},   {15, "12 MiB", 12582912},   {17, "24 MiB", 25165824},
                 {19, "48 MiB", 50331648}, {20, "64 MiB", 67108864}};
    CBenchDoc doc;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_STREQ(doc.rates[c.index].label, c.label);
        EXPECT_EQ(doc.rates[c.index].iosize, c.bytes);
    }
    // Doubling to 8 MiB, then x1.5 and x4/3 alternately.
    for (int i = 1; i <= 14; ++i)
        EXPECT_EQ(doc.rates[i].iosize, 2 * doc.rates[i - 1].iosize);
}

TEST(BenchDoc, FindRateMapsOnlyTableSizes)
{
    CBenchDoc doc;
    const struct {
        uint64_t size;
        int index;
    } cases[] = {{12582912, 15}, {512, 0}, {67108864, 20}, {3000, -1}, {0, -1},
                 {uint64_t{1} << 32, -1}, {(uint64_t{1} << 32) + 512, -1}, {~uint64_t{0}, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(doc.FindRateIndex(c.size), c.index);
        EXPECT_EQ(doc.FindRate(c.size), c.index < 0 ? nullptr : &doc.rates[c.index]);
    }
}

TEST(BenchDoc, ResetRatesKeepsLabelsSizesAndMaxima)
{
    CBenchDoc doc;
    for (RateEntry& row : doc.rates) {
        row.writebps = row.readbps = row.writeiops = row.readiops = 77;
        row.flags = 15;
    }
    doc.maxbps = 11;
    doc.maxiops = 12;
    doc.ResetRates();
    for (int i = 0; i < NUM_TRANSFER_SIZES; ++i) {
        EXPECT_STREQ(doc.rates[i].label, g_TransferSizes[i].label);
        EXPECT_EQ(doc.rates[i].iosize, g_TransferSizes[i].bytes);
        EXPECT_EQ(doc.rates[i].flags, 0);
        EXPECT_EQ(doc.rates[i].writebps | doc.rates[i].readbps | doc.rates[i].writeiops | doc.rates[i].readiops, 0u);
    }
    EXPECT_EQ(doc.maxbps, 11u);
    EXPECT_EQ(doc.maxiops, 12u);
}

TEST(BenchDoc, VerifyForcesDepthOneAndRestoresTheChoice)
{
    CBenchDoc doc;
    doc.ChooseQueueDepth(32);
    EXPECT_EQ(doc.queuedepth, 32);
    doc.SetVerifyData(true);
    EXPECT_EQ(doc.queuedepth, 1);
    EXPECT_EQ(doc.chosenqueuedepth, 32);
    doc.ChooseQueueDepth(64);   // chosen while verifying: remembered, not in force
    EXPECT_EQ(doc.queuedepth, 1);
    doc.SetVerifyData(false);
    EXPECT_EQ(doc.queuedepth, 64);
    EXPECT_EQ(doc.verifydata, 0);
}

TEST(BenchTables, FixedListsAndFileSizePositions)
{
    EXPECT_STREQ(g_FileSizeLabels[0], "64 KiB");
    EXPECT_STREQ(g_FileSizeLabels[12], "256 MiB");
    EXPECT_STREQ(g_FileSizeLabels[19], "32 GiB");
    EXPECT_EQ(FileSizeAt(12), 268435456u);
    EXPECT_EQ(FileSizeAt(19), uint64_t{32} << 30);
    EXPECT_EQ(FileSizePosition(268435456), 12);
    EXPECT_EQ(FileSizePosition(65536), 0);
    EXPECT_EQ(FileSizePosition(65536 + 131072), 0);   // lowest set bit decides
    EXPECT_EQ(FileSizePosition(4096), -1);
    EXPECT_EQ(g_QueueDepths[0], 1);
    EXPECT_EQ(g_QueueDepths[10], 16);
    EXPECT_EQ(g_QueueDepths[14], 256);
    EXPECT_STREQ(g_PatternNames[0], "00000000");
    EXPECT_STREQ(g_PatternNames[10], "Increment");
    EXPECT_STREQ(g_PatternNames[12], "Random");
}
