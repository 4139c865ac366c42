#include "XmlTreeSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace xmltree;

namespace {

// r
//   a id=1
//     b
//       c id=2
//   a id=3
//     b id=4
//       d
//       c
//   #text
//   e
struct Tree {
    Document doc = NewDocument();
    XmlNode* pMain = nullptr;
    XmlNode* pA1 = nullptr;
    XmlNode* pB1 = nullptr;
    XmlNode* pC1 = nullptr;
    XmlNode* pA2 = nullptr;
    XmlNode* pB2 = nullptr;
    XmlNode* pD = nullptr;
    XmlNode* pC2 = nullptr;
    XmlNode* pText = nullptr;
    XmlNode* pE = nullptr;

    Tree()
    {
        pMain = XmlNewXml(doc.get(), nullptr, "r");
        pA1 = XmlAddElement(pMain, "a");
        XmlSetAttribute(pA1, "id", "1");
        pB1 = XmlAddElement(pA1, "b");
        pC1 = XmlAddElement(pB1, "c");
        XmlSetAttribute(pC1, "id", "2");
        pA2 = XmlAddElement(pMain, "a");
        XmlSetAttribute(pA2, "id", "3");
        pB2 = XmlAddElement(pA2, "b");
        XmlSetAttribute(pB2, "id", "4");
        pD = XmlAddElement(pB2, "d");
        pC2 = XmlAddElement(pB2, "c");
        pText = XmlAddText(pMain, "text");
        pE = XmlAddElement(pMain, "e");
    }
};

} // namespace

TEST(XmlSearch, NextAndPrevWalkInDocumentOrderWithinTheTop)
{
    Tree t;
    const std::vector<XmlNode*> order = {t.pA1, t.pB1, t.pC1, t.pA2, t.pB2, t.pD, t.pC2, t.pText, t.pE};
    std::vector<XmlNode*> forward;
    for (XmlNode* p = XmlNextNode(t.pMain, t.pMain); p; p = XmlNextNode(p, t.pMain))
        forward.push_back(p);
    EXPECT_EQ(forward, order);
    std::vector<XmlNode*> backward;
    for (XmlNode* p = t.pE; p; p = XmlPrevNode(p, t.pMain))
        backward.insert(backward.begin(), p);
    EXPECT_EQ(backward, order);

    // Within a smaller top the walk stays inside it.
    EXPECT_EQ(XmlNextNode(t.pC1, t.pA1), nullptr);
    EXPECT_EQ(XmlNextNode(t.pA1, t.pA1), t.pB1);
    EXPECT_EQ(XmlPrevNode(t.pB1, t.pA1), nullptr);
    EXPECT_EQ(XmlPrevNode(t.pC1, t.pA1), t.pB1);
    // Without a top: the whole document, the root never returned.
    EXPECT_EQ(XmlNextNode(t.pC1, nullptr), t.pA2);
    EXPECT_EQ(XmlNextNode(t.pE, nullptr), nullptr);
    XmlNode* pDeclaration = XmlFirstChild(XmlGetRoot(t.doc.get()));
    EXPECT_EQ(XmlPrevNode(t.pMain, nullptr), pDeclaration);
    EXPECT_EQ(XmlPrevNode(pDeclaration, nullptr), nullptr);
    EXPECT_EQ(XmlNextNode(nullptr, t.pMain), nullptr);
    EXPECT_EQ(XmlPrevNode(nullptr, t.pMain), nullptr);
}

TEST(XmlSearch, FindNodeByNameAndAttribute)
{
    Tree t;
    struct Case {
        const char* pszTrace;
        XmlNode* pFrom;
        XmlNode* pTop;
        const char* pszName;
        const char* pszAttribute;
        const char* pszValue;
        int bDescend;
        XmlNode* pExpected;
    };
    const Case aCases[] = {
        {"first c anywhere", t.pMain, t.pMain, "c", nullptr, nullptr, 1, t.pC1},
        {"next c after the first", t.pC1, t.pMain, "c", nullptr, nullptr, 1, t.pC2},
        {"no c after the last", t.pC2, t.pMain, "c", nullptr, nullptr, 1, nullptr},
        {"c below the first a only", t.pA1, t.pA1, "c", nullptr, nullptr, 1, t.pC1},
        {"not past the top", t.pC1, t.pA1, "c", nullptr, nullptr, 1, nullptr},
        {"with the attribute", t.pMain, t.pMain, "c", "id", nullptr, 1, t.pC1},
        {"with the attribute's value", t.pMain, t.pMain, "a", "id", "3", 1, t.pA2},
        {"any name with the value", t.pMain, t.pMain, nullptr, "id", "4", 1, t.pB2},
        {"any name: the next named node", t.pC2, t.pMain, nullptr, nullptr, nullptr, 1, t.pE},
        {"value nobody has", t.pMain, t.pMain, "a", "id", "9", 1, nullptr},
        {"siblings only: not the grandchild", t.pMain, t.pMain, "c", nullptr, nullptr, 0, nullptr},
        {"siblings only: the children of the top", t.pMain, t.pMain, "e", nullptr, nullptr, 0, t.pE},
        {"siblings only: after a node", t.pA1, t.pMain, "a", nullptr, nullptr, 0, t.pA2},
        {"siblings only: not before it", t.pA2, t.pMain, "a", nullptr, nullptr, 0, nullptr},
        {"no start node", nullptr, t.pMain, "a", nullptr, nullptr, 1, nullptr},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszTrace);
        EXPECT_EQ(XmlFindNode(c.pFrom, c.pTop, c.pszName, c.pszAttribute, c.pszValue, c.bDescend), c.pExpected);
    }
}

