#include "XmlTreeSupport.h"

#include "util/MessageRecorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace xmltree;

namespace {

std::string Names(XmlNode* pParent)
{
    std::string text;
    for (XmlNode* p = XmlFirstChild(pParent); p; p = XmlNextSibling(p))
        text += std::string(text.empty() ? "" : ",") + (p->pszName ? p->pszName : "#");
    return text;
}

std::string Attributes(XmlNode* pNode)
{
    std::string text;
    for (XmlAttribute* p = pNode->pFirstAttribute; p; p = p->pNext) {
        text += std::string(text.empty() ? "" : ",") + p->pszName;
        if (p->pszValue)
            text += std::string("=") + p->pszValue;
    }
    // The list read backwards must hold the same attributes.
    std::string backwards;
    for (XmlAttribute* p = pNode->pLastAttribute; p; p = p->pPrev)
        backwards = std::string(p->pszName) + (backwards.empty() ? "" : ",") + backwards;
    std::string forwardNames;
    for (XmlAttribute* p = pNode->pFirstAttribute; p; p = p->pNext)
        forwardNames += std::string(forwardNames.empty() ? "" : ",") + p->pszName;
    EXPECT_EQ(backwards, forwardNames);
    return text;
}

int g_nDestroyed = 0;
void CountDestroy(void* pData)
{
    ++g_nDestroyed;
    delete static_cast<int*>(pData);
}

int ResolveFoo(XmlDocument*, const char* pszName)
{
    return std::strcmp(pszName, "foo") == 0 ? 1234 : -1;
}

int ResolveNothing(XmlDocument*, const char*)
{
    return -1;
}

} // namespace

TEST(XmlTree, NewDocumentHasTheRootAndTheDefaults)
{
    Document doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    XmlNode* pRoot = XmlGetRoot(doc.get());
    EXPECT_STREQ(pRoot->pszName, "*ROOT*");
    EXPECT_EQ(XmlGetType(pRoot), XML_ROOT);
    EXPECT_EQ(pRoot->pDoc, doc.get());
    EXPECT_EQ(XmlGetMainElement(doc.get()), nullptr);
    EXPECT_EQ(doc->nIndent, 2);
    EXPECT_EQ(doc->nTabWidth, 4);
    EXPECT_EQ(doc->nWrapMargin, 72);
    EXPECT_EQ(doc->nEntityCallbacks, 1);
    EXPECT_EQ(doc->apfnEntity[0], &XmlNamedEntity);
    EXPECT_EQ(doc->pfnType, &XmlDefaultTypeCallback);
    EXPECT_EQ(doc->pfnWhitespace, &XmlDefaultWhitespaceCallback);
    EXPECT_EQ(doc->pfnCustomLoad, nullptr);
    EXPECT_EQ(doc->pfnCustomSave, nullptr);
    EXPECT_EQ(XmlDefaultTypeCallback(doc.get(), pRoot), XML_VALUE);
}

TEST(XmlTree, SettersKeepTheirRules)
{
    Document doc = NewDocument();
    XmlSetTabWidth(doc.get(), 0);
    EXPECT_EQ(doc->nTabWidth, 4);
    XmlSetTabWidth(doc.get(), 8);
    EXPECT_EQ(doc->nTabWidth, 8);
    XmlSetIndent(doc.get(), 0);
    EXPECT_EQ(doc->nIndent, 0);
    XmlSetWrapMargin(doc.get(), 0);
    EXPECT_EQ(doc->nWrapMargin, 0);
    auto type = [](XmlDocument*, XmlNode*) -> int32_t { return XML_TEXT; };
    XmlSetTypeCallback(doc.get(), type);
    EXPECT_EQ(doc->pfnType(doc.get(), nullptr), XML_TEXT);
    XmlSetTypeCallback(doc.get(), nullptr);
    EXPECT_EQ(doc->pfnType, &XmlDefaultTypeCallback);
    auto none = [](XmlDocument*, XmlNode*, int, char*, std::size_t) { return 0; };
    XmlSetWhitespaceCallback(doc.get(), none);
    XmlSetWhitespaceCallback(doc.get(), nullptr);
    EXPECT_EQ(doc->pfnWhitespace, &XmlDefaultWhitespaceCallback);
    // A null document is ignored by every setter.
    XmlSetIndent(nullptr, 3);
    XmlSetTabWidth(nullptr, 3);
    XmlSetWrapMargin(nullptr, 3);
    XmlSetTypeCallback(nullptr, nullptr);
    XmlSetWhitespaceCallback(nullptr, nullptr);
    XmlSetCustomCallbacks(nullptr, nullptr, nullptr);
    XmlDeleteDocument(nullptr);
}

