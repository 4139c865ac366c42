// Opening result files of older versions: the framework's archive encoding
// and the two layouts ("tst" files and version-3.00 ".bmk" files).
#include "ArchiveTestSupport.h"
#include "document/ArchiveReader.h"
#include "document/BenchDoc.h"
#include "document/BenchFileForms.h"

#include <atomic>
#include <cstdlib>
#include <new>

// The largest single allocation since the last reset, to prove that a length
// read from a file sizes nothing before it is checked.
namespace {
std::atomic<size_t> g_nLargestAllocation{0};
}

// Replacing the global pair is the standard's own hook; GCC cannot tell that
// the replaced new is malloc.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t n)
{
    size_t nSeen = g_nLargestAllocation.load(std::memory_order_relaxed);
    while (n > nSeen && !g_nLargestAllocation.compare_exchange_weak(nSeen, n)) {
    }
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

struct Fields
{
    uint8_t letter = 'd';
    uint16_t options = 0x0403;
    std::string description = "old disk";
    std::vector<uint64_t> first = {1000, 2000};
    uint16_t firstCount = 0xFFFF;   // 0xFFFF: the size of first
    int32_t pattern = 5;
    int32_t major = 3;
    int32_t minor = 0;
    std::string runtime = "45";
    uint32_t firstSize = 1;   // 512 B
    uint32_t lastSize = 4;    // 2 KiB
    uint64_t fileSize = 1073741824;
    std::vector<uint64_t> second = {2048000, 4096000, 0, 0, 0, 5120000};
};

ArchiveBytes Build(const Fields& f, bool bFullLayout = true)
{
    ArchiveBytes a;
    a.Byte(f.letter).Mark().Word(0x1111).Mark().Word(0x2222).Mark().Dword(0x33333333).Mark();
    a.Word(f.options).Mark().Str(f.description).Mark();
    a.Word(f.firstCount == 0xFFFF ? static_cast<uint16_t>(f.first.size()) : f.firstCount).Mark();
    for (uint64_t v : f.first)
        a.Qword(v).Mark();
    if (!bFullLayout)
        return a;
    a.Dword(static_cast<uint32_t>(f.pattern)).Mark().Str("ignored one").Mark().Str("ignored two").Mark();
    a.Dword(static_cast<uint32_t>(f.major)).Mark().Dword(static_cast<uint32_t>(f.minor)).Mark();
    a.Str(f.runtime).Mark().Dword(f.firstSize).Mark().Dword(f.lastSize).Mark().Qword(f.fileSize).Mark();
    a.Word(static_cast<uint16_t>(f.second.size())).Mark();
    for (uint64_t v : f.second)
        a.Qword(v).Mark();
    return a;
}

ArchiveResult ReadBytes(CBenchDoc& doc, const std::string& bytes, const std::string& name)
{
    CArchiveReader ar(bytes.data(), bytes.size(), name);
    return doc.Serialize(ar);
}

// A document whose every field differs from what the fixtures hold.
void Scramble(CBenchDoc& doc)
{
    doc.drive = "/mnt/before";
    doc.pattern = 12;
    doc.iosize1 = doc.runiosize1 = 7;
    doc.iosize2 = doc.runiosize2 = 9;
    doc.filesize = 65536;
    doc.description = "before";
    doc.directio = 0;
    doc.bypasswritecache = 0;
    doc.verifydata = 1;
    doc.continuousio = 1;
    doc.ioruntime = "99";
    doc.queuedepth = doc.chosenqueuedepth = 256;
}

TEST(ArchiveForm, OptionWordSetsEveryOptionAndTheDepth)
{
    struct Case
    {
        uint16_t options;
        int directio, verifydata, bypasswritecache, continuousio;
        uint16_t depth;
    } const cases[] = {
        {0x0403, 1, 0, 1, 0, 4},    // depth from the high byte
        {0x0C02, 0, 0, 1, 0, 10},   // 12 is clamped to 10
        {0x0104, 0, 1, 1, 0, 1},    // verifying runs one request at a time
        {0x0000, 0, 0, 1, 0, 1},    // neither depth nor verify bit
        {0x0102, 0, 0, 1, 0, 4},    // depth 1 becomes 4
        {0x0002, 0, 0, 1, 0, 4},    // depth 0 becomes 4
        {0xFF02, 0, 0, 1, 0, 10},
        {0x0A06, 0, 0, 1, 0, 10},   // the depth bit wins over verify
        {0x0519, 1, 0, 0, 1, 1},    // continuous, cached writes, no depth bit
        {0x071B, 1, 0, 0, 1, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "option word 0x" << std::hex << c.options);
        Fields f;
        f.options = c.options;
        CBenchDoc doc;
        Scramble(doc);
        ASSERT_EQ(ReadBytes(doc, Build(f, false).Bytes(), "/x/old.tst"), ArchiveResult::Loaded);
        EXPECT_EQ(doc.directio, c.directio);
        EXPECT_EQ(doc.verifydata, c.verifydata);
        EXPECT_EQ(doc.bypasswritecache, c.bypasswritecache);
        EXPECT_EQ(doc.continuousio, c.continuousio);
        EXPECT_EQ(doc.queuedepth, c.depth);
        EXPECT_EQ(doc.chosenqueuedepth, c.depth);
    }
}

TEST(ArchiveForm, TstFileReadsOnlyUpToTheFirstListAsBytesPerSecond)
{
    Fields f;
    f.first = {10485760, 20971520, 3, 4};
    CBenchDoc doc;
    Scramble(doc);
    doc.maxbps = 1;
    doc.maxiops = 77;
    ASSERT_EQ(ReadBytes(doc, Build(f, false).Bytes(), "/x/OLD.TST"), ArchiveResult::Loaded);
    EXPECT_EQ(doc.drive, "D:");
    EXPECT_EQ(doc.description, "old disk");
    EXPECT_EQ(doc.rates[0].writebps, 10485760u);
    EXPECT_EQ(doc.rates[0].readbps, 20971520u);
    EXPECT_EQ(doc.rates[0].flags, RATE_WRITEBPS | RATE_READBPS);
    EXPECT_EQ(doc.rates[0].writeiops | doc.rates[0].readiops, 0u);
    EXPECT_EQ(doc.rates[1].writebps, 3u);
    EXPECT_EQ(doc.rates[1].readbps, 4u);
    EXPECT_EQ(doc.maxbps, 20971520u);
    EXPECT_EQ(doc.maxiops, 77u);
    // Everything after the first list keeps the document's values.
    EXPECT_EQ(doc.pattern, 12);
    EXPECT_EQ(doc.ioruntime, "99");
    EXPECT_EQ(doc.iosize1, 7);
    EXPECT_EQ(doc.runiosize1, 7);
    EXPECT_EQ(doc.iosize2, 9);
    EXPECT_EQ(doc.runiosize2, 9);
    EXPECT_EQ(doc.filesize, 65536u);
}

TEST(ArchiveForm, BmkArchiveRenamedToTstIsReadOnlyUpToTheFirstList)
{
    const std::string bytes = Build(Fields{}).Bytes();
    CBenchDoc doc;
    Scramble(doc);
    ASSERT_EQ(ReadBytes(doc, bytes, "/x/renamed.tst"), ArchiveResult::Loaded);
    EXPECT_EQ(doc.pattern, 12);
    EXPECT_EQ(doc.rates[0].writebps, 1000u);
    EXPECT_EQ(doc.rates[0].flags, RATE_WRITEBPS | RATE_READBPS);
    EXPECT_EQ(doc.rates[2].flags, 0);
}

TEST(ArchiveForm, BmkArchiveReadsEverySettingAndTheSecondList)
{
    Fields f;
    f.first = {1000, 9000000000};
    CBenchDoc doc;
    Scramble(doc);
    doc.maxiops = 1;
    ASSERT_EQ(ReadBytes(doc, Build(f).Bytes(), "/x/new.Bmk"), ArchiveResult::Loaded);
    EXPECT_EQ(doc.pattern, 5);
    EXPECT_EQ(doc.ioruntime, "45");
    EXPECT_EQ(doc.iosize1, 0);
    EXPECT_EQ(doc.runiosize1, 0);
    EXPECT_EQ(doc.iosize2, 2);
    EXPECT_EQ(doc.runiosize2, 2);
    EXPECT_EQ(doc.filesize, 1073741824u);
    // The second list overwrites row 0 and adds IO/s.
    EXPECT_EQ(doc.rates[0].writebps, 2048000u);
    EXPECT_EQ(doc.rates[0].writeiops, 4000u);
    EXPECT_EQ(doc.rates[0].readbps, 4096000u);
    EXPECT_EQ(doc.rates[0].readiops, 8000u);
    EXPECT_EQ(doc.rates[0].flags, RATE_WRITEBPS | RATE_READBPS | RATE_WRITEIOPS | RATE_READIOPS);
    // Entry 5 (odd) is row 2's read rate: 5120000 / 2048 = 2500 IO/s.
    EXPECT_EQ(doc.rates[2].readbps, 5120000u);
    EXPECT_EQ(doc.rates[2].readiops, 2500u);
    EXPECT_EQ(doc.rates[2].flags & (RATE_READBPS | RATE_READIOPS), RATE_READBPS | RATE_READIOPS);
    // The first list's maximum is forgotten before the second is read.
    EXPECT_EQ(doc.maxbps, 5120000u);
    EXPECT_EQ(doc.maxiops, 8000u);
}

TEST(ArchiveForm, FirstListBeyondTwentyFourEntriesIsCutAndTheNextFieldFollowsTheLastEntryRead)
{
    Fields f;
    f.first.assign(24, 0);
    for (unsigned i = 0; i < 24; ++i)
        f.first[i] = 100 + i;
    f.firstCount = 30;   // only 24 are stored before the pattern
    CBenchDoc doc;
    ASSERT_EQ(ReadBytes(doc, Build(f).Bytes(), "x.bmk"), ArchiveResult::Loaded);
    EXPECT_EQ(doc.pattern, 5);
    EXPECT_EQ(doc.rates[11].readbps, 123u);
    EXPECT_EQ(doc.rates[12].flags, 0);
}

TEST(ArchiveForm, SecondListIsCutAfterFortyTwoEntries)
{
    Fields f;
    f.second.assign(50, 0);
    for (unsigned i = 0; i < 50; ++i)
        f.second[i] = uint64_t{67108864} * (i + 1);
    CBenchDoc doc;
    ASSERT_EQ(ReadBytes(doc, Build(f).Bytes(), "x.bmk"), ArchiveResult::Loaded);
    EXPECT_EQ(doc.rates[20].readbps, uint64_t{67108864} * 42);
    EXPECT_EQ(doc.rates[20].readiops, 42u);
    EXPECT_EQ(doc.maxbps, uint64_t{67108864} * 42);
}

TEST(ArchiveForm, VersionOtherThanThreeHundredIsRefusedWithItsMessage)
{
    struct Case
    {
        int32_t major, minor;
        const char* text;
    } const cases[] = {
        {2, 99, "Invalid .bmk file version.\nPlease use files created by version 3.00 or later."},
        {3, 1, "Invalid .bmk file version.\nThis file was created by a newer version of Vessary Tarnwick."},
        {0, 0, "Invalid .bmk file version.\nPlease use files created by version 3.00 or later."},
        // Would wrap around to 300 in 32 bits.
        {42949676, 4, "Invalid .bmk file version.\nThis file was created by a newer version of Vessary Tarnwick."},
        {-2147483647 - 1, -2147483647 - 1, "Invalid .bmk file version.\nPlease use files created by version 3.00 or later."},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << "." << c.minor);
        Fields f;
        f.major = c.major;
        f.minor = c.minor;
        MessageRecorder boxes;
        CBenchDoc doc;
        EXPECT_FALSE(ReadArchiveForm(doc, dir.Write("v.bmk", Build(f).Bytes()).c_str()));
        EXPECT_EQ(boxes.Only(), std::make_pair(std::string(c.text), unsigned{MB_OK}));
        EXPECT_EQ(doc.pattern, 5);   // read before the version
    }
}

