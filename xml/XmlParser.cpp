#include "xml/XmlParse.h"

#include "util/Messages.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The loader's main loop: text between tags, entities, the end of the parse, and the rollback
// that leaves the document as it was when a load fails. Tags are read in XmlParseTag.cpp.

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsControl(long nCode)
{
    return nCode < 0x20 && nCode != '\t' && nCode != '\n' && nCode != '\r';
}

bool IsEntityChar(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '#';
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

const char* EntityParentName(const XmlParser* pParser)
{
    return pParser->pParent && pParser->pParent->pszName ? pParser->pParent->pszName : "null";
}

char* CopyText(const char* pszText)
{
    std::size_t nLength = std::strlen(pszText) + 1;
    char* pszCopy = static_cast<char*>(std::malloc(nLength));
    if (pszCopy)
        std::memcpy(pszCopy, pszText, nLength);
    return pszCopy;
}

void ReportStoreFailure(XmlParser* pParser, int32_t nKind, const XmlNode* pParent)
{
    XmlParserReport(pParser, "Unable to add value node of type %d to parent <%s>!", static_cast<int>(nKind),
                XmlParserName(pParent));
}

// Makes the node hold the text as the kind says, reporting a failure. Only a node whose content
// can take that kind is changed: a Custom node's data is never read as text, nor text as data.
bool StoreInNode(XmlParser* pParser, XmlNode* pNode, int32_t nKind, const char* pszText)
{
    if (nKind == XML_VALUE) {
        char* pszCopy = nullptr;
        if (pNode->nType == XML_ELEMENT || pNode->nType == XML_VALUE || pNode->nType == XML_TEXT)
            pszCopy = CopyText(pszText);
        if (!pszCopy) {
            ReportStoreFailure(pParser, nKind, pNode);
            return false;
        }
        if (pNode->nType != XML_ELEMENT)
            std::free(pNode->value.pszText);
        pNode->value.pszText = pszCopy;
        pNode->nType = XML_VALUE;
        return true;
    }
    // Custom
    if (pNode->nType != XML_ELEMENT && pNode->nType != XML_CUSTOM) {
        ReportStoreFailure(pParser, nKind, pNode);
        return false;
    }
    pNode->nType = XML_CUSTOM;
    if (!pParser->pDoc->pfnCustomLoad(pParser->pDoc, pNode, pszText)) {
        XmlParserReport(pParser, "Bad custom value '%s' in parent <%s>!", pszText,
                    XmlParserName(pNode));
        return false;
    }
    return true;
}

// The text collected since the last tag is complete.
bool FinishText(XmlParser* pParser)
{
    XmlBuffer* pBuffer = &pParser->buffer;
    if (pBuffer->nLength == 0)
        return true;
    char* pszText = pBuffer->pText;
    std::size_t nLength = pBuffer->nLength;
    int32_t nKind = pParser->nKind;
    if (nKind == XML_VALUE || nKind == XML_ROOT) {
        while (nLength > 0 && IsSpace(pszText[nLength - 1]))
            --nLength;
        pszText[nLength] = '\0';
        while (*pszText && IsSpace(*pszText)) {
            ++pszText;
            --nLength;
        }
    }
    bool bOk = true;
    XmlNode* pParent = pParser->pParent;
    if (nLength == 0) {
        // nothing left
    } else if (nKind == XML_TEXT) {
        bool bHasText = false;
        for (const char* p = pszText; *p && !bHasText; ++p)
            bHasText = !IsSpace(*p);
        if (pParser->pDoc->bOpenTag && bHasText && pParent->nType == XML_ELEMENT && pParent != pParser->pTop) {
            char* pszCopy = CopyText(pszText);
            if (pszCopy) {
                pParent->value.pszText = pszCopy;
                pParent->nType = XML_TEXT;
            } else {
                ReportStoreFailure(pParser, nKind, pParent);
                bOk = false;
            }
        } else {
            XmlNode* pNode = XmlAddText(pParent, pszText);
            if (!pNode) {
                ReportStoreFailure(pParser, nKind, pParent);
                bOk = false;
            } else if (!pParser->pFirst) {
                pParser->pFirst = pNode;
            }
        }
    } else if (nKind == XML_VALUE || nKind == XML_CUSTOM) {
        if (nKind == XML_CUSTOM && !pParser->pDoc->pfnCustomLoad) {
            XmlParserReport(pParser, "Custom type found with no parser!");
            bOk = false;
        } else if (pParent == &pParser->pDoc->root) {
            // Text beside the top-level elements belongs to no element; the root stays the root.
        } else if (pParent == pParser->pTop) {
            char* pszCopy = CopyText(pszText);
            if (!pszCopy) {
                ReportStoreFailure(pParser, nKind, pParent);
                bOk = false;
            } else {
                std::free(pParser->pszTopText);
                pParser->pszTopText = pszCopy;
                pParser->nTopKind = nKind;
            }
        } else {
            bOk = StoreInNode(pParser, pParent, nKind, pszText);
        }
    }
    // Element kind (and any other answer) drops the text.
    XmlBufferClear(pBuffer);
    return bOk;
}

void Rollback(XmlParser* pParser)
{
    XmlNode* pNode = pParser->pTopLast ? pParser->pTopLast->pNext : pParser->pTop->pFirstChild;
    while (pNode) {
        XmlNode* pNext = pNode->pNext;
        XmlDeleteNode(pNode);   // frees the subtree without recursion
        pNode = pNext;
    }
    if (pParser->bSetMain)
        pParser->pDoc->pMainElement = nullptr;
    pParser->pFirst = nullptr;
}

// Reads the whole input; true when the parse ended with the top as the current parent again.
bool Parse(XmlParser* pParser)
{
    XmlDocument* pDoc = pParser->pDoc;
    for (;;) {
        int c = XmlGetChar(pDoc, pParser->pInput);
        if (c == '<' || c == XML_INPUT_END) {
            // After a reported decoding error the load has failed; nothing more is said.
            if (pParser->pInput->bReported)
                return false;
            if (!FinishText(pParser))
                return false;
            if (c == XML_INPUT_END)
                break;
            if (!XmlParserReadTag(pParser))
                return false;
            XmlBufferClear(&pParser->buffer);   // the tag's name is no text
            continue;
        }
        if (c == '&') {
            c = XmlParserReadEntity(pParser);
            if (c == XML_PARSE_FAILED)
                return false;
        }
        if (!XmlBufferAdd(&pParser->buffer, c))
            return false;
    }
    if (pParser->pParent != pParser->pTop) {
        XmlNode* pParent = pParser->pParent;
        XmlParserReport(pParser, "Missing close tag </%s> under parent <%s>!", XmlParserName(pParent),
                    XmlParserName(pParent->pParent));
        return false;
    }
    // A load that created nothing returns none, which callers take as a failure: then the top
    // keeps its content too.
    if (pParser->pszTopText && pParser->pFirst) {
        XmlNode* pTop = pParser->pTop;
        if (!StoreInNode(pParser, pTop, pParser->nTopKind, pParser->pszTopText))
            return false;
    }
    return true;
}

XmlNode* Load(XmlDocument* pDoc, XmlNode* pTop, XmlInput* pInput)
{
    XmlParser parser{};
    parser.pDoc = pDoc;
    parser.pInput = pInput;
    parser.pTop = pTop;
    parser.pParent = pTop;
    parser.pTopLast = pTop->pLastChild;

    // The loader's working fields of the document; put back afterwards.
    uint16_t nOldState = pDoc->nState;
    int32_t bOldOpenTag = pDoc->bOpenTag;
    void* pOldStream = pDoc->pStream;
    void* pOldChar = pDoc->pfnChar;
    pDoc->nState = XML_ENCODE_UTF8;
    pDoc->bOpenTag = 0;
    pDoc->pStream = pInput;
    pDoc->pfnChar = reinterpret_cast<void*>(&XmlGetChar);

    bool bOk = XmlBufferInit(&parser.buffer, "Unable to allocate string buffer!");
    if (bOk) {
        parser.nKind = XmlParserKindFor(&parser, pTop);
        bOk = Parse(&parser);
    }
    XmlBufferFree(&parser.buffer);
    std::free(parser.pszTopText);
    if (!bOk)
        Rollback(&parser);

    pDoc->nState = nOldState;
    pDoc->bOpenTag = bOldOpenTag;
    pDoc->pStream = pOldStream;
    pDoc->pfnChar = pOldChar;
    return parser.pFirst;
}

// The node the load goes under, or null when the request is refused.
XmlNode* CheckTop(XmlDocument* pDoc, XmlNode* pTop)
{
    if (!pDoc)
        return nullptr;
    if (!pTop) {
        // Only a fresh document may be filled from its root without a top.
        if (pDoc->root.pFirstChild)
            return nullptr;
        return &pDoc->root;
    }
    return pTop->pDoc == pDoc ? pTop : nullptr;
}

} // namespace

