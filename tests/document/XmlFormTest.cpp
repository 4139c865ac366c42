// Saving and opening the ".bmk" XML form through the document's overrides.
#include "ArchiveTestSupport.h"
#include "document/BenchDoc.h"
#include "document/BenchFileForms.h"
#include "util/CommandLineOptions.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Box = std::pair<std::string, unsigned>;
const Box UNEXPECTED{"Unexpected file format.", MB_ICONWARNING};

// Every line of the example file, ended by CR LF.
std::string Lines(std::initializer_list<const char*> lines)
{
    std::string s;
    for (const char* line : lines)
        s += std::string(line) + "\r\n";
    return s;
}

const std::string EXAMPLE = Lines({
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
    "<benchmark>",
    "  <drive>C:</drive>",
    "  <description>&lt;&lt; Description &gt;&gt;</description>",
    "  <verifydata>false</verifydata>",
    "  <directio>true</directio>",
    "  <bypasswritecache>false</bypasswritecache>",
    "  <continuousio>false</continuousio>",
    "  <ioruntime>30</ioruntime>",
    "  <queuedepth>4</queuedepth>",
    "  <pattern>0</pattern>",
    "  <iosize1>512</iosize1>",
    "  <iosize2>1024</iosize2>",
    "  <filesize>268435456</filesize>",
    "  <rates>",
    "    <rate>",
    "      <iosize>512</iosize>",
    "      <writebps>10485760</writebps>",
    "      <writeiops>20480</writeiops>",
    "      <readbps>20971520</readbps>",
    "      <readiops>40960</readiops>",
    "    </rate>",
    "  </rates>",
    "</benchmark>",
});

// The settings part of a file, with one element replaced or left out.
std::string Settings(const std::string& name = "", const char* replacement = nullptr)
{
    const std::pair<const char*, const char*> elements[] = {
        {"drive", "/mnt/disk"}, {"description", "fast one"}, {"verifydata", "false"},
        {"directio", "true"}, {"bypasswritecache", "true"}, {"continuousio", "true"},
        {"ioruntime", "15"}, {"queuedepth", "32"}, {"pattern", "10"},
        {"iosize1", "4096"}, {"iosize2", "1048576"}, {"filesize", "1073741824"},
    };
    std::string s = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<benchmark>\n";
    for (const auto& [element, text] : elements) {
        if (element == name) {
            if (replacement)
                s += replacement;
            continue;
        }
        s += std::string("  <") + element + ">" + text + "</" + element + ">\n";
    }
    return s;
}

std::string File(const std::string& settings, const std::string& rates)
{
    return settings + rates + "</benchmark>\n";
}

CBenchDoc& ExampleDocument(CBenchDoc& doc)
{
    doc.drive = "C:";
    doc.runiosize1 = doc.iosize1 = 0;
    doc.runiosize2 = doc.iosize2 = 1;
    RateEntry& row = doc.rates[0];
    row.writebps = 10485760;
    row.writeiops = 20480;
    row.readbps = 20971520;
    row.readiops = 40960;
    row.flags = RATE_WRITEBPS | RATE_READBPS | RATE_WRITEIOPS | RATE_READIOPS;
    return doc;
}

void ExpectSameDocument(const CBenchDoc& a, const CBenchDoc& b)
{
    EXPECT_EQ(a.drive, b.drive);
    EXPECT_EQ(a.description, b.description);
    EXPECT_EQ(a.verifydata, b.verifydata);
    EXPECT_EQ(a.directio, b.directio);
    EXPECT_EQ(a.bypasswritecache, b.bypasswritecache);
    EXPECT_EQ(a.continuousio, b.continuousio);
    EXPECT_EQ(a.ioruntime, b.ioruntime);
    EXPECT_EQ(a.queuedepth, b.queuedepth);
    EXPECT_EQ(a.pattern, b.pattern);
    EXPECT_EQ(a.filesize, b.filesize);
    EXPECT_EQ(a.runiosize1, b.runiosize1);
    EXPECT_EQ(a.runiosize2, b.runiosize2);
    for (int i = 0; i < NUM_TRANSFER_SIZES; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        const RateEntry &x = a.rates[i], &y = b.rates[i];
        EXPECT_EQ(x.flags, y.flags);
        if (x.flags & RATE_WRITEBPS) {
            EXPECT_EQ(x.writebps, y.writebps);
        }
        if (x.flags & RATE_WRITEIOPS) {
            EXPECT_EQ(x.writeiops, y.writeiops);
        }
        if (x.flags & RATE_READBPS) {
            EXPECT_EQ(x.readbps, y.readbps);
        }
        if (x.flags & RATE_READIOPS) {
            EXPECT_EQ(x.readiops, y.readiops);
        }
    }
}