TEST(XmlTree, NewXmlAddsTheDeclarationAndTheMainElement)
{
    struct Case {
        const char* pszVersion;
        const char* pszDeclaration;
    };
    const Case aCases[] = {
        {nullptr, "?xml version=\"1.0\" encoding=\"utf-8\"?"},
        {"1.1", "?xml version=\"1.1\" encoding=\"utf-8\"?"},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszDeclaration);
        Document doc = NewDocument();
        XmlNode* pMain = XmlNewXml(doc.get(), c.pszVersion, "benchmark");
        ASSERT_NE(pMain, nullptr);
        XmlNode* pRoot = XmlGetRoot(doc.get());
        EXPECT_EQ(Names(pRoot), std::string(c.pszDeclaration) + ",benchmark");
        EXPECT_EQ(XmlGetType(XmlFirstChild(pRoot)), XML_ELEMENT);
        EXPECT_EQ(XmlGetMainElement(doc.get()), pMain);
        EXPECT_EQ(XmlLastChild(pRoot), pMain);
        EXPECT_EQ(XmlGetDepth(pMain), 0);
    }
}

TEST(XmlTree, NewXmlRefusesWhatWouldMakeABrokenFile)
{
    Document doc = NewDocument();
    EXPECT_EQ(XmlNewXml(doc.get(), nullptr, nullptr), nullptr);
    EXPECT_EQ(XmlFirstChild(XmlGetRoot(doc.get())), nullptr);
    // A version too long for the declaration's buffer would cut off its closing "?".
    std::string version(600, '1');
    EXPECT_EQ(XmlNewXml(doc.get(), version.c_str(), "r"), nullptr);
    EXPECT_EQ(XmlFirstChild(XmlGetRoot(doc.get())), nullptr);
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    ASSERT_NE(pMain, nullptr);
    // A second main element.
    EXPECT_EQ(XmlNewXml(doc.get(), nullptr, "s"), nullptr);
    EXPECT_EQ(XmlGetMainElement(doc.get()), pMain);
    EXPECT_EQ(XmlNewXml(nullptr, nullptr, "r"), nullptr);
}

