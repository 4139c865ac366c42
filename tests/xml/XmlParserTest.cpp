#include "XmlParserSupport.h"

#include "util/MessageRecorder.h"
#include "xml/Xml.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using xmltest::Describe;
using xmltest::DescribeDocument;

namespace {

using Box = CMessageRecorder::Box;

struct LoadCase {
    const char* pszInput;
    const char* pszExpected;   // the tree, or the one message of a failed load
};

TEST(XmlParser, BuildsTheTreeTheTextDescribes)
{
    const LoadCase aCases[] = {
        {"<a> text </a>", "a=\"text\""},
        {"<a>&#65;</a>", "a=\"A\""},
        {"<a>&#x41;</a>", "a=\"A\""},
        {"<a>&amp;</a>", "a=\"&\""},
        {"<a>&#65abc;</a>", "a=\"A\""},  // digits end at the first other character
        {"<a>&lt;&gt;&quot;&apos;&Alpha;&alpha;</a>", "a=\"<>\"'\xCE\x91\xCE\xB1\""},
        {"<a/>", "a"},
        {"<a></a>", "a"},
        {"<a>\n  <b>x</b>\n  <c/>\n</a>\n", "a[b=\"x\",c]"},
        {"<a>x<b/>y</a>", "a=\"y\"[b]"},  // a later text of the same element replaces the earlier
        {"<a >x</a >", "a=\"x\""},
        {"<a&#66;>x</a&#66;>", "aB=\"x\""},
        {"<a.b-c_1:d>x</a.b-c_1:d>", "a.b-c_1:d=\"x\""},
        {"<a>\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80</a>", "a=\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\""},
        {"\xEF\xBB\xBF<a>x\xEF\xBB\xBFy</a>", "a=\"xy\""},  // byte order marks are skipped anywhere
        {"<a/>\xE9x", "a"},  // the bad sequence after the main element just ends the input
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE r>\n<!-- c -->\n<r><![CDATA[ <x> ]]></r>\n",
         "?xml version=\"1.0\" encoding=\"utf-8\"?,!DOCTYPE r,!-- c --,r[![CDATA[ <x> ]]]"},
        {"<?pi?><a/><!-- after -->", "?pi?,a,!-- after --"},
        {"<!DOCTYPE a [&lt;]><a/>", "!DOCTYPE a [<],a"},  // entities are decoded in declarations
        {"<!-- x --->y --><a/>", "!-- x --->y --,a"},      // "--" after "-" does not close a comment
        {"<a><!-- in --></a>", "a[!-- in --]"},
        {"<a b=\"1\" c='2' d=3 'e f'=\"4\" g = \"x&amp;y\" h=\"it's\"/>", "a{b=1,c=2,d=3,'e f'=4,g=x&y,h=it's}"},
        {"<a b=\"1\"?>x</a>", "a{b=1}=\"x\""},
        {"<a b=1/>", "a{b=1}"},
        {"<a b=\"<>\"></a>", "a{b=<>}"},
        {"<a>x\r\ny</a>", "a=\"x\r\ny\""},  // a string is not a text-mode file
    };
    for (const LoadCase& c : aCases) {
        SCOPED_TRACE(c.pszInput);
        CMessageRecorder recorder;
        XmlDocument* pDoc = XmlNewDocument();
        ASSERT_NE(pDoc, nullptr);
        XmlNode* pFirst = XmlLoadString(pDoc, nullptr, c.pszInput);
        EXPECT_EQ(pFirst, pDoc->root.pFirstChild);
        EXPECT_EQ(DescribeDocument(pDoc), c.pszExpected);
        EXPECT_TRUE(recorder.Messages().empty()) << recorder.Messages()[0].text;
        XmlDeleteDocument(pDoc);
    }
}