TEST(ArchiveForm, FileEndingInsideAnyFieldIsAnUnexpectedFormat)
{
    const ArchiveBytes full = Build(Fields{});
    const std::string& bytes = full.Bytes();
    for (size_t n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE(testing::Message() << "first " << n << " bytes");
        CBenchDoc doc;
        EXPECT_EQ(ReadBytes(doc, bytes.substr(0, n), "cut.bmk"), ArchiveResult::InvalidFormat);
    }
    TempDir dir;
    for (size_t nMark : full.Marks()) {
        if (nMark == bytes.size())
            continue;
        SCOPED_TRACE(testing::Message() << "cut at field boundary " << nMark);
        MessageRecorder boxes;
        CBenchDoc doc;
        EXPECT_FALSE(ReadArchiveForm(doc, dir.Write("cut.bmk", bytes.substr(0, nMark)).c_str()));
        EXPECT_EQ(boxes.Only(), std::make_pair(std::string("Unexpected file format."), unsigned{MB_ICONWARNING}));
    }
}

TEST(ArchiveForm, WhatWasReadBeforeTheEndStaysInTheDocument)
{
    const ArchiveBytes full = Build(Fields{});
    const std::vector<size_t>& marks = full.Marks();
    CBenchDoc doc;
    Scramble(doc);
    // Marks: 0 letter, 4 options, 5 description, 6 count, 7 and 8 the entries.
    EXPECT_EQ(ReadBytes(doc, full.Bytes().substr(0, marks[5] + 1), "cut.bmk"), ArchiveResult::InvalidFormat);
    EXPECT_EQ(doc.drive, "D:");
    EXPECT_EQ(doc.description, "old disk");
    EXPECT_EQ(doc.directio, 1);
    EXPECT_EQ(doc.queuedepth, 4);
    EXPECT_EQ(doc.ioruntime, "99");

    CBenchDoc doc2;
    Scramble(doc2);
    EXPECT_EQ(ReadBytes(doc2, full.Bytes().substr(0, marks[9] + 2), "cut.bmk"), ArchiveResult::InvalidFormat);
    EXPECT_EQ(doc2.rates[0].writebps, 1000u);
    EXPECT_EQ(doc2.rates[0].readbps, 2000u);
    EXPECT_EQ(doc2.pattern, 5);
}