TEST(XmlTree, AddingAppendsAndNeedsAName)
{
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    XmlNode* pA = XmlAddElement(pMain, "a");
    XmlNode* pB = XmlAddValue(pMain, "b", const_cast<char*>("x"), 1);
    XmlNode* pText = XmlAddText(pMain, "t");
    ASSERT_TRUE(pA && pB && pText);
    EXPECT_EQ(Names(pMain), "a,b,#");
    EXPECT_EQ(XmlPrevSibling(pB), pA);
    EXPECT_EQ(XmlNextSibling(pB), pText);
    EXPECT_EQ(XmlGetParent(pB), pMain);
    EXPECT_EQ(pB->pDoc, doc.get());
    EXPECT_EQ(XmlGetUserData(pB), 0);
    XmlSetUserData(pB, 17);
    EXPECT_EQ(XmlGetUserData(pB), 17);
    EXPECT_EQ(XmlGetDepth(XmlGetRoot(doc.get())), -1);
    EXPECT_EQ(XmlGetDepth(XmlAddElement(pA, "deep")), 2);
    EXPECT_EQ(XmlGetDepth(nullptr), -1);

    EXPECT_EQ(XmlAddElement(pMain, nullptr), nullptr);
    EXPECT_EQ(XmlAddElement(nullptr, "a"), nullptr);
    EXPECT_EQ(XmlAddValue(pMain, nullptr, const_cast<char*>("x"), 1), nullptr);
    EXPECT_EQ(XmlAddValue(pMain, "v", nullptr, 1), nullptr);
    EXPECT_EQ(XmlAddText(pMain, nullptr), nullptr);
    EXPECT_EQ(XmlAddCustom(pMain, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(Names(pMain), "a,b,#");

    // Without a copy the node takes the caller's malloc'ed text.
    char* pszOwned = static_cast<char*>(std::malloc(4));
    std::memcpy(pszOwned, "own", 4);
    XmlNode* pOwned = XmlAddValue(pMain, "o", pszOwned, 0);
    ASSERT_NE(pOwned, nullptr);
    EXPECT_EQ(XmlGetValue(pOwned), pszOwned);
}

TEST(XmlTree, NamesAreReadAndChangedOnElementsAndValuesOnly)
{
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    XmlNode* pValue = XmlAddValue(pMain, "v", const_cast<char*>("1"), 1);
    XmlNode* pText = XmlAddText(pMain, "t");
    XmlNode* pCustom = XmlAddCustom(pMain, "c", nullptr, nullptr);
    EXPECT_STREQ(XmlGetName(pMain), "r");
    EXPECT_STREQ(XmlGetName(pValue), "v");
    EXPECT_EQ(XmlGetName(pText), nullptr);
    EXPECT_EQ(XmlGetName(pCustom), nullptr);
    EXPECT_EQ(XmlGetName(XmlGetRoot(doc.get())), nullptr);
    EXPECT_TRUE(XmlSetName(pValue, "w"));
    EXPECT_STREQ(XmlGetName(pValue), "w");
    EXPECT_FALSE(XmlSetName(pValue, nullptr));
    EXPECT_FALSE(XmlSetName(pText, "x"));
    EXPECT_FALSE(XmlSetName(pCustom, "x"));
    EXPECT_FALSE(XmlSetName(XmlGetRoot(doc.get()), "x"));
}

TEST(XmlTree, FindChildLooksAtDirectChildrenOnly)
{
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "benchmark");
    XmlNode* pGroup = XmlAddElement(pMain, "group");
    XmlAddValue(pGroup, "drive", const_cast<char*>("nested"), 1);
    XmlAddText(pMain, "drive");
    XmlNode* pComment = XmlAddElement(pMain, "!-- drive --");
    EXPECT_EQ(XmlFindChild(pMain, "drive"), nullptr);
    XmlNode* pDrive = XmlAddValue(pMain, "drive", const_cast<char*>("D:"), 1);
    XmlNode* pSecond = XmlAddValue(pMain, "drive", const_cast<char*>("E:"), 1);
    EXPECT_EQ(XmlFindChild(pMain, "drive"), pDrive);
    EXPECT_NE(XmlFindChild(pMain, "drive"), pSecond);
    EXPECT_EQ(XmlFindChild(pMain, "Drive"), nullptr);
    EXPECT_EQ(XmlFindChild(pMain, "driv"), nullptr);
    EXPECT_EQ(XmlFindChild(pMain, "!-- drive --"), pComment);
    EXPECT_EQ(XmlFindChild(pMain, nullptr), nullptr);
    EXPECT_EQ(XmlFindChild(nullptr, "drive"), nullptr);
}

TEST(XmlTree, DeletingAFullDocumentFreesEverything)
{
    g_nDestroyed = 0;
    {
        Document doc = NewDocument();
        XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "benchmark");
        XmlSetAttribute(pMain, "version", "5.00.2");
        XmlSetAttribute(XmlGetRoot(doc.get()), "rootattr", "x");
        for (int i = 0; i < 21; ++i) {
            XmlNode* pRate = XmlAddElement(pMain, "rate");
            XmlSetAttribute(pRate, "index", std::to_string(i).c_str());
            XmlSetAttribute(pRate, "bare", nullptr);
            XmlAddUInt64(pRate, "writebps", 1000u * i);
            XmlAddHex(pRate, "h", "ab", 2);
            XmlAddText(pRate, "text");
            XmlAddCData(pRate, "c<d");
            XmlGetText(XmlLastChild(pRate));   // reads the CDATA text out into its own copy
            XmlAddCustom(pRate, "custom", new int(i), CountDestroy);
        }
        XmlAddElement(XmlGetRoot(doc.get()), "!-- trailing comment --");
    }
    // Every custom datum destroyed once; the sanitizer build checks that nothing leaked.
    EXPECT_EQ(g_nDestroyed, 21);
}

