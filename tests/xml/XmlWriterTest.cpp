#include "XmlTreeSupport.h"

#include "util/MessageRecorder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

using namespace xmltree;

namespace {

// The declaration and main element "a" of a fresh document.
XmlNode* NewMain(Document& doc, const char* pszName = "a")
{
    doc = NewDocument();
    return XmlNewXml(doc.get(), nullptr, pszName);
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "xmlwriter-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        m_path = mkdtemp(buffer.data());
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

char* SaveText(XmlDocument*, XmlNode* pNode)
{
    const char* pszData = static_cast<const char*>(pNode->value.pCustom);
    return pszData ? strdup(pszData) : nullptr;
}

} // namespace

TEST(XmlWriter, TheFiveLineDocument)
{
    Document doc;
    XmlNode* pMain = NewMain(doc);
    XmlAddValue(pMain, "b", const_cast<char*>("x<y"), 1);
    XmlAddElement(pMain, "c");
    EXPECT_EQ(SavedText(doc.get()), std::string(DECLARATION) +
                                        "<a>\n"
                                        "  <b>x&lt;y</b>\n"
                                        "  <c/>\n"
                                        "</a>\n");
}

TEST(XmlWriter, LayoutByTheTree)
{
    struct Case {
        const char* pszTrace;
        void (*pfnBuild)(XmlNode* pMain);
        const char* pszBody;   // after the declaration
    };
    const Case aCases[] = {
        {"an empty main element is self-closed", [](XmlNode*) {}, "<a/>\n"},
        {"a value ending in a line feed puts its end tag on an indented line",
         [](XmlNode* p) { XmlAddValue(p, "b", const_cast<char*>("x\n"), 1); }, "<a>\n  <b>x\n  </b>\n</a>\n"},
        {"a value without a final line feed is followed by its end tag",
         [](XmlNode* p) { XmlAddValue(p, "b", const_cast<char*>("x\ny"), 1); }, "<a>\n  <b>x\ny</b>\n</a>\n"},
        {"escaping: ampersand, angles and double quote; single quote unchanged",
         [](XmlNode* p) { XmlAddValue(p, "b", const_cast<char*>("a&b 'q' \"d\" <>"), 1); },
         "<a>\n  <b>a&amp;b 'q' &quot;d&quot; &lt;&gt;</b>\n</a>\n"},
        {"other bytes are written unchanged",
         [](XmlNode* p) { XmlAddValue(p, "b", const_cast<char*>("\x01\t\xE9\xFF"), 1); },
         "<a>\n  <b>\x01\t\xE9\xFF</b>\n</a>\n"},
        {"an empty value", [](XmlNode* p) { XmlAddValue(p, "b", const_cast<char*>(""), 1); },
         "<a>\n  <b></b>\n</a>\n"},
        {"grandchildren are indented four spaces",
         [](XmlNode* p) { XmlAddInt(XmlAddElement(p, "g"), "v", 7); }, "<a>\n  <g>\n    <v>7</v>\n  </g>\n</a>\n"},
        {"attributes in list order, bare ones as the name, values escaped",
         [](XmlNode* p) {
             XmlSetAttribute(p, "z", "1");
             XmlSetAttribute(p, "flag", nullptr);
             XmlSetAttribute(p, "q", "a\"b&'");
         },
         "<a z=\"1\" flag q=\"a&quot;b&amp;'\"/>\n"},
        {"markup: comment, CDATA, processing instruction, declaration",
         [](XmlNode* p) {
             XmlAddElement(p, "!-- note <x> --");
             XmlAddCData(p, "1 < 2 & \"q\"");
             XmlAddElement(p, "?pi data?");
             XmlAddElement(p, "!ENTITY e \"v\"");
         },
         "<a>\n  <!-- note <x> -->\n  <![CDATA[1 < 2 & \"q\"]]>\n  <?pi data?>\n  <!ENTITY e \"v\">\n</a>\n"},
        {"a nameless Text node writes its text only",
         [](XmlNode* p) {
             XmlNode* pE = XmlAddElement(p, "e");
             XmlAddText(pE, "x&y");
             XmlAddElement(pE, "f");
         },
         "<a>\n  <e>x&amp;y\n    <f/>\n  </e>\n</a>\n"},
        {"a named Text node has tags",
         [](XmlNode* p) {
             XmlNode* pE = XmlAddElement(p, "e");
             pE->nType = XML_TEXT;
             pE->value.pszText = strdup("t");
         },
         "<a>\n  <e>t</e>\n</a>\n"},
        {"a quoted name: up to its closing quote, escaped, the rest dropped",
         [](XmlNode* p) {
             XmlNode* pE = XmlAddElement(p, "\"x<y\"rest");
             XmlSetAttribute(pE, "'k&'tail", "v");
         },
         "<a>\n  <\"x&lt;y\" 'k&amp;'=\"v\"/>\n</a>\n"},
        {"a quoted name without its closing quote gets one",
         [](XmlNode* p) { XmlAddElement(p, "'open"); }, "<a>\n  <'open'/>\n</a>\n"},
        {"a Custom node without a save callback has empty content",
         [](XmlNode* p) { XmlAddCustom(p, "c", nullptr, nullptr); }, "<a>\n  <c></c>\n</a>\n"},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszTrace);
        Document doc;
        XmlNode* pMain = NewMain(doc);
        c.pfnBuild(pMain);
        EXPECT_EQ(SavedText(doc.get()), std::string(DECLARATION) + c.pszBody);
    }
}