TEST(XmlParser, MainElementIsTheFirstTopLevelElement)
{
    CMessageRecorder recorder;
    XmlDocument* pDoc = XmlNewDocument();
    ASSERT_NE(XmlLoadString(pDoc, nullptr, "<?xml version=\"1.0\"?><!-- c --><main><sub/></main>"), nullptr);
    ASSERT_NE(XmlGetMainElement(pDoc), nullptr);
    EXPECT_STREQ(XmlGetMainElement(pDoc)->pszName, "main");
    XmlDeleteDocument(pDoc);
}

TEST(XmlParser, FailsWithItsOneMessageAndKeepsNothing)
{
    const std::string sLongEntity(100, 'e');
    const std::string sLongEntityInput = "<a>&" + sLongEntity + ";</a>";
    const LoadCase aCases[] = {
        {"<a/><b/>", "<b> cannot be a second root node after <a>"},
        {"<a><b></a>", "Mismatched close tag </a> under parent <b>!"},
        {"<a>", "Missing close tag </a> under parent <*ROOT*>!"},
        {"<a><b>", "Missing close tag </b> under parent <a>!"},
        {"<a>\xE9x</a>", "Missing close tag </a> under parent <*ROOT*>!"},
        {"</a>", "Mismatched close tag </a> under parent <*ROOT*>!"},
        {"<a>&foo;</a>", "Entity name \"foo;\" not supported under parent <a>!"},
        {"<a>&#X41;</a>", "Entity name \"#X41;\" not supported under parent <a>!"},
        {"<a>&#x110000;</a>", "Entity name \"#x110000;\" not supported under parent <a>!"},
        {"<a>&#xD800;</a>", "Entity name \"#xD800;\" not supported under parent <a>!"},
        {"<a>&amp</a>", "Character entity \"amp\" not terminated under parent <a>!"},
        {"<a>&amp", "Character entity \"amp\" not terminated under parent <a>!"},
        {sLongEntityInput.c_str(), "Entity name too long under parent <a>!"},
        {"<a>&#1;</a>", "Bad control character 0x01 under parent <a> not allowed by XML standard!"},
        {"<a>\x01</a>", "Bad control character 0x01 not allowed by XML standard!"},
        {"<a/>\x1f", "Bad control character 0x1f not allowed by XML standard!"},
        {"<a>\xC1\x81</a>", "Invalid UTF-8 sequence for character 0x0041!"},
        {"<a>\xE0\x81\x81</a>", "Invalid UTF-8 sequence for character 0x0041!"},
        {"<a>\xF0\x80\x81\x81</a>", "Invalid UTF-8 sequence for character 0x0041!"},
        {"<a<b>", "Bare < in element!"},
        {"<a <b>", "Bare < in element a!"},
        {"<a/ >", "Expected > but got ' ' instead for element <a/>!"},
        {"<a b='1'/ >", "Expected '>' after '/' for element a, but got ' '!"},
        {"<a b=1/x>", "Expected '>' after '/' for element a, but got 'x'!"},
        {"<a b>", "Missing value for attribute 'b' in element a!"},
        {"<a b c='1'>", "Missing value for attribute 'b' in element a!"},
        {"<a b=>", "Missing value for attribute 'b' in element a!"},
        {"<a b=", "Missing value for attribute 'b' in element a!"},
        {"<!-- x", "Early EOF in comment node!"},
        {"<a><![CDATA[x]]", "Early EOF in CDATA node!"},
        {"<?xml", "Early EOF in processing instruction node!"},
        {"<!DOCTYPE a", "Early EOF in declaration node!"},
        {"<![CDATA[x]]><a/>", "CDATA ![CDATA[x]] outside root element!"},
        {"<a><?pi?></a>", "<?pi?> must be outside root element!"},
        {"<a><!DOCTYPE a></a>", "<!DOCTYPE a> must be outside root element!"},
    };
    for (const LoadCase& c : aCases) {
        SCOPED_TRACE(c.pszInput);
        CMessageRecorder recorder;
        XmlDocument* pDoc = XmlNewDocument();
        ASSERT_NE(pDoc, nullptr);
        EXPECT_EQ(XmlLoadString(pDoc, nullptr, c.pszInput), nullptr);
        EXPECT_EQ(recorder.Texts(Box::Error), std::vector<std::string>{c.pszExpected});
        EXPECT_EQ(pDoc->root.pFirstChild, nullptr);
        EXPECT_EQ(XmlGetMainElement(pDoc), nullptr);
        XmlDeleteDocument(pDoc);
    }
}