TEST(XmlTree, DeletingADeepTreeNeedsNoRecursion)
{
    Document doc = NewDocument();
    XmlNode* pNode = XmlNewXml(doc.get(), nullptr, "r");
    for (int i = 0; i < 200000; ++i) {
        pNode = XmlAddElement(pNode, "d");
        XmlAddText(pNode, "t");
    }
    XmlDeleteNode(XmlGetMainElement(doc.get()));
    EXPECT_EQ(XmlGetMainElement(doc.get()), nullptr);
    EXPECT_EQ(Names(XmlGetRoot(doc.get())), "?xml version=\"1.0\" encoding=\"utf-8\"?");
}

TEST(XmlTree, DeleteNodeUnlinksItAndLeavesTheRoot)
{
    g_nDestroyed = 0;
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    XmlNode* pA = XmlAddElement(pMain, "a");
    XmlNode* pB = XmlAddElement(pMain, "b");
    XmlNode* pC = XmlAddElement(pMain, "c");
    XmlAddCustom(XmlAddElement(pB, "inner"), "x", new int(1), CountDestroy);
    XmlDeleteNode(pB);
    EXPECT_EQ(g_nDestroyed, 1);
    EXPECT_EQ(Names(pMain), "a,c");
    EXPECT_EQ(XmlNextSibling(pA), pC);
    EXPECT_EQ(XmlPrevSibling(pC), pA);
    XmlDeleteNode(pA);
    XmlDeleteNode(pC);
    EXPECT_EQ(XmlFirstChild(pMain), nullptr);
    EXPECT_EQ(XmlLastChild(pMain), nullptr);
    XmlDeleteNode(XmlGetRoot(doc.get()));
    XmlDeleteNode(nullptr);
    EXPECT_STREQ(XmlGetRoot(doc.get())->pszName, "*ROOT*");
    EXPECT_EQ(XmlGetMainElement(doc.get()), pMain);
}

TEST(XmlTree, InsertAndRemoveMoveNodesBetweenSiblings)
{
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    XmlNode* pA = XmlAddElement(pMain, "a");
    XmlNode* pB = XmlAddElement(pMain, "b");
    XmlNode* pC = XmlAddElement(pMain, "c");
    XmlNode* pChild = XmlAddElement(pB, "b1");

    EXPECT_TRUE(XmlRemoveNode(pB));
    EXPECT_EQ(Names(pMain), "a,c");
    EXPECT_EQ(XmlGetParent(pB), nullptr);
    EXPECT_EQ(XmlFirstChild(pB), pChild);   // the subtree stays with it

    EXPECT_TRUE(XmlInsertBefore(pA, pB));
    EXPECT_EQ(Names(pMain), "b,a,c");
    EXPECT_EQ(XmlFirstChild(pMain), pB);
    EXPECT_EQ(XmlGetParent(pB), pMain);
    ASSERT_TRUE(XmlRemoveNode(pB));
    EXPECT_TRUE(XmlInsertAfter(pC, pB));
    EXPECT_EQ(Names(pMain), "a,c,b");
    EXPECT_EQ(XmlLastChild(pMain), pB);
    ASSERT_TRUE(XmlRemoveNode(pB));
    EXPECT_TRUE(XmlInsertAfter(pA, pB));
    EXPECT_EQ(Names(pMain), "a,b,c");
    ASSERT_TRUE(XmlRemoveNode(pB));
    EXPECT_TRUE(XmlInsertBefore(pC, pB));
    EXPECT_EQ(Names(pMain), "a,b,c");
    EXPECT_EQ(XmlPrevSibling(pC), pB);
    EXPECT_EQ(XmlNextSibling(pA), pB);

    // Refused: a linked node, the root, a node next to itself, a sibling without a parent,
    // a removed subtree put inside itself, a node of another document.
    EXPECT_FALSE(XmlInsertBefore(pA, pC));
    EXPECT_FALSE(XmlInsertBefore(pA, XmlGetRoot(doc.get())));
    EXPECT_FALSE(XmlInsertBefore(XmlGetRoot(doc.get()), XmlAddElement(pA, "x")));
    ASSERT_TRUE(XmlRemoveNode(pB));
    EXPECT_FALSE(XmlInsertBefore(pB, pB));
    EXPECT_FALSE(XmlInsertAfter(pChild, pB));
    Document other = NewDocument();
    XmlNode* pForeign = XmlAddElement(XmlGetRoot(other.get()), "f");
    ASSERT_TRUE(XmlRemoveNode(pForeign));
    EXPECT_FALSE(XmlInsertAfter(pA, pForeign));
    EXPECT_TRUE(XmlInsertAfter(pA, pB));
    XmlDeleteNode(pForeign);
    EXPECT_FALSE(XmlRemoveNode(XmlGetRoot(doc.get())));
    EXPECT_FALSE(XmlRemoveNode(nullptr));

    // A removed main element is no longer the document's.
    EXPECT_TRUE(XmlRemoveNode(pMain));
    EXPECT_EQ(XmlGetMainElement(doc.get()), nullptr);
    XmlDeleteNode(pMain);
}