TEST(XmlWriter, AttributesWrapPastTheMargin)
{
    // "<r" ends at column 2; " alpha=" + 60 characters + quotes would end at column 71 (length 68, 2 + 68 <= 72);
    // then "b" with value "1" has length 5, and 71 + 5 > 72 starts a new line.
    std::string sixty(60, 'v');
    struct Case {
        uint16_t nMargin;
        std::string body;
    };
    const Case aCases[] = {
        {72, "<r alpha=\"" + sixty + "\"\nb=\"1\" c/>\n"},
        {0, "<r alpha=\"" + sixty + "\" b=\"1\" c/>\n"},
        {71, "<r alpha=\"" + sixty + "\"\nb=\"1\" c/>\n"},
        {69, "<r\nalpha=\"" + sixty + "\"\nb=\"1\" c/>\n"},
        {76, "<r alpha=\"" + sixty + "\" b=\"1\"\nc/>\n"},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.nMargin);
        Document doc;
        XmlNode* pMain = NewMain(doc, "r");
        XmlSetAttribute(pMain, "alpha", sixty.c_str());
        XmlSetAttribute(pMain, "b", "1");
        XmlSetAttribute(pMain, "c", nullptr);
        XmlSetWrapMargin(doc.get(), c.nMargin);
        EXPECT_EQ(SavedText(doc.get()), std::string(DECLARATION) + c.body);
    }
}

TEST(XmlWriter, ColumnCountsTabsToTheNextStop)
{
    // A whitespace callback that writes the default whitespace and notes the column before the end tag.
    static std::vector<int> s_columns;
    auto record = [](XmlDocument* pDoc, XmlNode* pNode, int nPosition, char* pszBuffer, std::size_t nSize) {
        if (nPosition == XML_WS_BEFORE_CLOSE)
            s_columns.push_back(pDoc->nState);
        return XmlDefaultWhitespaceCallback(pDoc, pNode, nPosition, pszBuffer, nSize);
    };
    struct Case {
        uint16_t nTabWidth;
        const char* pszText;
        int nColumn;
    };
    // "  <b>" ends at column 5.
    const Case aCases[] = {
        {4, "\tx", 9}, {3, "\tx", 7}, {8, "\t", 8}, {4, "xxx\t", 12}, {4, "x\ny\t", 4}, {1, "\t\t", 7},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << c.nTabWidth << " \"" << c.pszText << "\"");
        Document doc;
        XmlNode* pMain = NewMain(doc);
        XmlSetTabWidth(doc.get(), c.nTabWidth);
        XmlSetWhitespaceCallback(doc.get(), record);
        XmlAddValue(pMain, "b", const_cast<char*>(c.pszText), 1);
        s_columns.clear();
        XmlSaveBuffer(doc.get(), nullptr, 0);
        ASSERT_EQ(s_columns.size(), 2u);   // b's end tag, then a's
        EXPECT_EQ(s_columns[0], c.nColumn);
    }
}

