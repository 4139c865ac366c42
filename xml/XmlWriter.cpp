#include "xml/XmlTree.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// The writer: one walk over the tree in document order, every character through one put
// function that keeps the output column. The text depends only on the tree, the settings and
// the whitespace callback.

namespace {

// Stores one character in the current sink; false when it could not be written.
using PutFunction = bool (*)(XmlDocument* pDoc, char c);

struct BufferSink {
    char* pBuffer;
    std::size_t nSize;
    std::size_t nCount;   // every character, stored or not
};

bool PutFile(XmlDocument* pDoc, char c)
{
    std::FILE* pFile = static_cast<std::FILE*>(pDoc->pStream);
    return putc_unlocked(static_cast<unsigned char>(c), pFile) != EOF;
}

// A file written in text mode: each line feed is stored as CR LF.
bool PutTextFile(XmlDocument* pDoc, char c)
{
    if (c == '\n' && !PutFile(pDoc, '\r'))
        return false;
    return PutFile(pDoc, c);
}

bool PutBuffer(XmlDocument* pDoc, char c)
{
    BufferSink* pSink = static_cast<BufferSink*>(pDoc->pStream);
    if (pSink->nCount < pSink->nSize)
        pSink->pBuffer[pSink->nCount] = c;
    ++pSink->nCount;
    return true;
}

bool Put(XmlDocument* pDoc, char c)
{
    PutFunction pfnPut = reinterpret_cast<PutFunction>(pDoc->pfnChar);
    if (!pfnPut(pDoc, c))
        return false;
    unsigned nColumn = pDoc->nState;
    if (c == '\n') {
        nColumn = 0;
    } else if (c == '\t' && pDoc->nTabWidth != 0) {
        unsigned nNext = nColumn + pDoc->nTabWidth;
        nColumn = nNext - nNext % pDoc->nTabWidth;
    } else {
        ++nColumn;
    }
    pDoc->nState = static_cast<uint16_t>(nColumn);
    return true;
}

bool PutText(XmlDocument* pDoc, const char* pszText)
{
    for (; *pszText; ++pszText) {
        if (!Put(pDoc, *pszText))
            return false;
    }
    return true;
}

bool PutEscapedChar(XmlDocument* pDoc, char c)
{
    switch (c) {
    case '&':
        return PutText(pDoc, "&amp;");
    case '<':
        return PutText(pDoc, "&lt;");
    case '>':
        return PutText(pDoc, "&gt;");
    case '"':
        return PutText(pDoc, "&quot;");
    default:
        return Put(pDoc, c);
    }
}

bool PutEscaped(XmlDocument* pDoc, const char* pszText)
{
    for (; *pszText; ++pszText) {
        if (!PutEscapedChar(pDoc, *pszText))
            return false;
    }
    return true;
}

// A name that begins with a quote is written up to its matching quote, escaped, and closed
// with the opening quote; what follows the closing quote is dropped.
bool PutName(XmlDocument* pDoc, const char* pszName)
{
    char cQuote = pszName[0];
    if (cQuote != '"' && cQuote != '\'')
        return PutText(pDoc, pszName);
    if (!Put(pDoc, cQuote))
        return false;
    for (const char* p = pszName + 1; *p && *p != cQuote; ++p) {
        if (!PutEscapedChar(pDoc, *p))
            return false;
    }
    return Put(pDoc, cQuote);
}

bool StartsWith(const char* pszText, const char* pszPrefix)
{
    return std::strncmp(pszText, pszPrefix, std::strlen(pszPrefix)) == 0;
}

bool PutWhitespace(XmlDocument* pDoc, XmlNode* pNode, int nPosition)
{
    XmlWhitespaceCallback pfn = pDoc->pfnWhitespace ? pDoc->pfnWhitespace : XmlDefaultWhitespaceCallback;
    pDoc->szScratch[0] = '\0';
    if (!pfn(pDoc, pNode, nPosition, pDoc->szScratch, sizeof(pDoc->szScratch)))
        return true;
    // A callback that forgot the terminator must not make the writer read past the buffer.
    pDoc->szScratch[sizeof(pDoc->szScratch) - 1] = '\0';
    return PutText(pDoc, pDoc->szScratch);
}

bool WriteStart(XmlDocument* pDoc, XmlNode* pNode)
{
    const char* pszName = pNode->pszName;
    if (!pszName) {
        // Nameless nodes (Text) contribute only their content.
        return !pNode->value.pszText || PutEscaped(pDoc, pNode->value.pszText);
    }
    if (!PutWhitespace(pDoc, pNode, XML_WS_BEFORE_OPEN) || !Put(pDoc, '<'))
        return false;
    bool bVerbatim = pszName[0] == '?' || StartsWith(pszName, "!--") || StartsWith(pszName, "![CDATA[");
    if (!(bVerbatim ? PutText(pDoc, pszName) : PutName(pDoc, pszName)))
        return false;
    for (XmlAttribute* pAttribute = pNode->pFirstAttribute; pAttribute; pAttribute = pAttribute->pNext) {
        std::size_t nLength = std::strlen(pAttribute->pszName);
        if (pAttribute->pszValue)
            nLength += std::strlen(pAttribute->pszValue) + 3;
        bool bWrap = pDoc->nWrapMargin != 0 && pDoc->nState + nLength > pDoc->nWrapMargin;
        if (!Put(pDoc, bWrap ? '\n' : ' ') || !PutName(pDoc, pAttribute->pszName))
            return false;
        if (pAttribute->pszValue) {
            if (!Put(pDoc, '=') || !Put(pDoc, '"') || !PutEscaped(pDoc, pAttribute->pszValue) || !Put(pDoc, '"'))
                return false;
        }
    }
    bool bMarkup = XmlIsMarkupName(pszName);
    if (pNode->nType == XML_ELEMENT && !pNode->pFirstChild && !bMarkup) {
        if (!Put(pDoc, '/') || !Put(pDoc, '>'))
            return false;
        return PutWhitespace(pDoc, pNode, XML_WS_AFTER_CLOSE);
    }
    if (!Put(pDoc, '>') || !PutWhitespace(pDoc, pNode, bMarkup ? XML_WS_AFTER_CLOSE : XML_WS_AFTER_OPEN))
        return false;
    if (pNode->nType == XML_TEXT || pNode->nType == XML_VALUE)
        return !pNode->value.pszText || PutEscaped(pDoc, pNode->value.pszText);
    if (pNode->nType == XML_CUSTOM && pDoc->pfnCustomSave) {
        char* pszText = pDoc->pfnCustomSave(pDoc, pNode);
        if (!pszText)
            return false;
        bool bWritten = PutEscaped(pDoc, pszText);
        std::free(pszText);
        return bWritten;
    }
    return true;
}

bool WriteEnd(XmlDocument* pDoc, XmlNode* pNode)
{
    const char* pszName = pNode->pszName;
    bool bEndTag = (pNode->pFirstChild || pNode->nType != XML_ELEMENT) && pNode->nType != XML_ROOT && pszName &&
                   !XmlIsMarkupName(pszName);
    if (!bEndTag)
        return true;
    return PutWhitespace(pDoc, pNode, XML_WS_BEFORE_CLOSE) && Put(pDoc, '<') && Put(pDoc, '/') &&
           PutEscaped(pDoc, pszName) && Put(pDoc, '>') && PutWhitespace(pDoc, pNode, XML_WS_AFTER_CLOSE);
}

// The walk without recursion: down to the first child, else close the node and each finished
// ancestor, then on to the next sibling.
bool WriteTree(XmlDocument* pDoc)
{
    XmlNode* pTop = &pDoc->root;
    XmlNode* pNode = pTop->pFirstChild;
    while (pNode) {
        if (!WriteStart(pDoc, pNode))
            return false;
        if (pNode->pFirstChild) {
            pNode = pNode->pFirstChild;
            continue;
        }
        for (;;) {
            if (!WriteEnd(pDoc, pNode))
                return false;
            if (pNode->pNext) {
                pNode = pNode->pNext;
                break;
            }
            pNode = pNode->pParent;
            if (!pNode || pNode == pTop) {
                pNode = nullptr;
                break;
            }
        }
    }
    return true;
}

bool Save(XmlDocument* pDoc, void* pStream, PutFunction pfnPut)
{
    pDoc->pStream = pStream;
    pDoc->pfnChar = reinterpret_cast<void*>(pfnPut);
    pDoc->nState = 0;
    bool bWritten = WriteTree(pDoc);
    pDoc->pStream = nullptr;
    pDoc->pfnChar = nullptr;
    return bWritten;
}

} // namespace