TEST(ArchiveForm, SizeOutsideTheTableRefusesTheFileAndKeepsTheRows)
{
    const uint32_t badSizes[] = {0, 3, 0x00800000 /* 4 GiB / 512 */, 0xFFFFFFFF, 131073};
    for (uint32_t nSize : badSizes) {
        for (bool bFirst : {true, false}) {
            SCOPED_TRACE(testing::Message() << nSize << (bFirst ? " as first size" : " as last size"));
            Fields f;
            (bFirst ? f.firstSize : f.lastSize) = nSize;
            CBenchDoc doc;
            Scramble(doc);
            EXPECT_EQ(ReadBytes(doc, Build(f).Bytes(), "x.bmk"), ArchiveResult::InvalidFormat);
            EXPECT_EQ(doc.iosize1, 7);
            EXPECT_EQ(doc.iosize2, 9);
            EXPECT_EQ(doc.runiosize1, 7);
            EXPECT_EQ(doc.runiosize2, 9);
            EXPECT_EQ(doc.ioruntime, "45");
        }
    }
    Fields f;
    f.firstSize = f.lastSize = 131072;   // 64 MiB, the last row
    CBenchDoc doc;
    EXPECT_EQ(ReadBytes(doc, Build(f).Bytes(), "x.bmk"), ArchiveResult::Loaded);
    EXPECT_EQ(doc.iosize1, 20);
    EXPECT_EQ(doc.iosize2, 20);
}