TEST(XmlWriter, IndentAndWhitespaceCallbackShapeTheLines)
{
    Document doc;
    XmlNode* pMain = NewMain(doc);
    XmlAddInt(XmlAddElement(pMain, "g"), "v", 1);
    XmlSetIndent(doc.get(), 4);
    EXPECT_EQ(SavedText(doc.get()), std::string(DECLARATION) + "<a>\n    <g>\n        <v>1</v>\n    </g>\n</a>\n");
    XmlSetIndent(doc.get(), 0);
    EXPECT_EQ(SavedText(doc.get()), std::string(DECLARATION) + "<a>\n<g>\n<v>1</v>\n</g>\n</a>\n");
    auto none = [](XmlDocument*, XmlNode*, int, char*, std::size_t) { return 0; };
    XmlSetWhitespaceCallback(doc.get(), none);
    EXPECT_EQ(SavedText(doc.get()), "<?xml version=\"1.0\" encoding=\"utf-8\"?><a><g><v>1</v></g></a>");
    XmlSetWhitespaceCallback(doc.get(), nullptr);
    XmlSetIndent(doc.get(), 2);
    EXPECT_EQ(SavedText(doc.get()), std::string(DECLARATION) + "<a>\n  <g>\n    <v>1</v>\n  </g>\n</a>\n");
}

TEST(XmlWriter, DeepIndentationStopsAtTheBuffer)
{
    Document doc;
    XmlNode* pNode = NewMain(doc);
    for (int i = 0; i < 300; ++i)
        pNode = XmlAddElement(pNode, "d");
    std::string text = SavedText(doc.get());
    // Depth 300 asks for 600 spaces; a start tag's line feed and 510 spaces fill the 512-byte
    // buffer, an end tag at column 0 gets 511.
    std::string deepest = "\n" + std::string(510, ' ') + "<d/>\n";
    EXPECT_NE(text.find(deepest), std::string::npos);
    EXPECT_NE(text.find("\n" + std::string(511, ' ') + "</d>\n"), std::string::npos);
    EXPECT_EQ(text.find(std::string(512, ' ')), std::string::npos);
}

TEST(XmlWriter, CustomNodesUseTheSaveCallback)
{
    Document doc;
    XmlNode* pMain = NewMain(doc);
    XmlSetCustomCallbacks(doc.get(), nullptr, SaveText);
    XmlAddCustom(pMain, "c", const_cast<char*>("1<2"), nullptr);
    EXPECT_EQ(SavedText(doc.get()), std::string(DECLARATION) + "<a>\n  <c>1&lt;2</c>\n</a>\n");
    // A callback that gives no text fails the save.
    XmlAddCustom(pMain, "bad", nullptr, nullptr);
    EXPECT_EQ(XmlSaveString(doc.get()), nullptr);
    EXPECT_EQ(XmlSaveBuffer(doc.get(), nullptr, 0), 0u);
}

TEST(XmlWriter, BufferCountsEverythingAndStoresWhatFits)
{
    // A document of exactly 40 bytes: "<v>" + 32 characters + "</v>" + line feed.
    Document doc = NewDocument();
    std::string value(32, 'x');
    XmlAddValue(XmlGetRoot(doc.get()), "v", const_cast<char*>(value.c_str()), 1);
    std::string expected = "<v>" + value + "</v>\n";
    ASSERT_EQ(expected.size(), 40u);

    EXPECT_EQ(XmlSaveBuffer(doc.get(), nullptr, 0), 41u);
    char acSmall[12];
    std::memset(acSmall, '#', sizeof(acSmall));
    EXPECT_EQ(XmlSaveBuffer(doc.get(), acSmall, 10), 41u);
    EXPECT_EQ(std::string(acSmall, 10), expected.substr(0, 9) + std::string(1, '\0'));
    EXPECT_EQ(acSmall[10], '#');   // nothing past the given size

    char acExact[41];
    EXPECT_EQ(XmlSaveBuffer(doc.get(), acExact, sizeof(acExact)), 41u);
    EXPECT_EQ(std::string(acExact), expected);
    char acShort[40];
    EXPECT_EQ(XmlSaveBuffer(doc.get(), acShort, sizeof(acShort)), 41u);
    EXPECT_EQ(std::string(acShort), expected.substr(0, 39));

    EXPECT_EQ(XmlSaveBuffer(doc.get(), acExact, 0), 0u);
    EXPECT_EQ(XmlSaveBuffer(doc.get(), nullptr, 10), 0u);
    EXPECT_EQ(XmlSaveBuffer(nullptr, acExact, sizeof(acExact)), 0u);
    EXPECT_EQ(XmlSaveString(nullptr), nullptr);
    EXPECT_EQ(SavedText(doc.get()), expected);

    // An empty document is the NUL alone.
    Document empty = NewDocument();
    EXPECT_EQ(XmlSaveBuffer(empty.get(), nullptr, 0), 1u);
    EXPECT_EQ(SavedText(empty.get()), "");
}