int XmlDefaultWhitespaceCallback(XmlDocument* pDoc, XmlNode* pNode, int nPosition, char* pszBuffer,
                                 std::size_t nSize)
{
    if (!pDoc || !pszBuffer || nSize == 0)
        return 0;
    if (nPosition == XML_WS_AFTER_CLOSE) {
        if (nSize < 2)
            return 0;
        pszBuffer[0] = '\n';
        pszBuffer[1] = '\0';
        return 1;
    }
    bool bIndent = nPosition == XML_WS_BEFORE_OPEN || (nPosition == XML_WS_BEFORE_CLOSE && pDoc->nState == 0);
    if (!bIndent)
        return 0;
    std::size_t nLength = 0;
    if (pDoc->nState != 0 && nSize > 1)
        pszBuffer[nLength++] = '\n';
    int nDepth = XmlGetDepth(pNode);
    std::size_t nSpaces = nDepth > 0 ? static_cast<std::size_t>(nDepth) * pDoc->nIndent : 0;
    // The indentation is cut where the buffer ends (with its line feed and terminator).
    if (nSpaces > nSize - 1 - nLength)
        nSpaces = nSize - 1 - nLength;
    std::memset(pszBuffer + nLength, ' ', nSpaces);
    pszBuffer[nLength + nSpaces] = '\0';
    return 1;
}