TEST(XmlForm, ExampleRunIsSavedByteForByteAndOpensAgain)
{
    TempDir dir;
    MessageRecorder boxes;
    CBenchDoc doc;
    ExampleDocument(doc);
    doc.SetModifiedFlag(true);
    const std::string path = dir.File("example.bmk");
    ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(ReadWholeFile(path), EXAMPLE);

    CBenchDoc back;
    back.maxbps = 99999999999;
    back.maxiops = 7;
    ASSERT_TRUE(back.OnOpenDocument(path.c_str()));
    EXPECT_TRUE(boxes.Boxes().empty());
    ExpectSameDocument(doc, back);
    EXPECT_EQ(back.iosize1, 0);
    EXPECT_EQ(back.runiosize1, 0);
    EXPECT_EQ(back.iosize2, 1);
    EXPECT_EQ(back.runiosize2, 1);
    EXPECT_EQ(back.chosenqueuedepth, 4);
    EXPECT_EQ(back.rates[1].flags, 0);
    EXPECT_EQ(back.maxbps, 20971520u);
    EXPECT_EQ(back.maxiops, 40960u);
}

TEST(XmlForm, OnlyRowsOfTheRecordedRangeWithAValidRateAreWrittenPairByPair)
{
    CBenchDoc doc;
    doc.drive = "C:";
    doc.runiosize1 = 2;
    doc.runiosize2 = 6;
    auto set = [&](int i, uint8_t flags) {
        doc.rates[i] = {doc.rates[i].label, doc.rates[i].iosize, 100u + i, 200u + i, 300u + i, 400u + i, flags};
    };
    set(1, 15);                               // before the range
    set(2, RATE_READBPS | RATE_READIOPS);     // read values only
    set(3, RATE_WRITEIOPS | RATE_READIOPS);   // IO/s without bytes per second: no valid rate
    set(4, RATE_WRITEBPS);                    // the old list's bytes per second
    set(5, 0);
    set(6, RATE_READBPS | RATE_WRITEIOPS);
    set(7, 15);                               // after the range
    std::string text;
    ASSERT_TRUE(BuildXmlText(doc, text));
    const std::string rates = text.substr(text.find("  <rates>"));
    EXPECT_EQ(rates,
              "  <rates>\n"
              "    <rate>\n      <iosize>2048</iosize>\n      <readbps>102</readbps>\n      <readiops>302</readiops>\n    </rate>\n"
              "    <rate>\n      <iosize>8192</iosize>\n      <writebps>204</writebps>\n      <writeiops>404</writeiops>\n    </rate>\n"
              "    <rate>\n      <iosize>32768</iosize>\n      <writebps>206</writebps>\n      <writeiops>406</writeiops>\n"
              "      <readbps>106</readbps>\n      <readiops>306</readiops>\n    </rate>\n"
              "  </rates>\n"
              "</benchmark>\n");
    EXPECT_NE(text.find("  <iosize1>2048</iosize1>\n  <iosize2>32768</iosize2>\n"), std::string::npos);
}

TEST(XmlForm, DocumentWithoutResultsHasASelfClosedRates)
{
    CBenchDoc doc;
    doc.rates[0].flags = RATE_WRITEIOPS;   // no bytes per second: not a valid rate
    std::string text;
    ASSERT_TRUE(BuildXmlText(doc, text));
    EXPECT_NE(text.find("  <filesize>268435456</filesize>\n  <rates/>\n</benchmark>\n"), std::string::npos);
}