TEST(XmlWriter, FileStoresEveryLineFeedAsCrLf)
{
    TempDir dir;
    Document doc;
    XmlNode* pMain = NewMain(doc);
    XmlAddValue(pMain, "b", const_cast<char*>("x\ny"), 1);
    XmlAddElement(pMain, "c");
    std::filesystem::path path = dir.Path() / "out.bmk";
    {
        std::ofstream old(path, std::ios::binary);
        old << std::string(5000, 'o');   // an existing longer file is truncated
    }
    ASSERT_EQ(XmlSaveFile(doc.get(), path.c_str()), 1);
    EXPECT_EQ(ReadFile(path), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a>\r\n  <b>x\r\ny</b>\r\n  <c/>\r\n</a>\r\n");

    // A stream gets the same bytes; the caller closes it.
    std::filesystem::path streamPath = dir.Path() / "stream.bmk";
    std::FILE* pFile = std::fopen(streamPath.c_str(), "wb");
    ASSERT_NE(pFile, nullptr);
    EXPECT_EQ(XmlSaveStream(doc.get(), pFile), 1);
    std::fclose(pFile);
    EXPECT_EQ(ReadFile(streamPath), ReadFile(path));
}

TEST(XmlWriter, FailedSavesGiveZero)
{
    // The caller says what failed; the writer itself shows nothing.
    CMessageRecorder recorder;
    TempDir dir;
    Document doc;
    XmlNode* pMain = NewMain(doc);
    XmlAddValue(pMain, "b", const_cast<char*>("x"), 1);

    std::filesystem::path missing = dir.Path() / "no-such-dir" / "out.bmk";
    EXPECT_EQ(XmlSaveFile(doc.get(), missing.c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(XmlSaveFile(doc.get(), dir.Path().c_str()), 0);   // a directory
    std::filesystem::path untouched = dir.Path() / "untouched.bmk";
    { std::ofstream(untouched) << "keep"; }
    EXPECT_EQ(XmlSaveFile(nullptr, untouched.c_str()), 0);
    EXPECT_EQ(ReadFile(untouched), "keep");
    EXPECT_EQ(XmlSaveFile(doc.get(), nullptr), 0);
    EXPECT_TRUE(recorder.Messages().empty()) << recorder.Messages()[0].text;

    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    // A full disk: a small document's bytes only fail once they leave the stream's buffer.
    EXPECT_EQ(XmlSaveFile(doc.get(), "/dev/full"), 0);
    for (int i = 0; i < 5000; ++i)
        XmlAddInt(pMain, "v", i);
    EXPECT_EQ(XmlSaveFile(doc.get(), "/dev/full"), 0);
    std::FILE* pFull = std::fopen("/dev/full", "wb");
    ASSERT_NE(pFull, nullptr);
    EXPECT_EQ(XmlSaveStream(doc.get(), pFull), 0);
    std::fclose(pFull);
    EXPECT_EQ(XmlSaveStream(doc.get(), nullptr), 0);
    EXPECT_TRUE(recorder.Messages().empty()) << recorder.Messages()[0].text;
    EXPECT_TRUE(recorder.QuitCodes().empty());
}

TEST(XmlWriter, ACustomNodeFailingInAFileStopsTheSave)
{
    CMessageRecorder recorder;
    TempDir dir;
    Document doc;
    XmlNode* pMain = NewMain(doc);
    XmlSetCustomCallbacks(doc.get(), nullptr, SaveText);
    XmlAddCustom(pMain, "bad", nullptr, nullptr);
    XmlAddValue(pMain, "after", const_cast<char*>("never"), 1);
    std::filesystem::path path = dir.Path() / "out.bmk";
    EXPECT_EQ(XmlSaveFile(doc.get(), path.c_str()), 0);
    // The file is closed with what was written before the failure.
    EXPECT_EQ(ReadFile(path), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a>\r\n  <bad>");
    EXPECT_TRUE(recorder.Messages().empty()) << recorder.Messages()[0].text;
}

TEST(XmlWriter, ADeepTreeIsWrittenWithoutRecursion)
{
    Document doc;
    XmlNode* pNode = NewMain(doc);
    for (int i = 0; i < 5000; ++i)
        pNode = XmlAddElement(pNode, "d");
    std::size_t nLength = XmlSaveBuffer(doc.get(), nullptr, 0);
    EXPECT_GT(nLength, 5000u * 10);
}
