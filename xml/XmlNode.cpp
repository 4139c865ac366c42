#include "xml/XmlTree.h"

#include <cstdlib>
#include <cstring>

char* XmlCopyText(const char* pszText)
{
    if (!pszText)
        return nullptr;
    std::size_t nLength = std::strlen(pszText);
    char* pszCopy = static_cast<char*>(std::malloc(nLength + 1));
    if (pszCopy)
        std::memcpy(pszCopy, pszText, nLength + 1);
    return pszCopy;
}

bool XmlIsMarkupName(const char* pszName)
{
    return pszName && (pszName[0] == '!' || pszName[0] == '?');
}

bool XmlIsCDataNode(const XmlNode* pNode)
{
    return pNode && pNode->nType == XML_ELEMENT && pNode->pszName &&
           std::strncmp(pNode->pszName, "![CDATA[", 8) == 0;
}

const char* XmlNameOrNull(const char* pszName)
{
    return pszName ? pszName : "(null)";
}

XmlNode* XmlCreateNode(XmlNode* pParent, const char* pszName, int32_t nType)
{
    if (!pParent)
        return nullptr;
    if (!pszName && nType != XML_TEXT && nType != XML_ROOT)
        return nullptr;
    XmlNode* pNode = static_cast<XmlNode*>(std::calloc(1, sizeof(XmlNode)));
    if (!pNode)
        return nullptr;
    if (pszName) {
        pNode->pszName = XmlCopyText(pszName);
        if (!pNode->pszName) {
            std::free(pNode);
            return nullptr;
        }
    }
    pNode->nType = nType;
    pNode->pDoc = pParent->pDoc;
    pNode->pParent = pParent;
    pNode->pPrev = pParent->pLastChild;
    if (pParent->pLastChild)
        pParent->pLastChild->pNext = pNode;
    else
        pParent->pFirstChild = pNode;
    pParent->pLastChild = pNode;
    return pNode;
}

void XmlFreeNode(XmlNode* pNode)
{
    std::free(pNode->pszName);
    XmlAttribute* pAttribute = pNode->pFirstAttribute;
    while (pAttribute) {
        XmlAttribute* pNext = pAttribute->pNext;
        std::free(pAttribute->pszName);
        std::free(pAttribute->pszValue);
        std::free(pAttribute);
        pAttribute = pNext;
    }
    if (pNode->nType == XML_CUSTOM) {
        if (pNode->pfnDestroy)
            pNode->pfnDestroy(pNode->value.pCustom);
    } else {
        // Text and Value nodes own their text; a CDATA Element may hold its text read out.
        std::free(pNode->value.pszText);
    }
    std::free(pNode);
}

void XmlUnlinkNode(XmlNode* pNode)
{
    XmlNode* pParent = pNode->pParent;
    if (pNode->pPrev)
        pNode->pPrev->pNext = pNode->pNext;
    else if (pParent && pParent->pFirstChild == pNode)
        pParent->pFirstChild = pNode->pNext;
    if (pNode->pNext)
        pNode->pNext->pPrev = pNode->pPrev;
    else if (pParent && pParent->pLastChild == pNode)
        pParent->pLastChild = pNode->pPrev;
    pNode->pParent = nullptr;
    pNode->pPrev = nullptr;
    pNode->pNext = nullptr;
    // A document must not keep pointing at a main element that left its tree.
    if (pNode->pDoc && pNode->pDoc->pMainElement == pNode)
        pNode->pDoc->pMainElement = nullptr;
}

XmlNode* XmlAddElement(XmlNode* pParent, const char* pszName)
{
    return XmlCreateNode(pParent, pszName, XML_ELEMENT);
}

int XmlRemoveNode(XmlNode* pNode)
{
    if (!pNode || pNode->nType == XML_ROOT)
        return 0;
    XmlUnlinkNode(pNode);
    return 1;
}

void XmlDeleteNode(XmlNode* pNode)
{
    // The root belongs to its document; XmlDeleteDocument frees it.
    if (!pNode || pNode->nType == XML_ROOT)
        return;
    XmlUnlinkNode(pNode);
    // Post-order walk without recursion, so a deeply nested tree cannot exhaust the stack:
    // start at the deepest first descendant; after a node, its next sibling's deepest first
    // descendant, or its parent once the siblings are done. A parent is freed after all its
    // children and its child links are never read again.
    XmlNode* pCurrent = pNode;
    while (pCurrent->pFirstChild)
        pCurrent = pCurrent->pFirstChild;
    for (;;) {
        if (pCurrent == pNode) {
            XmlFreeNode(pCurrent);
            return;
        }
        XmlNode* pFollowing = pCurrent->pNext;
        if (pFollowing) {
            while (pFollowing->pFirstChild)
                pFollowing = pFollowing->pFirstChild;
        } else {
            pFollowing = pCurrent->pParent;
        }
        if (pCurrent->pDoc && pCurrent->pDoc->pMainElement == pCurrent)
            pCurrent->pDoc->pMainElement = nullptr;
        XmlFreeNode(pCurrent);
        pCurrent = pFollowing;
    }
}

