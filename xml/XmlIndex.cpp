#include "xml/XmlTree.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const char* ValueOf(XmlNode* pNode, const char* pszAttribute)
{
    return XmlGetAttribute(pNode, pszAttribute);
}

// For comparing: an attribute deleted after the index was made compares as empty, not as a crash.
const char* KeyOf(XmlNode* pNode, const char* pszAttribute)
{
    const char* pszValue = ValueOf(pNode, pszAttribute);
    return pszValue ? pszValue : "";
}

} // namespace

XmlIndex* XmlNewIndex(XmlNode* pTop, const char* pszName, const char* pszAttribute)
{
    if (!pTop || !pszName || !pszAttribute)
        return nullptr;
    XmlIndex* pIndex = static_cast<XmlIndex*>(std::calloc(1, sizeof(XmlIndex)));
    if (!pIndex)
        return nullptr;
    pIndex->pszAttribute = XmlCopyText(pszAttribute);
    if (!pIndex->pszAttribute) {
        std::free(pIndex);
        return nullptr;
    }
    // Elements without the attribute, or with a bare one, have no value to sort by and are left out.
    std::size_t nCount = 0;
    for (XmlNode* pNode = XmlNextNode(pTop, pTop); pNode; pNode = XmlNextNode(pNode, pTop)) {
        if (pNode->pszName && std::strcmp(pNode->pszName, pszName) == 0 && ValueOf(pNode, pszAttribute))
            ++nCount;
    }
    if (nCount > static_cast<std::size_t>(INT32_MAX)) {
        XmlDeleteIndex(pIndex);
        return nullptr;
    }
    if (nCount > 0) {
        pIndex->apNodes = static_cast<XmlNode**>(std::malloc(nCount * sizeof(XmlNode*)));
        if (!pIndex->apNodes) {
            XmlDeleteIndex(pIndex);
            return nullptr;
        }
        for (XmlNode* pNode = XmlNextNode(pTop, pTop); pNode; pNode = XmlNextNode(pNode, pTop)) {
            if (pNode->pszName && std::strcmp(pNode->pszName, pszName) == 0 && ValueOf(pNode, pszAttribute))
                pIndex->apNodes[pIndex->nNodes++] = pNode;
        }
        // Stable, so that of equal values the first in document order is found.
        const char* pszKey = pIndex->pszAttribute;
        std::stable_sort(pIndex->apNodes, pIndex->apNodes + pIndex->nNodes, [pszKey](XmlNode* pA, XmlNode* pB) {
            return std::strcmp(KeyOf(pA, pszKey), KeyOf(pB, pszKey)) < 0;
        });
    }
    return pIndex;
}

XmlNode* XmlFindIndex(XmlIndex* pIndex, const char* pszValue)
{
    if (!pIndex || !pszValue)
        return nullptr;
    // The first entry not below the value.
    int nLow = 0;
    int nHigh = pIndex->nNodes;
    while (nLow < nHigh) {
        int nMiddle = nLow + (nHigh - nLow) / 2;
        if (std::strcmp(KeyOf(pIndex->apNodes[nMiddle], pIndex->pszAttribute), pszValue) < 0)
            nLow = nMiddle + 1;
        else
            nHigh = nMiddle;
    }
    if (nLow < pIndex->nNodes && std::strcmp(KeyOf(pIndex->apNodes[nLow], pIndex->pszAttribute), pszValue) == 0)
        return pIndex->apNodes[nLow];
    return nullptr;
}

void XmlDeleteIndex(XmlIndex* pIndex)
{
    if (!pIndex)
        return;
    std::free(pIndex->apNodes);
    std::free(pIndex->pszAttribute);
    std::free(pIndex);
}
