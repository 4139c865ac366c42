#include "XmlParserSupport.h"

#include "util/MessageRecorder.h"
#include "xml/Xml.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using xmltest::Describe;
using xmltest::DescribeDocument;

namespace {

using Box = CMessageRecorder::Box;

// A document as an application builds one: declaration, main element, values, a nested element.
XmlDocument* NewFilledDocument()
{
    XmlDocument* pDoc = XmlNewDocument();
    XmlNode* pMain = XmlNewXml(pDoc, nullptr, "benchmark");
    XmlAddUInt(pMain, "queuedepth", 4);
    XmlNode* pRates = XmlAddElement(pMain, "rates");
    XmlAddValue(XmlAddElement(pRates, "rate"), "label", const_cast<char*>("512"), 1);
    XmlSetAttribute(pRates, "count", "1");
    return pDoc;
}

TEST(XmlParserLoadInto, FailedLoadLeavesTheDocumentAsItWas)
{
    const char* apszInputs[] = {
        "<x/><y>",            // missing close tag after a complete element
        "text<x/><y a=1 b>",
        "<x>&nope;</x>",
        "<x/></benchmark>",   // closing the node the load went under
        "<x/>\x01",
    };
    for (const char* pszInput : apszInputs) {
        SCOPED_TRACE(pszInput);
        CMessageRecorder recorder;
        XmlDocument* pDoc = NewFilledDocument();
        XmlNode* pMain = XmlGetMainElement(pDoc);
        const std::string before = DescribeDocument(pDoc);
        EXPECT_EQ(XmlLoadString(pDoc, pMain, pszInput), nullptr);
        EXPECT_EQ(DescribeDocument(pDoc), before);
        EXPECT_EQ(XmlGetMainElement(pDoc), pMain);
        EXPECT_EQ(recorder.Texts(Box::Error).size(), 1u);
        XmlDeleteDocument(pDoc);
    }
}

TEST(XmlParserLoadInto, FailedLoadKeepsTheTopsValue)
{
    CMessageRecorder recorder;
    XmlDocument* pDoc = NewFilledDocument();
    XmlNode* pDepth = XmlFindChild(XmlGetMainElement(pDoc), "queuedepth");
    ASSERT_NE(pDepth, nullptr);
    EXPECT_EQ(XmlLoadString(pDoc, pDepth, "8<x/><y>"), nullptr);
    EXPECT_STREQ(XmlGetValue(pDepth), "4");
    EXPECT_EQ(pDepth->pFirstChild, nullptr);
    // Text alone creates nothing: none, and the value stays.
    EXPECT_EQ(XmlLoadString(pDoc, pDepth, "8"), nullptr);
    EXPECT_STREQ(XmlGetValue(pDepth), "4");
    XmlDeleteDocument(pDoc);
}

TEST(XmlParserLoadInto, LoadUnderAnElementAppendsAfterItsChildren)
{
    CMessageRecorder recorder;
    XmlDocument* pDoc = NewFilledDocument();
    XmlNode* pRates = XmlFindChild(XmlGetMainElement(pDoc), "rates");
    XmlNode* pFirst = XmlLoadString(pDoc, pRates, "<rate><label>1K</label></rate><rate/>");
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(pFirst, pRates->pFirstChild->pNext);
    EXPECT_EQ(Describe(pRates), "rates{count=1}[rate[label=\"512\"],rate[label=\"1K\"],rate]");
    EXPECT_STREQ(XmlGetMainElement(pDoc)->pszName, "benchmark");
    // A second top-level element is still refused when loading under the root itself.
    EXPECT_EQ(XmlLoadString(pDoc, XmlGetRoot(pDoc), "<!-- note --><other/>"), nullptr);
    EXPECT_EQ(recorder.Texts(Box::Error), std::vector<std::string>{"<other> cannot be a second root node after <benchmark>"});
    EXPECT_NE(XmlLoadString(pDoc, XmlGetRoot(pDoc), "<!-- note -->"), nullptr);
    EXPECT_STREQ(pDoc->root.pLastChild->pszName, "!-- note --");
    XmlDeleteDocument(pDoc);
}

TEST(XmlParserLoadInto, RefusesATopItCannotUse)
{
    CMessageRecorder recorder;
    XmlDocument* pDoc = NewFilledDocument();
    XmlDocument* pOther = XmlNewDocument();
    const std::string before = DescribeDocument(pDoc);
    // No top means the root, and only while the root is empty.
    EXPECT_EQ(XmlLoadString(pDoc, nullptr, "<a/>"), nullptr);
    // A node of another document.
    EXPECT_EQ(XmlLoadString(pOther, XmlGetMainElement(pDoc), "<a/>"), nullptr);
    EXPECT_EQ(XmlLoadString(nullptr, nullptr, "<a/>"), nullptr);
    EXPECT_EQ(XmlLoadString(pOther, nullptr, nullptr), nullptr);
    EXPECT_EQ(DescribeDocument(pDoc), before);
    EXPECT_EQ(pOther->root.pFirstChild, nullptr);
    EXPECT_TRUE(recorder.Messages().empty());
    XmlDeleteDocument(pOther);
    XmlDeleteDocument(pDoc);
}

TEST(XmlParserHostile, DeepNestingNeedsNoRecursion)
{
    const int nDepth = 200000;
    std::string open;
    std::string close;
    for (int i = 0; i < nDepth; ++i) {
        open += "<a>";
        close += "</a>";
    }
    CMessageRecorder recorder;
    XmlDocument* pDoc = XmlNewDocument();
    ASSERT_NE(XmlLoadString(pDoc, nullptr, (open + "x" + close).c_str()), nullptr);
    int nLevels = 0;
    XmlNode* pNode = XmlGetMainElement(pDoc);
    for (; pNode->pFirstChild; pNode = pNode->pFirstChild)
        ++nLevels;
    EXPECT_EQ(nLevels, nDepth - 1);
    EXPECT_STREQ(XmlGetValue(pNode), "x");
    XmlDeleteDocument(pDoc);

    // Unclosed: every one of the nodes is taken back.
    pDoc = XmlNewDocument();
    EXPECT_EQ(XmlLoadString(pDoc, nullptr, open.c_str()), nullptr);
    EXPECT_EQ(recorder.Texts(Box::Error), std::vector<std::string>{"Missing close tag </a> under parent <a>!"});
    EXPECT_EQ(pDoc->root.pFirstChild, nullptr);
    EXPECT_EQ(XmlGetMainElement(pDoc), nullptr);
    XmlDeleteDocument(pDoc);
}

TEST(XmlParserHostile, TokenBeyondTheCapIsRefused)
{
    // The buffer grows by doubling to 1024 bytes, then by 1024; past 64 MiB it is refused.
    CMessageRecorder recorder;
    XmlDocument* pDoc = XmlNewDocument();
    std::string text = "<a>" + std::string(64u * 1024u * 1024u, 'v') + "</a>";
    EXPECT_EQ(XmlLoadString(pDoc, nullptr, text.c_str()), nullptr);
    EXPECT_EQ(recorder.Texts(Box::Error), std::vector<std::string>{"Unable to grow string buffer to 67109888 bytes!"});
    EXPECT_EQ(pDoc->root.pFirstChild, nullptr);
    XmlDeleteDocument(pDoc);

    // Just below the cap the text is kept whole.
    recorder.Clear();
    pDoc = XmlNewDocument();
    text = "<a>" + std::string(64u * 1024u * 1024u - 8u, 'v') + "</a>";
    ASSERT_NE(XmlLoadString(pDoc, nullptr, text.c_str()), nullptr);
    EXPECT_EQ(std::string(XmlGetValue(XmlGetMainElement(pDoc))).size(), 64u * 1024u * 1024u - 8u);
    EXPECT_TRUE(recorder.Messages().empty());
    XmlDeleteDocument(pDoc);
}

TEST(XmlParserHostile, LongNamesAndValuesGrowTheBuffers)
{
    const std::string name(5000, 'n');
    const std::string value(7000, 'v');
    const std::string text = "<" + name + " " + name + "=\"" + value + "\">" + value + "</" + name + ">";
    CMessageRecorder recorder;
    XmlDocument* pDoc = XmlNewDocument();
    ASSERT_NE(XmlLoadString(pDoc, nullptr, text.c_str()), nullptr);
    XmlNode* pMain = XmlGetMainElement(pDoc);
    EXPECT_EQ(pMain->pszName, name);
    EXPECT_EQ(XmlGetAttribute(pMain, name.c_str()), value);
    EXPECT_EQ(XmlGetValue(pMain), value);
    EXPECT_TRUE(recorder.Messages().empty());
    XmlDeleteDocument(pDoc);
}

} // namespace

