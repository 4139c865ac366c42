#include "xml/XmlTree.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr char CDATA_OPEN[] = "![CDATA[";
constexpr std::size_t CDATA_OPEN_LENGTH = sizeof(CDATA_OPEN) - 1;
constexpr char CDATA_CLOSE[] = "]]";
constexpr std::size_t CDATA_CLOSE_LENGTH = sizeof(CDATA_CLOSE) - 1;

// "![CDATA[" text "]]", or null when out of memory.
char* MakeCDataName(const char* pszText)
{
    std::size_t nText = std::strlen(pszText);
    char* pszName = static_cast<char*>(std::malloc(CDATA_OPEN_LENGTH + nText + CDATA_CLOSE_LENGTH + 1));
    if (!pszName)
        return nullptr;
    std::memcpy(pszName, CDATA_OPEN, CDATA_OPEN_LENGTH);
    std::memcpy(pszName + CDATA_OPEN_LENGTH, pszText, nText);
    std::memcpy(pszName + CDATA_OPEN_LENGTH + nText, CDATA_CLOSE, CDATA_CLOSE_LENGTH + 1);
    return pszName;
}

} // namespace

XmlNode* XmlAddValue(XmlNode* pParent, const char* pszName, char* pszText, int bCopy)
{
    if (!pParent || !pszName || !pszText)
        return nullptr;
    char* pszValue = pszText;
    if (bCopy) {
        pszValue = XmlCopyText(pszText);
        if (!pszValue)
            return nullptr;
    }
    XmlNode* pNode = XmlCreateNode(pParent, pszName, XML_VALUE);
    if (!pNode) {
        // A text handed over stays with the caller when the node could not be made.
        if (bCopy)
            std::free(pszValue);
        return nullptr;
    }
    pNode->value.pszText = pszValue;
    return pNode;
}

XmlNode* XmlAddText(XmlNode* pParent, const char* pszText)
{
    if (!pParent || !pszText)
        return nullptr;
    char* pszValue = XmlCopyText(pszText);
    if (!pszValue)
        return nullptr;
    XmlNode* pNode = XmlCreateNode(pParent, nullptr, XML_TEXT);
    if (!pNode) {
        std::free(pszValue);
        return nullptr;
    }
    pNode->value.pszText = pszValue;
    return pNode;
}

XmlNode* XmlAddCData(XmlNode* pParent, const char* pszText)
{
    if (!pParent || !pszText)
        return nullptr;
    char* pszName = MakeCDataName(pszText);
    if (!pszName)
        return nullptr;
    XmlNode* pNode = XmlCreateNode(pParent, pszName, XML_ELEMENT);
    std::free(pszName);
    return pNode;
}

XmlNode* XmlAddCustom(XmlNode* pParent, const char* pszName, void* pData, XmlDestroyFunction pfnDestroy)
{
    XmlNode* pNode = XmlCreateNode(pParent, pszName, XML_CUSTOM);
    if (!pNode)
        return nullptr;
    pNode->value.pCustom = pData;
    pNode->pfnDestroy = pfnDestroy;
    return pNode;
}

const char* XmlGetValue(XmlNode* pNode)
{
    if (!pNode || pNode->nType != XML_VALUE)
        return nullptr;
    return pNode->value.pszText;
}

const char* XmlGetText(XmlNode* pNode)
{
    if (!pNode)
        return nullptr;
    if (pNode->nType == XML_TEXT)
        return pNode->value.pszText;
    if (!XmlIsCDataNode(pNode))
        return nullptr;
    // The text sits inside the name between "![CDATA[" and "]]"; it is read out once into the
    // node's own copy so that callers get a terminated string.
    if (!pNode->value.pszText) {
        const char* pszInside = pNode->pszName + CDATA_OPEN_LENGTH;
        std::size_t nLength = std::strlen(pszInside);
        if (nLength >= CDATA_CLOSE_LENGTH && std::strcmp(pszInside + nLength - CDATA_CLOSE_LENGTH, CDATA_CLOSE) == 0)
            nLength -= CDATA_CLOSE_LENGTH;
        char* pszText = static_cast<char*>(std::malloc(nLength + 1));
        if (!pszText)
            return nullptr;
        std::memcpy(pszText, pszInside, nLength);
        pszText[nLength] = '\0';
        pNode->value.pszText = pszText;
    }
    return pNode->value.pszText;
}

int XmlSetText(XmlNode* pNode, const char* pszText)
{
    if (!pNode || !pszText)
        return 0;
    if (XmlIsCDataNode(pNode)) {
        char* pszName = MakeCDataName(pszText);
        if (!pszName)
            return 0;
        std::free(pNode->pszName);
        pNode->pszName = pszName;
        std::free(pNode->value.pszText);
        pNode->value.pszText = nullptr;
        return 1;
    }
    bool bElement = pNode->nType == XML_ELEMENT && pNode->pszName && !XmlIsMarkupName(pNode->pszName);
    if (pNode->nType != XML_TEXT && pNode->nType != XML_VALUE && !bElement)
        return 0;
    char* pszCopy = XmlCopyText(pszText);
    if (!pszCopy)
        return 0;
    std::free(pNode->value.pszText);
    pNode->value.pszText = pszCopy;
    if (bElement)
        pNode->nType = XML_VALUE;
    return 1;
}

void* XmlGetCustom(XmlNode* pNode)
{
    if (!pNode || pNode->nType != XML_CUSTOM)
        return nullptr;
    return pNode->value.pCustom;
}