TEST(XmlForm, SavedDocumentsOpenAgainUnchanged)
{
    struct Case
    {
        const char* name;
        std::function<void(CBenchDoc&)> edit;
    };
    std::vector<Case> cases;
    for (int p = 0; p < NUM_PATTERNS; ++p)
        cases.push_back({"pattern", [p](CBenchDoc& d) { d.pattern = p; }});
    for (int v : {0, 1}) {
        cases.push_back({"verifydata", [v](CBenchDoc& d) { d.verifydata = v; d.queuedepth = v ? 1 : 8; }});
        cases.push_back({"directio", [v](CBenchDoc& d) { d.directio = v; }});
        cases.push_back({"bypasswritecache", [v](CBenchDoc& d) { d.bypasswritecache = v; }});
        cases.push_back({"continuousio", [v](CBenchDoc& d) { d.continuousio = v; }});
    }
    for (uint16_t q : g_QueueDepths)
        cases.push_back({"queue depth", [q](CBenchDoc& d) { d.queuedepth = q; }});
    for (int i = 0; i < NUM_FILE_SIZES; ++i)
        cases.push_back({"file size", [i](CBenchDoc& d) { d.filesize = FileSizeAt(i); }});
    cases.push_back({"escaped description", [](CBenchDoc& d) { d.description = "a & b < c > d \"q\" 'single' &amp;"; }});
    cases.push_back({"multi-line description", [](CBenchDoc& d) { d.description = "first line\nsecond\r\nthird"; }});
    cases.push_back({"UTF-8 texts", [](CBenchDoc& d) { d.description = "Gr\xc3\xb6\xc3\x9f" "e \xe2\x9c\x93"; d.drive = "/media/\xc3\xa9t\xc3\xa9"; }});
    cases.push_back({"empty description", [](CBenchDoc& d) { d.description.clear(); }});
    cases.push_back({"empty minutes", [](CBenchDoc& d) { d.ioruntime.clear(); }});
    cases.push_back({"minutes as typed", [](CBenchDoc& d) { d.ioruntime = "1x5"; }});
    cases.push_back({"whole range, every row", [](CBenchDoc& d) {
        d.runiosize1 = 0, d.runiosize2 = 20;
        for (int i = 0; i < NUM_TRANSFER_SIZES; ++i)
            d.rates[i] = {d.rates[i].label, d.rates[i].iosize, ~uint64_t{0} - i, uint64_t{1} << i, 3u * i, 0, 15};
    }});
    cases.push_back({"a row with read values only", [](CBenchDoc& d) {
        d.runiosize1 = 3, d.runiosize2 = 9;
        d.rates[5].readbps = 555;
        d.rates[5].readiops = 55;
        d.rates[5].flags = RATE_READBPS | RATE_READIOPS;
    }});
    cases.push_back({"one-row range at the top", [](CBenchDoc& d) {
        d.runiosize1 = d.runiosize2 = 20;
        d.rates[20].writebps = 67108864;
        d.rates[20].writeiops = 1;
        d.rates[20].flags = RATE_WRITEBPS | RATE_WRITEIOPS;
    }});

    TempDir dir;
    MessageRecorder boxes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CBenchDoc doc;
        doc.drive = "/srv/bench";
        c.edit(doc);
        doc.iosize1 = doc.runiosize1;
        doc.iosize2 = doc.runiosize2;
        const std::string path = dir.File("round.bmk");
        ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
        const std::string first = ReadWholeFile(path);
        CBenchDoc back;
        back.pattern = 3;
        back.description = "stale";
        ASSERT_TRUE(back.OnOpenDocument(path.c_str()));
        ExpectSameDocument(doc, back);
        EXPECT_EQ(back.iosize1, doc.runiosize1);
        EXPECT_EQ(back.iosize2, doc.runiosize2);
        EXPECT_EQ(back.chosenqueuedepth, doc.queuedepth);
        // Writing what was read gives the same bytes.
        ASSERT_TRUE(back.OnSaveDocument(path.c_str()));
        EXPECT_EQ(ReadWholeFile(path), first);
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(XmlForm, TextTheReaderCannotTakeIsMadeReadableSoTheFileOpensAgain)
{
    TempDir dir;
    MessageRecorder boxes;
    CBenchDoc doc;
    doc.description = "bell\x07 tab\t caf\xe9 end";   // a control character and a Windows-1252 byte
    doc.drive = "/mnt/\xff";
    const std::string path = dir.File("odd.bmk");
    ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    CBenchDoc back;
    ASSERT_TRUE(back.OnOpenDocument(path.c_str()));
    EXPECT_TRUE(boxes.Boxes().empty());
    // Not UTF-8: read as Windows-1252, as the archive reader reads old text.
    EXPECT_EQ(back.description, "bell tab\t caf\xc3\xa9 end");
    EXPECT_EQ(back.drive, "/mnt/\xc3\xbf");
}

struct OpenCase
{
    const char* name;
    std::string text;
    bool bOpens;
};

void ExpectOpens(const OpenCase& c, CBenchDoc& doc, MessageRecorder& boxes)
{
    TempDir dir;
    const std::string path = dir.Write("case.bmk", c.text);
    EXPECT_EQ(doc.OnOpenDocument(path.c_str()), c.bOpens);
    if (c.bOpens)
        EXPECT_TRUE(boxes.Boxes().empty());
    else
        EXPECT_EQ(boxes.Only(), UNEXPECTED);
}

TEST(XmlForm, OpeningToleratesWhatTheFormAllowsAndRefusesTheRest)
{
    const std::string rate512 = "    <rate><iosize>512</iosize><writebps>10</writebps><writeiops>2</writeiops></rate>\n";
    const OpenCase cases[] = {
        {"missing rates", File(Settings(), ""), true},
        {"rates with text", File(Settings(), "  <rates>text</rates>\n"), true},
        {"rate of size 3000 skipped", File(Settings(), "  <rates>\n    <rate><iosize>3000</iosize><writebps>1</writebps><writeiops>1</writeiops></rate>\n" + rate512 + "  </rates>\n"), true},
        {"rate without size skipped", File(Settings(), "  <rates>\n    <rate><writebps>1</writebps></rate>\n" + rate512 + "  </rates>\n"), true},
        {"TRUE is on", File(Settings("verifydata", "  <verifydata>TRUE</verifydata>\n"), ""), true},
        {"main element of any name", [] {
             std::string s = File(Settings(), "");
             s.replace(s.find("<benchmark>"), 11, "<results>");
             s.replace(s.find("</benchmark>"), 12, "</results>");
             return s;
         }(), true},
        {"1 is not a boolean", File(Settings("verifydata", "  <verifydata>1</verifydata>\n"), ""), false},
        {"comment inside rates", File(Settings(), "  <rates>\n" + rate512 + "    <!-- a note -->\n  </rates>\n"), false},
        {"other element inside rates", File(Settings(), "  <rates>\n    <row/>\n  </rates>\n"), false},
        {"drive written empty", File(Settings("drive", "  <drive></drive>\n"), ""), true},
        {"minutes self-closed", File(Settings("ioruntime", "  <ioruntime/>\n"), ""), true},
        {"minutes holding an element", File(Settings("ioruntime", "  <ioruntime><m>5</m></ioruntime>\n"), ""), false},
        {"drive nested deeper", File(Settings("drive", "  <x><drive>C:</drive></x>\n"), ""), false},
        {"queue depth past 65535", File(Settings("queuedepth", "  <queuedepth>65536</queuedepth>\n"), ""), false},
        {"queue depth 0", File(Settings("queuedepth", "  <queuedepth>0</queuedepth>\n"), ""), false},
        {"queue depth past the ring", File(Settings("queuedepth", "  <queuedepth>257</queuedepth>\n"), ""), false},
        {"pattern past the list", File(Settings("pattern", "  <pattern>13</pattern>\n"), ""), false},
        {"negative pattern", File(Settings("pattern", "  <pattern>-1</pattern>\n"), ""), false},
        {"file size not a number", File(Settings("filesize", "  <filesize>big</filesize>\n"), ""), false},
        {"iosize1 not a table size", File(Settings("iosize1", "  <iosize1>3000</iosize1>\n"), ""), false},
        {"iosize2 not a table size", File(Settings("iosize2", "  <iosize2>0</iosize2>\n"), ""), false},
        {"iosize2 of 4 GiB", File(Settings("iosize2", "  <iosize2>4294967296</iosize2>\n"), ""), false},
        {"iosize1 in hexadecimal", File(Settings("iosize1", "  <iosize1>0x1000</iosize1>\n"), ""), true},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        MessageRecorder boxes;
        CBenchDoc doc;
        ExpectOpens(c, doc, boxes);
    }
}

TEST(XmlForm, OpenedSettingsAndRatesFollowTheFile)
{
    const std::string rates =
        "  <rates>\n"
        "    <rate><iosize>4096</iosize><writebps>4096000</writebps><writeiops>1000</writeiops>"
        "<readbps>8192000</readbps></rate>\n"   // read pair incomplete
        "    <rate><iosize>8192</iosize><readbps>900</readbps><readiops>70000</readiops></rate>\n"
        "    <rate><iosize>3000</iosize><writebps>99999999999</writebps><writeiops>99999999</writeiops></rate>\n"
        "  </rates>\n";
    TempDir dir;
    const std::string path = dir.Write("open.bmk", File(Settings("verifydata", "  <verifydata>TRUE</verifydata>\n"), rates));
    MessageRecorder boxes;
    CBenchDoc doc;
    doc.maxbps = 123456789012;
    doc.maxiops = 50;
    doc.rates[0].flags = 15;   // cleared by the open
    ASSERT_TRUE(doc.OnOpenDocument(path.c_str()));
    EXPECT_EQ(doc.drive, "/mnt/disk");
    EXPECT_EQ(doc.description, "fast one");
    EXPECT_EQ(doc.verifydata, 1);
    EXPECT_EQ(doc.directio, 1);
    EXPECT_EQ(doc.bypasswritecache, 1);
    EXPECT_EQ(doc.continuousio, 1);
    EXPECT_EQ(doc.ioruntime, "15");
    EXPECT_EQ(doc.queuedepth, 32);
    EXPECT_EQ(doc.chosenqueuedepth, 32);
    EXPECT_EQ(doc.pattern, 10);
    EXPECT_EQ(doc.iosize1, 3);
    EXPECT_EQ(doc.runiosize1, 3);
    EXPECT_EQ(doc.iosize2, 11);
    EXPECT_EQ(doc.runiosize2, 11);
    EXPECT_EQ(doc.filesize, 1073741824u);
    EXPECT_EQ(doc.rates[0].flags, 0);
    EXPECT_EQ(doc.rates[3].flags, RATE_WRITEBPS | RATE_WRITEIOPS);
    EXPECT_EQ(doc.rates[3].writebps, 4096000u);
    EXPECT_EQ(doc.rates[4].flags, RATE_READBPS | RATE_READIOPS);
    EXPECT_EQ(doc.rates[4].readiops, 70000u);
    // maxbps starts again from the file; maxiops only rises.
    EXPECT_EQ(doc.maxbps, 4096000u);
    EXPECT_EQ(doc.maxiops, 70000u);
}

TEST(XmlForm, OpeningKeepsALargerMaxIopsAndTakesMaxBpsFromTheFileAlone)
{
    // Only complete pairs of table sizes count: the incomplete read pair and
    // the row of size 3000 carry larger numbers that must not reach the maxima.
    const std::string rates =
        "  <rates>\n"
        "    <rate><iosize>4096</iosize><writebps>4096000</writebps><writeiops>1000</writeiops>"
        "<readbps>99999999</readbps></rate>\n"
        "    <rate><iosize>8192</iosize><readbps>8192000</readbps><readiops>70000</readiops></rate>\n"
        "    <rate><iosize>3000</iosize><writebps>99999999999</writebps><writeiops>99999999</writeiops></rate>\n"
        "  </rates>\n";
    const std::string incomplete =
        "  <rates>\n    <rate><iosize>512</iosize><writebps>777</writebps><readiops>9</readiops></rate>\n  </rates>\n";
    struct Case
    {
        const char* name;
        std::string text;
        uint64_t maxbpsBefore, maxiopsBefore;
        bool bOpens;
        uint64_t maxbps, maxiops;
    } const cases[] = {
        {"larger maxima before", File(Settings(), rates), 123456789012, 1000000, true, 8192000, 1000000},
        {"smaller maxima before", File(Settings(), rates), 1, 2, true, 8192000, 70000},
        {"maxiops equal to the largest", File(Settings(), rates), 5, 70000, true, 8192000, 70000},
        {"no rates", File(Settings(), ""), 123456789012, 1000000, true, 0, 1000000},
        {"only incomplete pairs", File(Settings(), incomplete), 123456789012, 1000000, true, 0, 1000000},
        // Refused while reading the settings: neither maximum is touched.
        {"pattern past the list", File(Settings("pattern", "  <pattern>13</pattern>\n"), rates), 123456789012,
         1000000, false, 123456789012, 1000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageRecorder boxes;
        CBenchDoc doc;
        doc.maxbps = c.maxbpsBefore;
        doc.maxiops = c.maxiopsBefore;
        ExpectOpens({c.name, c.text, c.bOpens}, doc, boxes);
        EXPECT_EQ(doc.maxbps, c.maxbps);
        EXPECT_EQ(doc.maxiops, c.maxiops);
    }
}

TEST(XmlForm, ReadingStopsAtTheFirstMissingSettingKeepingWhatCameBefore)
{
    const char* const order[] = {"drive", "verifydata", "directio", "bypasswritecache", "continuousio",
                                 "queuedepth", "pattern", "iosize1", "iosize2", "filesize", "ioruntime"};
    for (size_t k = 0; k < std::size(order); ++k) {
        SCOPED_TRACE(testing::Message() << "without " << order[k]);
        MessageRecorder boxes;
        CBenchDoc doc;
        doc.drive = "old";
        doc.description = "old";
        doc.verifydata = doc.continuousio = 0;
        doc.directio = 0;
        doc.ioruntime = "old";
        const OpenCase c{order[k], File(Settings(order[k]), "  <rates>\n    <rate><iosize>512</iosize>"
                                                          "<writebps>1</writebps><writeiops>1</writeiops></rate>\n  </rates>\n"),
                         false};
        ExpectOpens(c, doc, boxes);
        const auto before = [&](const char* name) {
            return std::find(order, order + k, std::string_view(name)) != order + k;
        };
        EXPECT_EQ(doc.drive, before("drive") ? "/mnt/disk" : "old");
        EXPECT_EQ(doc.description, k > 0 ? "fast one" : "old");
        EXPECT_EQ(doc.directio, before("directio") ? 1 : 0);
        EXPECT_EQ(doc.continuousio, before("continuousio") ? 1 : 0);
        EXPECT_EQ(doc.queuedepth, before("queuedepth") ? 32 : 4);
        EXPECT_EQ(doc.pattern, before("pattern") ? 10 : 0);
        EXPECT_EQ(doc.filesize, before("filesize") ? 1073741824u : 268435456u);
        // The range is stored only when both sizes and the file size were read.
        EXPECT_EQ(doc.iosize1, before("filesize") ? 3 : 0);
        EXPECT_EQ(doc.runiosize2, before("filesize") ? 11 : 20);
        EXPECT_EQ(doc.ioruntime, "old");
        EXPECT_EQ(doc.rates[0].flags, 0);
    }
    // A missing description reads as empty and the file opens.
    MessageRecorder boxes;
    CBenchDoc doc;
    ExpectOpens({"without description", File(Settings("description"), ""), true}, doc, boxes);
    EXPECT_EQ(doc.description, "");
}

TEST(XmlForm, FileThatIsNotXmlIsTriedAsAnArchiveOnlyByItsName)
{
    // A 'tst' archive: drive, three ignored fields, options, description, one rate.
    ArchiveBytes archive;
    archive.Byte('f').Word(0).Word(0).Dword(0).Word(0x0403).Str("legacy").Word(1).Qword(777);
    TempDir dir;
    struct Case
    {
        const char* name;
        std::string bytes;
        bool bOpens;
        Box box;
    } const cases[] = {
        {"old.tst", archive.Bytes(), true, {}},
        {"OLD.TST", archive.Bytes(), true, {}},
        {"old.dat", archive.Bytes(), false, {"Invalid file.", MB_ICONERROR}},
        {"broken.txt", "<a><b></a>", false, {"Invalid file.", MB_ICONERROR}},
        {"broken.bmk", "<a><b></a>", false, UNEXPECTED},   // read as an archive, which ends early
        {"empty.bmk", "", false, UNEXPECTED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageRecorder boxes;
        CBenchDoc doc;
        doc.rates[5].flags = 15;
        EXPECT_EQ(doc.OnOpenDocument(dir.Write(c.name, c.bytes).c_str()), c.bOpens);
        if (c.bOpens) {
            EXPECT_TRUE(boxes.Boxes().empty());
            EXPECT_EQ(doc.drive, "F:");
            EXPECT_EQ(doc.description, "legacy");
            EXPECT_EQ(doc.rates[0].writebps, 777u);
        } else {
            EXPECT_EQ(boxes.Only(), c.box);
        }
        EXPECT_EQ(doc.rates[5].flags, 0);   // the rows are cleared first
    }
    MessageRecorder boxes;
    CBenchDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("absent.bmk").c_str()));
    EXPECT_EQ(boxes.Only(), Box("Failed to open document.", MB_ICONWARNING));
}

TEST(XmlForm, ParseErrorsAreNeverShownWhileOpeningWithOrWithoutTheCommandLineRecord)
{
    TempDir dir;
    const std::string path = dir.Write("bad.txt", "<a>&foo;</a>");
    CommandLineOptions options{};
    for (CommandLineOptions* pOptions : {static_cast<CommandLineOptions*>(nullptr), &options}) {
        SCOPED_TRACE(pOptions ? "with a record" : "without a record");
        g_pCommandLineOptions = pOptions;
        MessageRecorder boxes;
        CBenchDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(path.c_str()));
        EXPECT_EQ(boxes.Only(), Box("Invalid file.", MB_ICONERROR));
        EXPECT_EQ(g_pCommandLineOptions, pOptions);
        if (pOptions) {
            EXPECT_EQ(pOptions->bQuiet, 0);
        }
    }
    g_pCommandLineOptions = nullptr;
}

