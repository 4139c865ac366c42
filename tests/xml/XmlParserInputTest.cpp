#include "XmlParserSupport.h"

#include "util/MessageRecorder.h"
#include "xml/Xml.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using xmltest::CTempFolder;
using xmltest::DescribeDocument;
using xmltest::Utf16Bytes;

namespace {

using Box = CMessageRecorder::Box;

struct FileCase {
    const char* pszName;
    std::string bytes;
    const char* pszTree;      // null when the load fails
    const char* pszMessage;   // the one message, or null for none
};

// Loads each file into a fresh document and checks the tree or the message.
void CheckFiles(const std::vector<FileCase>& cases)
{
    CTempFolder folder;
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        std::string path = folder.Write("case.xml", c.bytes);
        CMessageRecorder recorder;
        XmlDocument* pDoc = XmlNewDocument();
        ASSERT_NE(pDoc, nullptr);
        XmlNode* pFirst = XmlLoadFile(pDoc, nullptr, path.c_str());
        if (c.pszTree) {
            EXPECT_NE(pFirst, nullptr);
            EXPECT_EQ(DescribeDocument(pDoc), c.pszTree);
        } else {
            EXPECT_EQ(pFirst, nullptr);
            EXPECT_EQ(pDoc->root.pFirstChild, nullptr);
        }
        std::vector<std::string> expected;
        if (c.pszMessage)
            expected.push_back(c.pszMessage);
        EXPECT_EQ(recorder.Texts(Box::Error), expected);
        XmlDeleteDocument(pDoc);
    }
}

TEST(XmlParserFiles, ReadAsTextModeFiles)
{
    CheckFiles({
        {"CR LF reads as LF, a lone CR stays", "<a>x\r\ny\rz</a>\r\n", "a=\"x\ny\rz\"", nullptr},
        {"0x1A ends the input after the main element", "<a/>\r\n\x1A<b>junk", "a", nullptr},
        {"0x1A ends the input inside the main element", "<a>x\x1A</a>", nullptr,
         "Missing close tag </a> under parent <*ROOT*>!"},
        {"a NUL byte is a control character", std::string("<a>x\0</a>", 9), nullptr,
         "Bad control character 0x00 not allowed by XML standard!"},
        {"empty file", "", nullptr, nullptr},
        {"0xE9 x inside the main element", "<a>\xE9x</a>", nullptr, "Missing close tag </a> under parent <*ROOT*>!"},
        {"0xE9 x after the main element", "<a>v</a>\n\xE9x", "a=\"v\"", nullptr},
    });
}

TEST(XmlParserFiles, ReadUtf16InEitherByteOrder)
{
    // U+1F600 as a surrogate pair, U+00E9 in an attribute, and CR LF units read as LF.
    const std::u16string text = u"<a b=\"\u00E9\">x\r\ny\U0001F600</a>\r\n";
    const char* pszTree = "a{b=\xC3\xA9}=\"x\ny\xF0\x9F\x98\x80\"";
    CheckFiles({
        {"little-endian", "\xFF\xFE" + Utf16Bytes(text, false), pszTree, nullptr},
        {"big-endian", "\xFE\xFF" + Utf16Bytes(text, true), pszTree, nullptr},
        // Units whose bytes look like CR LF or 0x1A are characters, not line ends or the end.
        {"U+0A0D and U+011A little-endian", "\xFF\xFE" + Utf16Bytes(u"<a>\u0A0D\u011A</a>", false),
         "a=\"\xE0\xA8\x8D\xC4\x9A\"", nullptr},
        {"a lone high surrogate ends the input", "\xFF\xFE" + Utf16Bytes(u"<a>\xD800x</a>", false), nullptr,
         "Missing close tag </a> under parent <*ROOT*>!"},
        {"a control unit", "\xFE\xFF" + Utf16Bytes(u"<a>\x0001</a>", true), nullptr,
         "Bad control character 0x01 not allowed by XML standard!"},
        {"an odd byte at the end", "\xFF\xFE" + Utf16Bytes(u"<a/>", false) + "<", "a", nullptr},
    });
}

TEST(XmlParserFiles, MissingFileGivesNone)
{
    CTempFolder folder;
    CMessageRecorder recorder;
    XmlDocument* pDoc = XmlNewDocument();
    EXPECT_EQ(XmlLoadFile(pDoc, nullptr, folder.Path("absent.xml").c_str()), nullptr);
    EXPECT_EQ(XmlLoadFile(pDoc, nullptr, nullptr), nullptr);
    EXPECT_TRUE(recorder.Messages().empty());
    XmlDeleteDocument(pDoc);
}

TEST(XmlParserFiles, StreamReadsLikeTheFile)
{
    CTempFolder folder;
    std::string path = folder.Write("stream.xml", "<a>x\r\ny</a>\r\n");
    std::FILE* pFile = std::fopen(path.c_str(), "rb");
    ASSERT_NE(pFile, nullptr);
    XmlDocument* pDoc = XmlNewDocument();
    EXPECT_NE(XmlLoadStream(pDoc, nullptr, pFile), nullptr);
    std::fclose(pFile);
    EXPECT_EQ(DescribeDocument(pDoc), "a=\"x\ny\"");
    XmlDeleteDocument(pDoc);
}

TEST(XmlParserFiles, FileLongerThanOneReadChunk)
{
    std::string bytes = "<a>\r\n";
    std::string expected = "a[";
    for (int i = 0; i < 5000; ++i) {
        bytes += "  <v>" + std::to_string(i) + "</v>\r\n";
        expected += (i ? ",v=\"" : "v=\"") + std::to_string(i) + "\"";
    }
    bytes += "</a>\r\n";
    expected += "]";
    CheckFiles({{"5000 values", bytes, expected.c_str(), nullptr}});
}

} // namespace