TEST(XmlTree, SettingAnAttributeReplacesInPlaceOrAppends)
{
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    EXPECT_TRUE(XmlSetAttribute(pMain, "a", "1"));
    EXPECT_TRUE(XmlSetAttribute(pMain, "b", "2"));
    EXPECT_TRUE(XmlSetAttribute(pMain, "c", "3"));
    EXPECT_TRUE(XmlSetAttribute(pMain, "b", "20"));
    EXPECT_EQ(Attributes(pMain), "a=1,b=20,c=3");
    EXPECT_TRUE(XmlSetAttribute(pMain, "d", nullptr));
    EXPECT_EQ(Attributes(pMain), "a=1,b=20,c=3,d");
    EXPECT_TRUE(XmlSetAttribute(pMain, "a", nullptr));
    EXPECT_EQ(Attributes(pMain), "a,b=20,c=3,d");
    EXPECT_STREQ(XmlGetAttribute(pMain, "b"), "20");
    EXPECT_EQ(XmlGetAttribute(pMain, "a"), nullptr);
    ASSERT_NE(XmlFindAttribute(pMain, "a"), nullptr);
    EXPECT_EQ(XmlFindAttribute(pMain, "z"), nullptr);
    EXPECT_EQ(XmlFindAttribute(pMain, "B"), nullptr);

    EXPECT_TRUE(XmlDeleteAttribute(pMain, "b"));
    EXPECT_EQ(Attributes(pMain), "a,c=3,d");
    EXPECT_TRUE(XmlDeleteAttribute(pMain, "a"));
    EXPECT_TRUE(XmlDeleteAttribute(pMain, "d"));
    EXPECT_EQ(Attributes(pMain), "c=3");
    EXPECT_FALSE(XmlDeleteAttribute(pMain, "d"));
    EXPECT_TRUE(XmlDeleteAttribute(pMain, "c"));
    EXPECT_EQ(pMain->pFirstAttribute, nullptr);
    EXPECT_EQ(pMain->pLastAttribute, nullptr);

    // Nodes never written with a tag take no attributes.
    EXPECT_FALSE(XmlSetAttribute(XmlAddText(pMain, "t"), "a", "1"));
    EXPECT_FALSE(XmlSetAttribute(nullptr, "a", "1"));
    EXPECT_FALSE(XmlSetAttribute(pMain, nullptr, "1"));
}