namespace {

// A document shaped like a result file: settings as values, then one element per rate.
XmlDocument* NewResultDocument()
{
    XmlDocument* pDoc = XmlNewDocument();
    XmlNode* pMain = XmlNewXml(pDoc, nullptr, "benchmark");
    XmlSetAttribute(pMain, "version", "5.00.2");
    XmlAddValue(pMain, "drive", const_cast<char*>("/mnt/data"), 1);
    XmlAddValue(pMain, "description", const_cast<char*>("Disk <A> & \"B\" it's"), 1);
    XmlAddBool(pMain, "verifydata", 1);
    XmlAddBool(pMain, "directio", 0);
    XmlAddUInt(pMain, "queuedepth", 32);
    XmlAddInt(pMain, "pattern", -1);
    XmlAddUInt64(pMain, "filesize", 34359738368ull);
    XmlAddReal(pMain, "maxbps", 1234567.5);
    XmlNode* pRates = XmlAddElement(pMain, "rates");
    for (int i = 0; i < 21; ++i) {
        XmlNode* pRate = XmlAddElement(pRates, "rate");
        XmlSetAttribute(pRate, "index", std::to_string(i).c_str());
        XmlAddValue(pRate, "label", const_cast<char*>(i < 11 ? "512" : "64M"), 1);
        XmlAddUInt(pRate, "iosize", 512u << (i % 20));
        XmlAddUInt64(pRate, "writebps", 1000000ull * static_cast<unsigned>(i));
        XmlAddUInt64(pRate, "readiops", 77ull * static_cast<unsigned>(i));
        XmlAddUInt(pRate, "flags", static_cast<unsigned>(i % 16));
    }
    XmlAddElement(pMain, "empty");
    return pDoc;
}

TEST(XmlRoundTrip, WrittenResultLoadsBackToTheSameBytes)
{
    CMessageRecorder recorder;
    XmlDocument* pDoc = NewResultDocument();
    char* pszFirst = XmlSaveString(pDoc);
    ASSERT_NE(pszFirst, nullptr);

    XmlDocument* pLoaded = XmlNewDocument();
    ASSERT_NE(XmlLoadString(pLoaded, nullptr, pszFirst), nullptr);
    EXPECT_EQ(DescribeDocument(pLoaded), DescribeDocument(pDoc));
    EXPECT_STREQ(XmlGetMainElement(pLoaded)->pszName, "benchmark");
    char* pszSecond = XmlSaveString(pLoaded);
    ASSERT_NE(pszSecond, nullptr);
    EXPECT_STREQ(pszSecond, pszFirst);
    EXPECT_TRUE(recorder.Messages().empty());

    std::free(pszSecond);
    std::free(pszFirst);
    XmlDeleteDocument(pLoaded);
    XmlDeleteDocument(pDoc);
}

TEST(XmlRoundTrip, SavedFileLoadsBackToTheSameFile)
{
    xmltest::CTempFolder folder;
    CMessageRecorder recorder;
    XmlDocument* pDoc = NewResultDocument();
    const std::string first = folder.Path("first.bmk");
    const std::string second = folder.Path("second.bmk");
    ASSERT_EQ(XmlSaveFile(pDoc, first.c_str()), 1);

    XmlDocument* pLoaded = XmlNewDocument();
    ASSERT_NE(XmlLoadFile(pLoaded, nullptr, first.c_str()), nullptr);
    EXPECT_EQ(DescribeDocument(pLoaded), DescribeDocument(pDoc));
    ASSERT_EQ(XmlSaveFile(pLoaded, second.c_str()), 1);

    auto ReadAll = [](const std::string& path) {
        std::string bytes;
        std::FILE* pFile = std::fopen(path.c_str(), "rb");
        EXPECT_NE(pFile, nullptr);
        if (!pFile)
            return bytes;
        char chunk[4096];
        std::size_t nRead;
        while ((nRead = std::fread(chunk, 1, sizeof chunk, pFile)) > 0)
            bytes.append(chunk, nRead);
        std::fclose(pFile);
        return bytes;
    };
    const std::string bytes = ReadAll(first);
    EXPECT_EQ(ReadAll(second), bytes);
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
    EXPECT_TRUE(recorder.Messages().empty());
    XmlDeleteDocument(pLoaded);
    XmlDeleteDocument(pDoc);
}

} // namespace