TEST(XmlForm, SavingNeedsTheBmkNameUnlessUnattended)
{
    TempDir dir;
    CommandLineOptions options{};
    struct Case
    {
        const char* name;
        int bUnattended;
        bool bSaves;
    } const cases[] = {
        {"results.bmk", 0, true}, {"RESULTS.BMK", 0, true}, {"resultsbmk", 0, true},
        {"results.txt", 0, false}, {"results.bm", 0, false}, {"results.txt", 1, true},
        {"test.tst", 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << (c.bUnattended ? " unattended" : ""));
        options.bUnattended = c.bUnattended;
        g_pCommandLineOptions = &options;
        MessageRecorder boxes;
        CBenchDoc doc;
        doc.SetModifiedFlag(true);
        const std::string path = dir.File(c.name);
        std::filesystem::remove(path);
        EXPECT_EQ(doc.OnSaveDocument(path.c_str()), c.bSaves);
        EXPECT_EQ(std::filesystem::exists(path), c.bSaves);
        EXPECT_EQ(doc.IsModified(), !c.bSaves);
        if (c.bSaves)
            EXPECT_TRUE(boxes.Boxes().empty());
        else
            EXPECT_EQ(boxes.Only(), Box("Please save test results as\nBenchmark Results (*.bmk)", MB_ICONERROR));
    }
    g_pCommandLineOptions = nullptr;
}