void XmlParserReport(XmlParser* pParser, const char* pszFormat, ...)
{
    if (pParser->pInput->bReported)
        return;
    char szText[SHOW_MESSAGE_BUFFER];
    std::va_list args;
    va_start(args, pszFormat);
    if (std::vsnprintf(szText, sizeof szText, pszFormat, args) < 0)
        szText[0] = '\0';
    va_end(args);
    ShowMessage(MESSAGE_KIND_ERROR, "%s", szText);
}

int32_t XmlParserKindFor(XmlParser* pParser, XmlNode* pNode)
{
    XmlTypeCallback pfnType = pParser->pDoc->pfnType ? pParser->pDoc->pfnType : XmlDefaultTypeCallback;
    return pfnType(pParser->pDoc, pNode);
}

const char* XmlParserName(const XmlNode* pNode)
{
    return pNode && pNode->pszName ? pNode->pszName : "(null)";
}

int XmlParserReadEntity(XmlParser* pParser)
{
    char szName[64];
    int nLength = 0;
    int c = XmlGetChar(pParser->pDoc, pParser->pInput);
    while (IsEntityChar(c)) {
        if (nLength == 63) {
            XmlParserReport(pParser, "Entity name too long under parent <%s>!", EntityParentName(pParser));
            return XML_PARSE_FAILED;
        }
        szName[nLength++] = static_cast<char>(c);
        c = XmlGetChar(pParser->pDoc, pParser->pInput);
    }
    szName[nLength] = '\0';
    if (c != ';') {
        XmlParserReport(pParser, "Character entity \"%s\" not terminated under parent <%s>!", szName,
                    EntityParentName(pParser));
        return XML_PARSE_FAILED;
    }
    long nCode;
    if (szName[0] == '#' && szName[1] == 'x' && IsHexDigit(szName[2]))
        nCode = std::strtol(szName + 2, nullptr, 16);
    else if (szName[0] == '#' && szName[1] >= '0' && szName[1] <= '9')
        nCode = std::strtol(szName + 1, nullptr, 10);
    else
        nCode = XmlResolveEntity(pParser->pDoc, szName);
    // Beyond U+10FFFF, and the surrogate halves, are no characters that UTF-8 can carry.
    if (nCode < 0 || nCode > 0x10FFFF || (nCode >= 0xD800 && nCode <= 0xDFFF)) {
        XmlParserReport(pParser, "Entity name \"%s;\" not supported under parent <%s>!", szName,
                    EntityParentName(pParser));
        return XML_PARSE_FAILED;
    }
    if (IsControl(nCode)) {
        XmlParserReport(pParser, "Bad control character 0x%02x under parent <%s> not allowed by XML standard!",
                    static_cast<int>(nCode), EntityParentName(pParser));
        return XML_PARSE_FAILED;
    }
    return static_cast<int>(nCode);
}