TEST(XmlTree, TextCDataAndCustomNodes)
{
    g_nDestroyed = 0;
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");

    XmlNode* pText = XmlAddText(pMain, "hello");
    EXPECT_EQ(XmlGetType(pText), XML_TEXT);
    EXPECT_STREQ(XmlGetText(pText), "hello");
    EXPECT_EQ(XmlGetValue(pText), nullptr);
    EXPECT_TRUE(XmlSetText(pText, "bye"));
    EXPECT_STREQ(XmlGetText(pText), "bye");

    XmlNode* pCData = XmlAddCData(pMain, "x<y]");
    EXPECT_EQ(XmlGetType(pCData), XML_ELEMENT);
    EXPECT_STREQ(pCData->pszName, "![CDATA[x<y]]]");
    EXPECT_STREQ(XmlGetText(pCData), "x<y]");
    EXPECT_TRUE(XmlSetText(pCData, "z"));
    EXPECT_STREQ(pCData->pszName, "![CDATA[z]]");
    EXPECT_STREQ(XmlGetText(pCData), "z");
    EXPECT_EQ(XmlGetType(pCData), XML_ELEMENT);

    // An element becomes a Value node by getting text; a Value's text is replaced.
    XmlNode* pElement = XmlAddElement(pMain, "e");
    EXPECT_EQ(XmlGetValue(pElement), nullptr);
    EXPECT_EQ(XmlGetText(pElement), nullptr);
    EXPECT_TRUE(XmlSetText(pElement, "42"));
    EXPECT_EQ(XmlGetType(pElement), XML_VALUE);
    EXPECT_STREQ(XmlGetValue(pElement), "42");
    EXPECT_TRUE(XmlSetText(pElement, "43"));
    EXPECT_STREQ(XmlGetValue(pElement), "43");

    int* pData = new int(5);
    XmlNode* pCustom = XmlAddCustom(pMain, "c", pData, CountDestroy);
    EXPECT_EQ(XmlGetType(pCustom), XML_CUSTOM);
    EXPECT_EQ(XmlGetCustom(pCustom), pData);
    EXPECT_EQ(XmlGetCustom(pElement), nullptr);

    // Refused: comments and other markup, Custom nodes, the root, no text.
    XmlNode* pComment = XmlAddElement(pMain, "!-- c --");
    EXPECT_FALSE(XmlSetText(pComment, "x"));
    EXPECT_FALSE(XmlSetText(XmlAddElement(XmlGetRoot(doc.get()), "?pi?"), "x"));
    EXPECT_FALSE(XmlSetText(pCustom, "x"));
    EXPECT_FALSE(XmlSetText(XmlGetRoot(doc.get()), "x"));
    EXPECT_FALSE(XmlSetText(pText, nullptr));
    EXPECT_EQ(XmlGetType(pComment), XML_ELEMENT);
    EXPECT_EQ(XmlGetText(pComment), nullptr);

    XmlDeleteNode(pCustom);
    EXPECT_EQ(g_nDestroyed, 1);
}

TEST(XmlTree, TheHundredAndFirstEntityCallbackIsRefused)
{
    CMessageRecorder recorder;
    Document doc = NewDocument();
    EXPECT_TRUE(XmlAddEntityCallback(doc.get(), ResolveFoo));
    EXPECT_EQ(XmlResolveEntity(doc.get(), "foo"), 1234);
    EXPECT_EQ(XmlResolveEntity(doc.get(), "amp"), 38);
    for (int i = 2; i < XML_MAX_ENTITY_CALLBACKS; ++i)
        ASSERT_TRUE(XmlAddEntityCallback(doc.get(), ResolveNothing)) << i;
    EXPECT_EQ(doc->nEntityCallbacks, 100);
    EXPECT_TRUE(recorder.Messages().empty());

    EXPECT_FALSE(XmlAddEntityCallback(doc.get(), ResolveNothing));
    EXPECT_EQ(recorder.Texts(CMessageRecorder::Box::Error), std::vector<std::string>{"Unable to add entity callback!"});
    EXPECT_EQ(doc->nEntityCallbacks, 100);

    // Removing one makes room again; the rest keep their order.
    EXPECT_TRUE(XmlRemoveEntityCallback(doc.get(), ResolveFoo));
    EXPECT_EQ(XmlResolveEntity(doc.get(), "foo"), -1);
    EXPECT_EQ(doc->apfnEntity[0], &XmlNamedEntity);
    EXPECT_EQ(doc->apfnEntity[1], &ResolveNothing);
    EXPECT_TRUE(XmlAddEntityCallback(doc.get(), ResolveFoo));
    EXPECT_EQ(XmlResolveEntity(doc.get(), "foo"), 1234);
    EXPECT_FALSE(XmlRemoveEntityCallback(doc.get(), nullptr));
    EXPECT_FALSE(XmlAddEntityCallback(doc.get(), nullptr));
    EXPECT_EQ(recorder.Messages().size(), 1u);
}