TEST(ArchiveForm, PatternOutsideTheListRefusesTheFile)
{
    for (int32_t nPattern : {-1, 13, 2147483647}) {
        SCOPED_TRACE(nPattern);
        Fields f;
        f.pattern = nPattern;
        CBenchDoc doc;
        EXPECT_EQ(ReadBytes(doc, Build(f).Bytes(), "x.bmk"), ArchiveResult::InvalidFormat);
        EXPECT_EQ(doc.pattern, 0);
    }
}

TEST(ArchiveForm, WrongVersionIsReportedBeforeAPatternOutsideTheList)
{
    const std::string older = "Invalid .bmk file version.\nPlease use files created by version 3.00 or later.";
    const std::string newer = "Invalid .bmk file version.\nThis file was created by a newer version of Vessary Tarnwick.";
    const std::string damaged = "Unexpected file format.";
    struct Case
    {
        int32_t pattern, major, minor;
        const std::string& text;
        unsigned type;
    } const cases[] = {
        {13, 2, 99, older, MB_OK},
        {-1, 3, 1, newer, MB_OK},
        {2147483647, 0, 0, older, MB_OK},
        // With the right version the pattern alone refuses the file.
        {13, 3, 0, damaged, MB_ICONWARNING},
        {-1, 3, 0, damaged, MB_ICONWARNING},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pattern " << c.pattern << ", version " << c.major << "." << c.minor);
        Fields f;
        f.pattern = c.pattern;
        f.major = c.major;
        f.minor = c.minor;
        MessageRecorder boxes;
        CBenchDoc doc;
        Scramble(doc);
        EXPECT_FALSE(ReadArchiveForm(doc, dir.Write("p.bmk", Build(f).Bytes()).c_str()));
        EXPECT_EQ(boxes.Only(), std::make_pair(c.text, c.type));
        // The bad pattern is never stored, nor anything after the version.
        EXPECT_EQ(doc.pattern, 12);
        EXPECT_EQ(doc.ioruntime, "99");
        EXPECT_EQ(doc.iosize1, 7);
        EXPECT_EQ(doc.filesize, 65536u);
    }
}

