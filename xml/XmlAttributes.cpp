#include "xml/XmlTree.h"

#include "util/Messages.h"

#include <cstdlib>
#include <cstring>

namespace {

// Attributes belong to named nodes; the root and Text nodes are never written with a tag.
bool HasTag(const XmlNode* pNode)
{
    return pNode && pNode->pszName && pNode->nType != XML_ROOT && pNode->nType != XML_TEXT;
}

} // namespace

XmlAttribute* XmlFindAttribute(XmlNode* pNode, const char* pszName)
{
    if (!pNode || !pszName)
        return nullptr;
    for (XmlAttribute* pAttribute = pNode->pFirstAttribute; pAttribute; pAttribute = pAttribute->pNext) {
        if (std::strcmp(pAttribute->pszName, pszName) == 0)
            return pAttribute;
    }
    return nullptr;
}

const char* XmlGetAttribute(XmlNode* pNode, const char* pszName)
{
    XmlAttribute* pAttribute = XmlFindAttribute(pNode, pszName);
    return pAttribute ? pAttribute->pszValue : nullptr;
}

int XmlSetAttribute(XmlNode* pNode, const char* pszName, const char* pszValue)
{
    if (!HasTag(pNode) || !pszName)
        return 0;
    char* pszValueCopy = nullptr;
    if (pszValue) {
        pszValueCopy = XmlCopyText(pszValue);
        if (!pszValueCopy) {
            ShowMessage(MESSAGE_KIND_ERROR, "Unable to allocate attribute '%s' value!", pszName);
            return 0;
        }
    }
    // Replacing keeps the attribute's place in the list.
    XmlAttribute* pAttribute = XmlFindAttribute(pNode, pszName);
    if (pAttribute) {
        std::free(pAttribute->pszValue);
        pAttribute->pszValue = pszValueCopy;
        return 1;
    }
    pAttribute = static_cast<XmlAttribute*>(std::calloc(1, sizeof(XmlAttribute)));
    if (!pAttribute) {
        ShowMessage(MESSAGE_KIND_ERROR, "Unable to allocate attribute '%s'!", pszName);
        std::free(pszValueCopy);
        return 0;
    }
    pAttribute->pszName = XmlCopyText(pszName);
    if (!pAttribute->pszName) {
        ShowMessage(MESSAGE_KIND_ERROR, "Unable to allocate attribute '%s' name!", pszName);
        std::free(pszValueCopy);
        std::free(pAttribute);
        return 0;
    }
    pAttribute->pszValue = pszValueCopy;
    pAttribute->pPrev = pNode->pLastAttribute;
    if (pNode->pLastAttribute)
        pNode->pLastAttribute->pNext = pAttribute;
    else
        pNode->pFirstAttribute = pAttribute;
    pNode->pLastAttribute = pAttribute;
    return 1;
}

int XmlDeleteAttribute(XmlNode* pNode, const char* pszName)
{
    XmlAttribute* pAttribute = XmlFindAttribute(pNode, pszName);
    if (!pAttribute)
        return 0;
    if (pAttribute->pPrev)
        pAttribute->pPrev->pNext = pAttribute->pNext;
    else
        pNode->pFirstAttribute = pAttribute->pNext;
    if (pAttribute->pNext)
        pAttribute->pNext->pPrev = pAttribute->pPrev;
    else
        pNode->pLastAttribute = pAttribute->pPrev;
    std::free(pAttribute->pszName);
    std::free(pAttribute->pszValue);
    std::free(pAttribute);
    return 1;
}
