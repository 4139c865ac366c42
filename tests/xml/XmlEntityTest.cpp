#include "xml/Xml.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(NamedEntityTable, HoldsEveryNameOnceInByteOrder)
{
    ASSERT_EQ(XML_NAMED_ENTITY_COUNT, 257);
    for (int i = 0; i < XML_NAMED_ENTITY_COUNT; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(XmlNamedEntityName(i), nullptr);
        if (i > 0) {
            EXPECT_LT(std::strcmp(XmlNamedEntityName(i - 1), XmlNamedEntityName(i)), 0)
                << XmlNamedEntityName(i - 1) << " before " << XmlNamedEntityName(i);
        }
    }
    EXPECT_EQ(XmlNamedEntityName(-1), nullptr);
    EXPECT_EQ(XmlNamedEntityName(XML_NAMED_ENTITY_COUNT), nullptr);
    EXPECT_EQ(XmlNamedEntityCode(XML_NAMED_ENTITY_COUNT), -1);
}

TEST(NamedEntityTable, SearchFindsEveryEntryAtItsOwnCode)
{
    for (int i = 0; i < XML_NAMED_ENTITY_COUNT; ++i) {
        SCOPED_TRACE(XmlNamedEntityName(i));
        EXPECT_EQ(XmlNamedEntity(nullptr, XmlNamedEntityName(i)), XmlNamedEntityCode(i));
    }
}

TEST(NamedEntityTable, KnowsTheCodesOfHtmlAndTheOlderAliases)
{
    struct Case {
        const char* pszName;
        int nCode;
    };
    const Case aCases[] = {
        {"Alpha", 913}, {"alpha", 945}, {"nbsp", 160},   {"euro", 8364},  {"amp", 38},      {"lt", 60},
        {"gt", 62},     {"quot", 34},   {"apos", 39},    {"Dstrok", 208}, {"brkbar", 166},  {"die", 168},
        {"hibar", 175}, {"ETH", 208},   {"eth", 240},    {"yuml", 255},   {"Yuml", 376},    {"fnof", 402},
        {"sigmaf", 962}, {"thetasym", 977}, {"hearts", 9829}, {"loz", 9674}, {"AElig", 198}, {"zwnj", 8204},
        {"rsaquo", 8250}, {"image", 8465}, {"alefsym", 8501}, {"sdot", 8901}, {"lang", 9001}, {"rang", 9002},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(XmlNamedEntity(nullptr, c.pszName), c.nCode);
    }
}

TEST(NamedEntityTable, UnknownNamesAndOtherCaseAreNotFound)
{
    const char* apszNames[] = {"", "AMP", "Amp", "nbs", "nbspx", "foo", "zzzz", "AAAA", "#65", "euro ", "a"};
    for (const char* pszName : apszNames) {
        SCOPED_TRACE(pszName);
        EXPECT_EQ(XmlNamedEntity(nullptr, pszName), -1);
    }
    EXPECT_EQ(XmlNamedEntity(nullptr, nullptr), -1);
}

int g_nCalls = 0;

int AnswerEuroAsOne(XmlDocument*, const char* pszName)
{
    ++g_nCalls;
    return std::strcmp(pszName, "euro") == 0 ? 1 : -1;
}

int AnswerEverything(XmlDocument*, const char*)
{
    ++g_nCalls;
    return 7;
}

TEST(EntityResolver, TriesTheCallbacksInOrderAndTakesTheFirstAnswer)
{
    XmlDocument* pDoc = XmlNewDocument();
    ASSERT_NE(pDoc, nullptr);
    // A fresh document knows the named entity table only.
    EXPECT_EQ(XmlResolveEntity(pDoc, "euro"), 8364);
    EXPECT_EQ(XmlResolveEntity(pDoc, "unknown"), -1);

    ASSERT_TRUE(XmlAddEntityCallback(pDoc, AnswerEuroAsOne));
    ASSERT_TRUE(XmlAddEntityCallback(pDoc, AnswerEverything));
    g_nCalls = 0;
    EXPECT_EQ(XmlResolveEntity(pDoc, "euro"), 8364);  // the table comes first
    EXPECT_EQ(g_nCalls, 0);
    EXPECT_EQ(XmlResolveEntity(pDoc, "unknown"), 7);  // the table, then each callback in turn
    EXPECT_EQ(g_nCalls, 2);

    ASSERT_TRUE(XmlRemoveEntityCallback(pDoc, XmlNamedEntity));
    EXPECT_EQ(XmlResolveEntity(pDoc, "euro"), 1);
    ASSERT_TRUE(XmlRemoveEntityCallback(pDoc, AnswerEuroAsOne));
    ASSERT_TRUE(XmlRemoveEntityCallback(pDoc, AnswerEverything));
    EXPECT_EQ(XmlResolveEntity(pDoc, "euro"), -1);
    XmlDeleteDocument(pDoc);

    EXPECT_EQ(XmlResolveEntity(nullptr, "euro"), -1);
}

} // namespace