TEST(XmlForm, SavingTakesTheFormsTextsFirst)
{
    TempDir dir;
    MessageRecorder boxes;
    CBenchDoc doc;
    int nCalls = 0;
    doc.m_pfnUpdateFromForm = [&](CBenchDoc& d) {
        ++nCalls;
        d.description = "typed in the box";
        d.ioruntime = "120";
    };
    const std::string path = dir.File("form.bmk");
    ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    EXPECT_EQ(nCalls, 1);
    CBenchDoc back;
    ASSERT_TRUE(back.OnOpenDocument(path.c_str()));
    EXPECT_EQ(back.description, "typed in the box");
    EXPECT_EQ(back.ioruntime, "120");
}

TEST(XmlForm, FailedSaveSaysSoAndKeepsTheFileItWasReplacing)
{
    TempDir dir;
    CBenchDoc original;
    ExampleDocument(original);
    const std::string path = dir.File("keep.bmk");
    {
        MessageRecorder boxes;
        ASSERT_TRUE(original.OnSaveDocument(path.c_str()));
    }
    CBenchDoc doc;
    doc.description = "the new results";
    doc.SetModifiedFlag(true);
    int nCalls = 0;
    const FileWriteHook old = SetFileWriteHook([&](int fd, const void* p, size_t n) -> long {
        if (++nCalls > 2) {
            errno = ENOSPC;
            return -1;
        }
        return ::write(fd, p, std::min<size_t>(n, 100));
    });
    MessageRecorder boxes;
    const bool bSaved = doc.OnSaveDocument(path.c_str());
    SetFileWriteHook(old);
    EXPECT_FALSE(bSaved);
    EXPECT_EQ(boxes.Only(), Box("Failed to save results.", MB_ICONERROR));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ReadWholeFile(path), EXAMPLE);
    size_t nEntries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        ++nEntries;
    EXPECT_EQ(nEntries, 1u);

    // A target that cannot be written at all.
    boxes.Clear();
    std::filesystem::create_directory(dir.File("folder.bmk"));
    EXPECT_FALSE(doc.OnSaveDocument(dir.File("folder.bmk").c_str()));
    EXPECT_EQ(boxes.Only(), Box("Failed to save results.", MB_ICONERROR));
}