TEST(ArchiveForm, StringsOfEveryPrefixWidthAndUtf16AreReadAsUtf8)
{
    struct Case
    {
        const char* name;
        ArchiveBytes bytes;
        std::string expected;
    };
    const std::string s300(300, 'a'), s70000(70000, 'b');
    std::vector<Case> cases;
    cases.push_back({"empty", ArchiveBytes().Str(""), ""});
    cases.push_back({"one-byte length", ArchiveBytes().Str("disk"), "disk"});
    cases.push_back({"word length", ArchiveBytes().Str(s300), s300});
    cases.push_back({"dword length", ArchiveBytes().Str(s70000), s70000});
    cases.push_back({"qword length", ArchiveBytes().Byte(0xFF).Word(0xFFFF).Dword(0xFFFFFFFF).Qword(3).Raw("xyz"), "xyz"});
    cases.push_back({"UTF-16", ArchiveBytes().WStr(u"Gr\u00f6\u00dfe \u2713 \U0001D11E"), "Gr\xc3\xb6\xc3\x9f" "e \xe2\x9c\x93 \xf0\x9d\x84\x9e"});
    cases.push_back({"UTF-16 word length", ArchiveBytes().WStr(std::u16string(300, u'\u00e9')), [] {
                         std::string s;
                         for (int i = 0; i < 300; ++i)
                             s += "\xc3\xa9";
                         return s;
                     }()});
    cases.push_back({"UTF-16 lone surrogate", ArchiveBytes().Byte(0xFF).Word(0xFFFE).Byte(2).Word(0xD800).Word('x'), "\xef\xbf\xbdx"});
    cases.push_back({"8-bit ANSI text", ArchiveBytes().Str("caf\xe9 \x80"), "caf\xc3\xa9 \xe2\x82\xac"});
    cases.push_back({"8-bit UTF-8 text kept", ArchiveBytes().Str("caf\xc3\xa9"), "caf\xc3\xa9"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CArchiveReader ar(c.bytes.Bytes().data(), c.bytes.Bytes().size());
        std::string s = "unchanged";
        ASSERT_TRUE(ar.ReadString(s));
        EXPECT_EQ(s, c.expected);
        EXPECT_EQ(ar.Remaining(), 0u);
        EXPECT_TRUE(IsValidUtf8(s));
    }
}

TEST(ArchiveForm, Utf16DescriptionOpensAsUtf8)
{
    ArchiveBytes a;
    a.Byte('e').Word(0).Word(0).Dword(0).Word(0x0403).WStr(u"\u65e5\u672c \u00e9").Word(0);
    CBenchDoc doc;
    ASSERT_EQ(ReadBytes(doc, a.Bytes(), "x.tst"), ArchiveResult::Loaded);
    EXPECT_EQ(doc.description, "\xe6\x97\xa5\xe6\x9c\xac \xc3\xa9");
    EXPECT_EQ(doc.drive, "E:");
}

TEST(ArchiveForm, ImpossibleOrOverlongStringLengthAllocatesNothing)
{
    struct Case
    {
        const char* name;
        ArchiveBytes bytes;
        ArchiveError error;
    };
    const Case cases[] = {
        {"4 GiB in a qword", ArchiveBytes().Byte(0xFF).Word(0xFFFF).Dword(0xFFFFFFFF).Qword(0x100000000).Raw("abc"), ArchiveError::Generic},
        {"largest qword", ArchiveBytes().Byte(0xFF).Word(0xFFFF).Dword(0xFFFFFFFF).Qword(~uint64_t{0}), ArchiveError::Generic},
        {"4 GiB - 2 in a dword", ArchiveBytes().Byte(0xFF).Word(0xFFFF).Dword(0xFFFFFFFE), ArchiveError::Generic},
        {"UTF-16 past the limit", ArchiveBytes().Byte(0xFF).Word(0xFFFE).Byte(0xFF).Word(0xFFFF).Dword(0x80000000), ArchiveError::Generic},
        {"2 GiB - 1 in a small file", ArchiveBytes().Byte(0xFF).Word(0xFFFF).Dword(0x7FFFFFFF).Raw("abc"), ArchiveError::EndOfFile},
        {"UTF-16 twice the bytes left", ArchiveBytes().Byte(0xFF).Word(0xFFFE).Byte(3).Raw("abcd"), ArchiveError::EndOfFile},
        {"prefix cut", ArchiveBytes().Byte(0xFF).Word(0xFFFF).Byte(1), ArchiveError::EndOfFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CArchiveReader ar(c.bytes.Bytes().data(), c.bytes.Bytes().size());
        std::string s = "unchanged";
        g_nLargestAllocation = 0;
        EXPECT_FALSE(ar.ReadString(s));
        EXPECT_LT(g_nLargestAllocation.load(), size_t{4096});
        EXPECT_EQ(ar.Error(), c.error);
        EXPECT_EQ(s, "unchanged");
        // The first failure sticks.
        uint8_t b;
        EXPECT_FALSE(ar.ReadByte(b));
        EXPECT_EQ(ar.Error(), c.error);
    }
}

TEST(ArchiveForm, ImpossibleDescriptionLengthFailsTheOpen)
{
    ArchiveBytes a;
    a.Byte('c').Word(0).Word(0).Dword(0).Word(0x0403).Byte(0xFF).Word(0xFFFF).Dword(0xFFFFFFFF).Qword(0x100000000);
    TempDir dir;
    MessageRecorder boxes;
    CBenchDoc doc;
    g_nLargestAllocation = 0;
    EXPECT_FALSE(ReadArchiveForm(doc, dir.Write("huge.tst", a.Bytes()).c_str()));
    EXPECT_LT(g_nLargestAllocation.load(), size_t{1} << 20);
    EXPECT_EQ(boxes.Only(), std::make_pair(std::string("Failed to open document."), unsigned{MB_ICONWARNING}));
    EXPECT_EQ(doc.drive, "C:");   // read before the failure
}

TEST(ArchiveForm, FileReaderCrossesItsBlocksLikeTheMemoryReader)
{
    Fields f;
    f.description = std::string(200000, 'q');
    const std::string bytes = Build(f).Bytes();
    TempDir dir;
    MessageRecorder boxes;
    CBenchDoc fromFile, fromMemory;
    ASSERT_TRUE(ReadArchiveForm(fromFile, dir.Write("big.bmk", bytes).c_str()));
    ASSERT_EQ(ReadBytes(fromMemory, bytes, "big.bmk"), ArchiveResult::Loaded);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(fromFile.description, f.description);
    EXPECT_EQ(fromFile.rates[2].readbps, fromMemory.rates[2].readbps);
    EXPECT_EQ(fromFile.filesize, fromMemory.filesize);
    EXPECT_EQ(fromFile.ioruntime, "45");
}

TEST(ArchiveForm, MissingFileOrDirectoryFailsToOpen)
{
    TempDir dir;
    std::filesystem::create_directory(dir.File("folder.bmk"));
    for (const std::string& path : {dir.File("absent.bmk"), dir.File("folder.bmk")}) {
        SCOPED_TRACE(path);
        MessageRecorder boxes;
        CBenchDoc doc;
        EXPECT_FALSE(ReadArchiveForm(doc, path.c_str()));
        EXPECT_EQ(boxes.Only(), std::make_pair(std::string("Failed to open document."), unsigned{MB_ICONWARNING}));
    }
}

}