TEST(XmlParser, FailsWithoutMessageWhereTheInputCannotBeATag)
{
    const char* apszInputs[] = {
        "<a$>",                 // a name character below "0" that is no name character
        "<a\"b\"/>",
        "<a b='1' b='2'/>",     // an attribute name twice
        "<a b='1",              // end of input inside the attributes
        "<a b=1",
        "<a 'b",
        "<a ",
        "<a/",                  // cut after "/"
        "<a>\xFE" "A</a>",      // neither byte order
        "<a>\xC3</a>",          // a sequence cut short
        "<a>\x80</a>",          // a continuation byte without a lead byte
    };
    for (const char* pszInput : apszInputs) {
        SCOPED_TRACE(pszInput);
        CMessageRecorder recorder;
        XmlDocument* pDoc = XmlNewDocument();
        EXPECT_EQ(XmlLoadString(pDoc, nullptr, pszInput), nullptr);
        // The bad sequences end the input inside "a", which is then missing its close tag.
        for (const std::string& text : recorder.Texts(Box::Error))
            EXPECT_EQ(text, "Missing close tag </a> under parent <*ROOT*>!");
        EXPECT_EQ(pDoc->root.pFirstChild, nullptr);
        XmlDeleteDocument(pDoc);
    }
}

TEST(XmlParser, EmptyInputGivesNoneWithoutMessage)
{
    for (const char* pszInput : {"", " \n\t ", "\xEF\xBB\xBF"}) {
        SCOPED_TRACE(pszInput);
        CMessageRecorder recorder;
        XmlDocument* pDoc = XmlNewDocument();
        EXPECT_EQ(XmlLoadString(pDoc, nullptr, pszInput), nullptr);
        EXPECT_TRUE(recorder.Messages().empty());
        EXPECT_EQ(pDoc->root.pFirstChild, nullptr);
        XmlDeleteDocument(pDoc);
    }
}

TEST(XmlParser, NulByteEndsBufferInput)
{
    CMessageRecorder recorder;
    XmlDocument* pDoc = XmlNewDocument();
    const char text[] = "<a>x</a>\0<b/>";
    ASSERT_NE(XmlLoadBuffer(pDoc, nullptr, text, sizeof text - 1), nullptr);
    EXPECT_EQ(DescribeDocument(pDoc), "a=\"x\"");
    XmlDeleteDocument(pDoc);

    pDoc = XmlNewDocument();
    const char cut[] = "<a>x\0</a>";
    EXPECT_EQ(XmlLoadBuffer(pDoc, nullptr, cut, sizeof cut - 1), nullptr);
    EXPECT_EQ(recorder.Texts(Box::Error), std::vector<std::string>{"Missing close tag </a> under parent <*ROOT*>!"});
    XmlDeleteDocument(pDoc);
}

TEST(XmlParser, BufferLoadReadsOnlyTheGivenLength)
{
    XmlDocument* pDoc = XmlNewDocument();
    const std::string text = "<a>xy</a><b/>";
    ASSERT_NE(XmlLoadBuffer(pDoc, nullptr, text.data(), 9), nullptr);
    EXPECT_EQ(DescribeDocument(pDoc), "a=\"xy\"");
    XmlDeleteDocument(pDoc);
}

int32_t AnswerText(XmlDocument*, XmlNode*)
{
    return XML_TEXT;
}