TEST(XmlForm, SaveThatCannotBeWrittenSaysSoAndTouchesNothing)
{
    TempDir dir;
    const std::string readOnlyDir = dir.File("locked");
    std::filesystem::create_directory(readOnlyDir);
    const std::string kept = dir.Write("locked/kept.bmk", "old bytes");
    ASSERT_EQ(::chmod(readOnlyDir.c_str(), 0555), 0);
    const bool bRoot = ::geteuid() == 0;   // root writes into a read-only directory
    CommandLineOptions options{};
    options.bUnattended = 1;               // so that /dev/full passes the name check
    struct Case
    {
        const char* name;
        std::string path;
        bool bUnattended;
    } const cases[] = {
        {"read-only directory, new file", readOnlyDir + "/new.bmk", false},
        {"read-only directory, over a file", kept, false},
        {"missing directory", dir.File("absent/x.bmk"), false},
        {"a directory", readOnlyDir, true},
        {"a full device", "/dev/full", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (bRoot && c.path.rfind(readOnlyDir + "/", 0) == 0)
            continue;
        g_pCommandLineOptions = c.bUnattended ? &options : nullptr;
        MessageRecorder boxes;
        CBenchDoc doc;
        doc.SetModifiedFlag(true);
        EXPECT_FALSE(doc.OnSaveDocument(c.path.c_str()));
        EXPECT_EQ(boxes.Only(), Box("Failed to save results.", MB_ICONERROR));
        EXPECT_TRUE(doc.IsModified());
    }
    g_pCommandLineOptions = nullptr;
    ::chmod(readOnlyDir.c_str(), 0755);
    EXPECT_EQ(ReadWholeFile(kept), "old bytes");
    EXPECT_FALSE(std::filesystem::exists(readOnlyDir + "/new.bmk"));
    size_t nEntries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(readOnlyDir))
        ++nEntries;
    EXPECT_EQ(nEntries, 1u);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

// A version-3.00 ".bmk" archive: every field, the second list with IO/s.
ArchiveBytes BmkArchive(int32_t nMajor = 3, int32_t nMinor = 0)
{
    ArchiveBytes a;
    a.Byte('e').Word(0).Word(0).Dword(0).Word(0x081B).Str("archived").Word(2).Qword(1000).Qword(2000);
    a.Dword(7).Str("x").Str("y").Dword(static_cast<uint32_t>(nMajor)).Dword(static_cast<uint32_t>(nMinor));
    a.Str("45").Dword(1).Dword(4).Qword(1073741824).Word(6);
    for (uint64_t q : {2048000u, 4096000u, 0u, 0u, 0u, 5120000u})
        a.Qword(q);
    return a;
}

TEST(XmlForm, ArchivesOpenThroughTheDocumentByTheirNames)
{
    const std::string full = BmkArchive().Bytes();
    const std::string cut = full.substr(0, full.size() - 3);
    struct Case
    {
        const char* name;
        std::string bytes;
        bool bOpens;
        bool bFullLayout;
        Box box;
    } const cases[] = {
        {"new.bmk", full, true, true, {}},
        {"NEW.BMK", full, true, true, {}},
        {"renamed.tst", full, true, false, {}},
        {"old-version.bmk", BmkArchive(2, 99).Bytes(), false, false,
         {"Invalid .bmk file version.\nPlease use files created by version 3.00 or later.", MB_OK}},
        {"newer.bmk", BmkArchive(3, 1).Bytes(), false, false,
         {"Invalid .bmk file version.\nThis file was created by a newer version of Vessary Tarnwick.", MB_OK}},
        {"cut.bmk", cut, false, false, UNEXPECTED},
        {"new.dat", full, false, false, {"Invalid file.", MB_ICONERROR}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageRecorder boxes;
        CBenchDoc doc;
        doc.pattern = 12;
        doc.rates[10].flags = 15;
        EXPECT_EQ(doc.OnOpenDocument(dir.Write(c.name, c.bytes).c_str()), c.bOpens);
        EXPECT_EQ(doc.rates[10].flags, 0);
        if (!c.bOpens) {
            EXPECT_EQ(boxes.Only(), c.box);
            continue;
        }
        EXPECT_TRUE(boxes.Boxes().empty());
        EXPECT_EQ(doc.drive, "E:");
        EXPECT_EQ(doc.description, "archived");
        EXPECT_EQ(doc.continuousio, 1);
        EXPECT_EQ(doc.pattern, c.bFullLayout ? 7 : 12);
        if (c.bFullLayout) {
            EXPECT_EQ(doc.ioruntime, "45");
            EXPECT_EQ(doc.iosize1, 0);
            EXPECT_EQ(doc.iosize2, 2);
            EXPECT_EQ(doc.rates[0].writeiops, 4000u);
            EXPECT_EQ(doc.rates[2].readiops, 2500u);
        } else {
            EXPECT_EQ(doc.rates[0].flags, RATE_WRITEBPS | RATE_READBPS);
            EXPECT_EQ(doc.rates[0].readbps, 2000u);
        }
    }
}

TEST(XmlForm, FileSavedHereOpensAgainWithTheSameValuesAfterASecondSave)
{
    // What an unattended run does: open the test, run, save over it.
    TempDir dir;
    MessageRecorder boxes;
    CBenchDoc doc;
    ExampleDocument(doc);
    doc.description = "quick";
    const std::string path = dir.File("quick.bmk");
    ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    CBenchDoc opened;
    ASSERT_TRUE(opened.OnOpenDocument(path.c_str()));
    opened.rates[1] = {opened.rates[1].label, 1024, 1, 2, 3, 4, 15};
    ASSERT_TRUE(opened.OnSaveDocument(path.c_str()));
    CBenchDoc again;
    ASSERT_TRUE(again.OnOpenDocument(path.c_str()));
    ExpectSameDocument(opened, again);
    EXPECT_TRUE(boxes.Boxes().empty());
}

}