TEST(XmlTree, RemovingTheTableLeavesNamedEntitiesUnresolved)
{
    Document doc = NewDocument();
    EXPECT_TRUE(XmlRemoveEntityCallback(doc.get(), XmlNamedEntity));
    EXPECT_EQ(doc->nEntityCallbacks, 0);
    EXPECT_EQ(XmlResolveEntity(doc.get(), "amp"), -1);
    EXPECT_FALSE(XmlRemoveEntityCallback(doc.get(), XmlNamedEntity));
}

TEST(XmlTree, ReportingAddersSayWhatFailed)
{
    CMessageRecorder recorder;
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "benchmark");
    XmlNode* pText = XmlAddText(pMain, "t");
    const unsigned char abBytes[] = {1};
    struct Case {
        bool bFailed;
        const char* pszMessage;
    };
    const Case aCases[] = {
        {XmlAddValueReport(pMain, nullptr, "x") == nullptr, "Unable to add XML <(null)> to <benchmark>"},
        {XmlAddValueReport(nullptr, "drive", "x") == nullptr, "Unable to add XML <drive> to <(null)>"},
        {XmlAddValueReport(pMain, "drive", nullptr) == nullptr, "Unable to add XML <drive> to <benchmark>"},
        {XmlAddBoolReport(nullptr, "b", 1) == nullptr, "Unable to add XML <b> to <(null)>"},
        {XmlAddIntReport(pMain, nullptr, 1) == nullptr, "Unable to add XML <(null)> to <benchmark>"},
        {XmlAddUIntReport(nullptr, "u", 1) == nullptr, "Unable to add XML <u> to <(null)>"},
        {XmlAddInt64Report(nullptr, "l", 1) == nullptr, "Unable to add XML <l> to <(null)>"},
        {XmlAddUInt64Report(nullptr, "q", 1) == nullptr, "Unable to add XML <q> to <(null)>"},
        {XmlAddRealReport(nullptr, "d", 1) == nullptr, "Unable to add XML <d> to <(null)>"},
        {XmlAddHexReport(pMain, "h", nullptr, 3) == nullptr, "Unable to add XML <h> to <benchmark>"},
        {XmlAddElementReport(pMain, nullptr) == nullptr, "Unable to add XML element <(null)>"},
        {XmlAddElementReport(nullptr, "rate") == nullptr, "Unable to add XML element <rate>"},
        {XmlSetAttributeReport(pText, "index", "7") == 0, "Unable to add attr index=7 to <(null)>"},
        {XmlSetAttributeReport(pMain, nullptr, "7") == 0, "Unable to add attr (null)=7 to <benchmark>"},
    };
    std::vector<std::string> expected;
    for (const Case& c : aCases) {
        EXPECT_TRUE(c.bFailed) << c.pszMessage;
        expected.push_back(c.pszMessage);
    }
    EXPECT_EQ(recorder.Texts(CMessageRecorder::Box::Error), expected);

    // Success reports nothing.
    recorder.Clear();
    EXPECT_NE(XmlAddValueReport(pMain, "drive", "D:"), nullptr);
    EXPECT_NE(XmlAddBoolReport(pMain, "b", 1), nullptr);
    EXPECT_NE(XmlAddIntReport(pMain, "i", -1), nullptr);
    EXPECT_NE(XmlAddUIntReport(pMain, "u", 1), nullptr);
    EXPECT_NE(XmlAddInt64Report(pMain, "l", 1), nullptr);
    EXPECT_NE(XmlAddUInt64Report(pMain, "q", 1), nullptr);
    EXPECT_NE(XmlAddRealReport(pMain, "d", 1), nullptr);
    EXPECT_NE(XmlAddHexReport(pMain, "h", abBytes, 1), nullptr);
    EXPECT_NE(XmlAddElementReport(pMain, "rate"), nullptr);
    EXPECT_TRUE(XmlSetAttributeReport(pMain, "version", "5"));
    EXPECT_TRUE(recorder.Messages().empty());
}