namespace {

// The node may go next to the sibling: it is unlinked, of the same document, and not the
// sibling's ancestor (a removed subtree put back inside itself would make a cycle).
bool CanInsert(XmlNode* pSibling, XmlNode* pNode)
{
    if (!pSibling || !pNode || pSibling == pNode || !pSibling->pParent)
        return false;
    if (pNode->nType == XML_ROOT || pNode->pParent || pNode->pNext || pNode->pPrev)
        return false;
    if (pNode->pDoc != pSibling->pDoc)
        return false;
    for (XmlNode* pAncestor = pSibling->pParent; pAncestor; pAncestor = pAncestor->pParent) {
        if (pAncestor == pNode)
            return false;
    }
    return true;
}

} // namespace

int XmlInsertBefore(XmlNode* pSibling, XmlNode* pNode)
{
    if (!CanInsert(pSibling, pNode))
        return 0;
    XmlNode* pParent = pSibling->pParent;
    pNode->pParent = pParent;
    pNode->pNext = pSibling;
    pNode->pPrev = pSibling->pPrev;
    if (pSibling->pPrev)
        pSibling->pPrev->pNext = pNode;
    else
        pParent->pFirstChild = pNode;
    pSibling->pPrev = pNode;
    return 1;
}

int XmlInsertAfter(XmlNode* pSibling, XmlNode* pNode)
{
    if (!CanInsert(pSibling, pNode))
        return 0;
    XmlNode* pParent = pSibling->pParent;
    pNode->pParent = pParent;
    pNode->pPrev = pSibling;
    pNode->pNext = pSibling->pNext;
    if (pSibling->pNext)
        pSibling->pNext->pPrev = pNode;
    else
        pParent->pLastChild = pNode;
    pSibling->pNext = pNode;
    return 1;
}

int32_t XmlGetType(XmlNode* pNode)
{
    return pNode ? pNode->nType : -1;
}

const char* XmlGetName(XmlNode* pNode)
{
    if (!pNode || (pNode->nType != XML_ELEMENT && pNode->nType != XML_VALUE))
        return nullptr;
    return pNode->pszName;
}

int XmlSetName(XmlNode* pNode, const char* pszName)
{
    if (!pNode || !pszName || (pNode->nType != XML_ELEMENT && pNode->nType != XML_VALUE))
        return 0;
    char* pszCopy = XmlCopyText(pszName);
    if (!pszCopy)
        return 0;
    if (pNode->nType == XML_ELEMENT) {
        // A CDATA text read out earlier belongs to the old name.
        std::free(pNode->value.pszText);
        pNode->value.pszText = nullptr;
    }
    std::free(pNode->pszName);
    pNode->pszName = pszCopy;
    return 1;
}

XmlNode* XmlFirstChild(XmlNode* pNode)
{
    return pNode ? pNode->pFirstChild : nullptr;
}

XmlNode* XmlLastChild(XmlNode* pNode)
{
    return pNode ? pNode->pLastChild : nullptr;
}

XmlNode* XmlNextSibling(XmlNode* pNode)
{
    return pNode ? pNode->pNext : nullptr;
}

XmlNode* XmlPrevSibling(XmlNode* pNode)
{
    return pNode ? pNode->pPrev : nullptr;
}

XmlNode* XmlGetParent(XmlNode* pNode)
{
    return pNode ? pNode->pParent : nullptr;
}

int32_t XmlGetUserData(XmlNode* pNode)
{
    return pNode ? pNode->nUserData : 0;
}

void XmlSetUserData(XmlNode* pNode, int32_t nData)
{
    if (pNode)
        pNode->nUserData = nData;
}

int XmlGetDepth(XmlNode* pNode)
{
    if (!pNode)
        return -1;
    int nDepth = -1;
    for (XmlNode* pParent = pNode->pParent; pParent; pParent = pParent->pParent)
        ++nDepth;
    return nDepth;
}
