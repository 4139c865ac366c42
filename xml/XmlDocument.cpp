#include "xml/XmlTree.h"

#include "util/Messages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

XmlDocument* XmlNewDocument()
{
    XmlDocument* pDoc = static_cast<XmlDocument*>(std::calloc(1, sizeof(XmlDocument)));
    if (!pDoc)
        return nullptr;
    pDoc->root.pszName = XmlCopyText("*ROOT*");
    if (!pDoc->root.pszName) {
        std::free(pDoc);
        return nullptr;
    }
    pDoc->root.nType = XML_ROOT;
    pDoc->root.pDoc = pDoc;
    pDoc->nIndent = 2;
    pDoc->nTabWidth = 4;
    pDoc->nWrapMargin = 72;
    pDoc->pfnType = XmlDefaultTypeCallback;
    pDoc->pfnWhitespace = XmlDefaultWhitespaceCallback;
    pDoc->apfnEntity[0] = XmlNamedEntity;
    pDoc->nEntityCallbacks = 1;
    return pDoc;
}

void XmlDeleteDocument(XmlDocument* pDoc)
{
    if (!pDoc)
        return;
    while (pDoc->root.pFirstChild)
        XmlDeleteNode(pDoc->root.pFirstChild);
    // The root lives inside the record: free only what it owns.
    XmlAttribute* pAttribute = pDoc->root.pFirstAttribute;
    while (pAttribute) {
        XmlAttribute* pNext = pAttribute->pNext;
        std::free(pAttribute->pszName);
        std::free(pAttribute->pszValue);
        std::free(pAttribute);
        pAttribute = pNext;
    }
    std::free(pDoc->root.pszName);
    std::free(pDoc);
}

XmlNode* XmlNewXml(XmlDocument* pDoc, const char* pszVersion, const char* pszName)
{
    // A second declaration and main element would make a file that no parser accepts.
    if (!pDoc || !pszName || pDoc->pMainElement)
        return nullptr;
    int nLength = std::snprintf(pDoc->szScratch, sizeof(pDoc->szScratch), "?xml version=\"%s\" encoding=\"utf-8\"?",
                                pszVersion ? pszVersion : "1.0");
    // A cut declaration would lose its closing "?": refuse rather than write a broken file.
    if (nLength < 0 || static_cast<std::size_t>(nLength) >= sizeof(pDoc->szScratch))
        return nullptr;
    XmlNode* pDeclaration = XmlAddElement(&pDoc->root, pDoc->szScratch);
    if (!pDeclaration)
        return nullptr;
    XmlNode* pMain = XmlAddElement(&pDoc->root, pszName);
    if (!pMain) {
        XmlDeleteNode(pDeclaration);
        return nullptr;
    }
    pDoc->pMainElement = pMain;
    return pMain;
}

XmlNode* XmlGetMainElement(XmlDocument* pDoc)
{
    return pDoc ? pDoc->pMainElement : nullptr;
}

XmlNode* XmlGetRoot(XmlDocument* pDoc)
{
    return pDoc ? &pDoc->root : nullptr;
}

void XmlSetIndent(XmlDocument* pDoc, uint16_t nIndent)
{
    if (pDoc)
        pDoc->nIndent = nIndent;
}

void XmlSetTabWidth(XmlDocument* pDoc, uint16_t nTabWidth)
{
    if (pDoc && nTabWidth != 0)
        pDoc->nTabWidth = nTabWidth;
}

void XmlSetWrapMargin(XmlDocument* pDoc, uint16_t nWrapMargin)
{
    if (pDoc)
        pDoc->nWrapMargin = nWrapMargin;
}

void XmlSetTypeCallback(XmlDocument* pDoc, XmlTypeCallback pfn)
{
    if (pDoc)
        pDoc->pfnType = pfn ? pfn : XmlDefaultTypeCallback;
}

void XmlSetWhitespaceCallback(XmlDocument* pDoc, XmlWhitespaceCallback pfn)
{
    if (pDoc)
        pDoc->pfnWhitespace = pfn ? pfn : XmlDefaultWhitespaceCallback;
}

void XmlSetCustomCallbacks(XmlDocument* pDoc, XmlCustomLoadCallback pfnLoad, XmlCustomSaveCallback pfnSave)
{
    if (!pDoc)
        return;
    pDoc->pfnCustomLoad = pfnLoad;
    pDoc->pfnCustomSave = pfnSave;
}

int XmlAddEntityCallback(XmlDocument* pDoc, XmlEntityCallback pfn)
{
    // A null entry would be called by the resolver.
    if (!pDoc || !pfn)
        return 0;
    if (pDoc->nEntityCallbacks >= XML_MAX_ENTITY_CALLBACKS) {
        ShowMessage(MESSAGE_KIND_ERROR, "Unable to add entity callback!");
        return 0;
    }
    pDoc->apfnEntity[pDoc->nEntityCallbacks++] = pfn;
    return 1;
}

int XmlRemoveEntityCallback(XmlDocument* pDoc, XmlEntityCallback pfn)
{
    if (!pDoc || !pfn)
        return 0;
    int nCount = pDoc->nEntityCallbacks;
    if (nCount > XML_MAX_ENTITY_CALLBACKS)
        nCount = XML_MAX_ENTITY_CALLBACKS;
    for (int i = 0; i < nCount; ++i) {
        if (pDoc->apfnEntity[i] != pfn)
            continue;
        // Later callbacks move up so the order of trying stays as they were added.
        for (int j = i + 1; j < nCount; ++j)
            pDoc->apfnEntity[j - 1] = pDoc->apfnEntity[j];
        pDoc->apfnEntity[nCount - 1] = nullptr;
        pDoc->nEntityCallbacks = static_cast<uint16_t>(nCount - 1);
        return 1;
    }
    return 0;
}

int32_t XmlDefaultTypeCallback(XmlDocument* /*pDoc*/, XmlNode* /*pParent*/)
{
    return XML_VALUE;
}