XmlNode* XmlLoadFile(XmlDocument* pDoc, XmlNode* pTop, const char* pszPath)
{
    pTop = CheckTop(pDoc, pTop);
    if (!pTop || !pszPath)
        return nullptr;
    std::FILE* pFile = std::fopen(pszPath, "rb");
    if (!pFile)
        return nullptr;
    XmlNode* pFirst = XmlLoadStream(pDoc, pTop, pFile);
    std::fclose(pFile);
    return pFirst;
}

XmlNode* XmlLoadStream(XmlDocument* pDoc, XmlNode* pTop, std::FILE* pFile)
{
    pTop = CheckTop(pDoc, pTop);
    if (!pTop || !pFile)
        return nullptr;
    // The record holds a read-ahead chunk: too big for every caller's stack.
    XmlInput* pInput = static_cast<XmlInput*>(std::malloc(sizeof(XmlInput)));
    if (!pInput) {
        ShowMessage(MESSAGE_KIND_ERROR, "Unable to allocate string buffer!");
        return nullptr;
    }
    XmlInputFromFile(pInput, pFile);
    XmlNode* pFirst = Load(pDoc, pTop, pInput);
    std::free(pInput);
    return pFirst;
}

XmlNode* XmlLoadString(XmlDocument* pDoc, XmlNode* pTop, const char* pszText)
{
    if (!pszText)
        return nullptr;
    return XmlLoadBuffer(pDoc, pTop, pszText, std::strlen(pszText));
}

XmlNode* XmlLoadBuffer(XmlDocument* pDoc, XmlNode* pTop, const char* pText, std::size_t nLength)
{
    pTop = CheckTop(pDoc, pTop);
    if (!pTop || (!pText && nLength > 0))
        return nullptr;
    XmlInput input;
    XmlInputFromMemory(&input, pText ? pText : "", nLength);
    return Load(pDoc, pTop, &input);
}