TEST(XmlSearch, PathStepsThroughChildrenOrAnyDepth)
{
    Tree t;
    std::string longStep(256, 'n');
    std::string longestStep(255, 'n');
    XmlNode* pLong = XmlAddElement(t.pE, longestStep.c_str());
    struct Case {
        const char* pszTrace;
        XmlNode* pFrom;
        std::string path;
        XmlNode* pExpected;
    };
    const Case aCases[] = {
        {"child", t.pMain, "a", t.pA1},
        {"grandchild", t.pMain, "a/b", t.pB1},
        {"a later a that has the rest", t.pMain, "a/b/d", t.pD},
        {"three steps", t.pMain, "a/b/c", t.pC1},
        {"no such child", t.pMain, "b", nullptr},
        {"any depth", t.pMain, "*/c", t.pC1},
        {"any depth then children", t.pMain, "*/b/d", t.pD},
        {"any depth below a node", t.pA2, "*/c", t.pC2},
        {"from the root", XmlGetRoot(t.doc.get()), "r/e", t.pE},
        {"empty steps left out", t.pMain, "a//b/", t.pB1},
        {"empty path", t.pMain, "", nullptr},
        {"only the prefix", t.pMain, "*/", nullptr},
        {"a step of 255 characters", t.pMain, "e/" + longestStep, pLong},
        {"a step of 256 characters", t.pMain, "e/" + longStep, nullptr},
        {"a name is matched whole", t.pMain, "a/bb", nullptr},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszTrace);
        EXPECT_EQ(XmlFindPath(c.pFrom, c.path.c_str()), c.pExpected);
    }
    EXPECT_EQ(XmlFindPath(nullptr, "a"), nullptr);
    EXPECT_EQ(XmlFindPath(t.pMain, nullptr), nullptr);
}

TEST(XmlSearch, IndexSortsByTheAttributeAndFindsByBinarySearch)
{
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    const char* apszIds[] = {"m", "c", "x", "c", "a", "q"};
    std::vector<XmlNode*> items;
    for (const char* pszId : apszIds) {
        XmlNode* pItem = XmlAddElement(pMain, "item");
        XmlSetAttribute(pItem, "id", pszId);
        items.push_back(pItem);
    }
    XmlNode* pNested = XmlAddElement(XmlAddElement(pMain, "group"), "item");
    XmlSetAttribute(pNested, "id", "n");
    XmlAddElement(pMain, "item");                         // no id: left out
    XmlSetAttribute(XmlAddElement(pMain, "item"), "id", nullptr);   // bare id: left out
    XmlSetAttribute(XmlAddElement(pMain, "other"), "id", "b");      // another name

    XmlIndex* pIndex = XmlNewIndex(pMain, "item", "id");
    ASSERT_NE(pIndex, nullptr);
    ASSERT_EQ(pIndex->nNodes, 7);
    std::string sorted;
    for (int i = 0; i < pIndex->nNodes; ++i)
        sorted += XmlGetAttribute(pIndex->apNodes[i], "id");
    EXPECT_EQ(sorted, "accmnqx");
    EXPECT_EQ(XmlFindIndex(pIndex, "c"), items[1]);   // the first of equal values in document order
    EXPECT_EQ(XmlFindIndex(pIndex, "x"), items[2]);
    EXPECT_EQ(XmlFindIndex(pIndex, "a"), items[4]);
    EXPECT_EQ(XmlFindIndex(pIndex, "n"), pNested);
    EXPECT_EQ(XmlFindIndex(pIndex, "b"), nullptr);
    EXPECT_EQ(XmlFindIndex(pIndex, "zz"), nullptr);
    EXPECT_EQ(XmlFindIndex(pIndex, ""), nullptr);
    EXPECT_EQ(XmlFindIndex(pIndex, nullptr), nullptr);
    XmlDeleteIndex(pIndex);

    XmlIndex* pEmpty = XmlNewIndex(pMain, "none", "id");
    ASSERT_NE(pEmpty, nullptr);
    EXPECT_EQ(pEmpty->nNodes, 0);
    EXPECT_EQ(XmlFindIndex(pEmpty, "a"), nullptr);
    XmlDeleteIndex(pEmpty);
    EXPECT_EQ(XmlNewIndex(nullptr, "item", "id"), nullptr);
    XmlDeleteIndex(nullptr);
}