int XmlSaveFile(XmlDocument* pDoc, const char* pszPath)
{
    if (!pDoc || !pszPath)
        return 0;
    std::FILE* pFile = std::fopen(pszPath, "wb");
    if (!pFile)
        return 0;
    bool bWritten = Save(pDoc, pFile, PutTextFile);
    // Buffered characters reach the disk only now: a full disk shows here, and a save whose
    // bytes did not all arrive must not count as done.
    if (bWritten && std::fflush(pFile) != 0)
        bWritten = false;
    if (std::fclose(pFile) != 0)
        bWritten = false;
    return bWritten ? 1 : 0;
}

int XmlSaveStream(XmlDocument* pDoc, std::FILE* pFile)
{
    if (!pDoc || !pFile)
        return 0;
    // The same bytes as XmlSaveFile, so that the loader's text-mode reading of a stream matches.
    bool bWritten = Save(pDoc, pFile, PutTextFile);
    if (bWritten && std::fflush(pFile) != 0)
        bWritten = false;
    return bWritten ? 1 : 0;
}

std::size_t XmlSaveBuffer(XmlDocument* pDoc, char* pBuffer, std::size_t nSize)
{
    if (!pDoc || (pBuffer && nSize == 0) || (!pBuffer && nSize != 0))
        return 0;
    BufferSink sink{pBuffer, nSize, 0};
    if (!Save(pDoc, &sink, PutBuffer))
        return 0;
    if (pBuffer) {
        if (sink.nCount < nSize)
            pBuffer[sink.nCount] = '\0';
        else
            pBuffer[nSize - 1] = '\0';
    }
    return sink.nCount + 1;
}

char* XmlSaveString(XmlDocument* pDoc)
{
    std::size_t nLength = XmlSaveBuffer(pDoc, nullptr, 0);
    if (nLength == 0)
        return nullptr;
    char* pszText = static_cast<char*>(std::malloc(nLength));
    if (!pszText)
        return nullptr;
    // A custom save callback that answers differently the second time would leave a cut text.
    if (XmlSaveBuffer(pDoc, pszText, nLength) != nLength) {
        std::free(pszText);
        return nullptr;
    }
    return pszText;
}