int32_t AnswerElement(XmlDocument*, XmlNode*)
{
    return XML_ELEMENT;
}

int32_t AnswerCustom(XmlDocument*, XmlNode*)
{
    return XML_CUSTOM;
}

TEST(XmlParser, TypeCallbackDecidesWhatTextBecomes)
{
    struct Case {
        XmlTypeCallback pfnType;
        const char* pszInput;
        const char* pszExpected;
    };
    const Case aCases[] = {
        // Text right after a start tag turns the element into a Text node; other text is a child.
        {AnswerText, "<p>hello<b/>world</p>", "p#\"hello\"[b,#\"world\"]"},
        {AnswerText, "<p> <b/></p>", "p[#\" \",b]"},
        {AnswerElement, "<p>hello<b>x</b></p>", "p[b]"},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszInput);
        CMessageRecorder recorder;
        XmlDocument* pDoc = XmlNewDocument();
        XmlSetTypeCallback(pDoc, c.pfnType);
        EXPECT_NE(XmlLoadString(pDoc, nullptr, c.pszInput), nullptr);
        EXPECT_EQ(DescribeDocument(pDoc), c.pszExpected);
        EXPECT_TRUE(recorder.Messages().empty());
        XmlDeleteDocument(pDoc);
    }
}

int LoadNumber(XmlDocument*, XmlNode* pNode, const char* pszText)
{
    if (std::strcmp(pszText, "bad") == 0)
        return 0;
    pNode->value.pCustom = new std::string(pszText);
    pNode->pfnDestroy = [](void* pData) { delete static_cast<std::string*>(pData); };
    return 1;
}

TEST(XmlParser, CustomTextGoesToTheCustomLoadCallback)
{
    CMessageRecorder recorder;
    XmlDocument* pDoc = XmlNewDocument();
    XmlSetTypeCallback(pDoc, AnswerCustom);
    EXPECT_EQ(XmlLoadString(pDoc, nullptr, "<a>12</a>"), nullptr);
    EXPECT_EQ(recorder.Texts(Box::Error), std::vector<std::string>{"Custom type found with no parser!"});
    XmlDeleteDocument(pDoc);

    recorder.Clear();
    pDoc = XmlNewDocument();
    XmlSetTypeCallback(pDoc, AnswerCustom);
    XmlSetCustomCallbacks(pDoc, LoadNumber, nullptr);
    ASSERT_NE(XmlLoadString(pDoc, nullptr, "<a>12</a>"), nullptr);
    EXPECT_EQ(DescribeDocument(pDoc), "a@");
    EXPECT_EQ(*static_cast<std::string*>(XmlGetCustom(pDoc->root.pFirstChild)), "12");
    EXPECT_TRUE(recorder.Messages().empty());
    XmlDeleteDocument(pDoc);

    pDoc = XmlNewDocument();
    XmlSetTypeCallback(pDoc, AnswerCustom);
    XmlSetCustomCallbacks(pDoc, LoadNumber, nullptr);
    EXPECT_EQ(XmlLoadString(pDoc, nullptr, "<a>bad</a>"), nullptr);
    EXPECT_EQ(recorder.Texts(Box::Error), std::vector<std::string>{"Bad custom value 'bad' in parent <a>!"});
    EXPECT_EQ(pDoc->root.pFirstChild, nullptr);
    XmlDeleteDocument(pDoc);
}

TEST(XmlParser, MessagesAreCutAtTheReportersLength)
{
    CMessageRecorder recorder;
    XmlDocument* pDoc = XmlNewDocument();
    std::string name(300, 'n');
    EXPECT_EQ(XmlLoadString(pDoc, nullptr, ("<" + name + ">").c_str()), nullptr);
    std::string expected = "Missing close tag </" + name;
    expected.resize(149);
    EXPECT_EQ(recorder.Texts(Box::Error), std::vector<std::string>{expected});
    XmlDeleteDocument(pDoc);
}

} // namespace
