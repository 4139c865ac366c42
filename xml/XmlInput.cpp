#include "xml/XmlParse.h"

#include "util/Messages.h"

#include <cstdlib>
#include <cstring>

// Character input of the loader: bytes from memory or a file, decoded from UTF-8 or UTF-16.
// Every decoding error ends the input, so the parse goes on as for a text that ended there.

namespace {

constexpr int SWITCHED_ENCODING = -2;

bool IsControl(int nCode)
{
    return nCode < 0x20 && nCode != '\t' && nCode != '\n' && nCode != '\r';
}

int RawByte(XmlInput* pInput)
{
    if (pInput->nPushedByte >= 0) {
        int nByte = pInput->nPushedByte;
        pInput->nPushedByte = -1;
        return nByte;
    }
    if (!pInput->pFile) {
        if (pInput->pNext >= pInput->pEnd)
            return XML_INPUT_END;
        return *pInput->pNext++;
    }
    if (pInput->nChunkPos >= pInput->nChunk) {
        pInput->nChunk = std::fread(pInput->abChunk, 1, sizeof pInput->abChunk, pInput->pFile);
        pInput->nChunkPos = 0;
        if (pInput->nChunk == 0)
            return XML_INPUT_END;
    }
    return pInput->abChunk[pInput->nChunkPos++];
}

// A byte as a text-mode stream delivers it: CR LF as LF, and 0x1A as the end of the file.
int TextByte(XmlInput* pInput)
{
    int nByte = RawByte(pInput);
    if (!pInput->bTextMode)
        return nByte;
    if (nByte == 0x1A)
        return XML_INPUT_END;
    if (nByte == '\r') {
        int nNext = RawByte(pInput);
        if (nNext == '\n')
            return '\n';
        pInput->nPushedByte = nNext;   // XML_INPUT_END is pushed back as "none"
    }
    return nByte;
}

bool Continuation(XmlInput* pInput, int* pnCode)
{
    int nByte = TextByte(pInput);
    if (nByte < 0 || (nByte & 0xC0) != 0x80)
        return false;
    *pnCode = (*pnCode << 6) | (nByte & 0x3F);
    return true;
}

int ReportControl(XmlInput* pInput, int nCode)
{
    pInput->bReported = true;
    ShowMessage(MESSAGE_KIND_ERROR, "Bad control character 0x%02x not allowed by XML standard!", nCode);
    return XML_INPUT_END;
}

int ReportOverlong(XmlInput* pInput, int nCode)
{
    pInput->bReported = true;
    ShowMessage(MESSAGE_KIND_ERROR, "Invalid UTF-8 sequence for character 0x%04x!", nCode);
    return XML_INPUT_END;
}

int DecodeUtf8(XmlDocument* pDoc, XmlInput* pInput)
{
    for (;;) {
        int nByte = TextByte(pInput);
        if (nByte < 0)
            return XML_INPUT_END;
        if (nByte < 0x80) {
            if (nByte == 0 && pInput->bNulEnds)
                return XML_INPUT_END;
            if (IsControl(nByte))
                return ReportControl(pInput, nByte);
            return nByte;
        }
        if (nByte == 0xFE || nByte == 0xFF) {
            int nNext = TextByte(pInput);
            if (nByte == 0xFE && nNext == 0xFF) {
                pDoc->nState = XML_ENCODE_UTF16BE;
                return SWITCHED_ENCODING;
            }
            if (nByte == 0xFF && nNext == 0xFE) {
                pDoc->nState = XML_ENCODE_UTF16LE;
                return SWITCHED_ENCODING;
            }
            return XML_INPUT_END;
        }
        int nCode;
        if ((nByte & 0xE0) == 0xC0) {
            nCode = nByte & 0x1F;
            if (!Continuation(pInput, &nCode))
                return XML_INPUT_END;
            if (nCode < 0x80)
                return ReportOverlong(pInput, nCode);
            return nCode;
        }
        if ((nByte & 0xF0) == 0xE0) {
            nCode = nByte & 0x0F;
            if (!Continuation(pInput, &nCode) || !Continuation(pInput, &nCode))
                return XML_INPUT_END;
            if (nCode < 0x800)
                return ReportOverlong(pInput, nCode);
            if (nCode == 0xFEFF)
                continue;   // a byte order mark carries no text, wherever it stands
            return nCode;
        }
        if ((nByte & 0xF8) == 0xF0) {
            nCode = nByte & 0x07;
            if (!Continuation(pInput, &nCode) || !Continuation(pInput, &nCode) ||
                !Continuation(pInput, &nCode))
                return XML_INPUT_END;
            if (nCode < 0x10000)
                return ReportOverlong(pInput, nCode);
            return nCode;
        }
        return XML_INPUT_END;
    }
}

int RawUnit(XmlDocument* pDoc, XmlInput* pInput)
{
    int nFirst = RawByte(pInput);
    if (nFirst < 0)
        return XML_INPUT_END;
    int nSecond = RawByte(pInput);
    if (nSecond < 0)
        return XML_INPUT_END;
    return pDoc->nState == XML_ENCODE_UTF16BE ? (nFirst << 8 | nSecond) : (nSecond << 8 | nFirst);
}

// The text-mode rules apply to whole UTF-16 units: applied to the bytes they would break
// characters such as U+0A0D or U+011A.
int TextUnit(XmlDocument* pDoc, XmlInput* pInput)
{
    int nUnit;
    if (pInput->nPushedUnit >= 0) {
        nUnit = pInput->nPushedUnit;
        pInput->nPushedUnit = -1;
    } else {
        nUnit = RawUnit(pDoc, pInput);
    }
    if (!pInput->bTextMode)
        return nUnit;
    if (nUnit == 0x1A)
        return XML_INPUT_END;
    if (nUnit == '\r') {
        int nNext = RawUnit(pDoc, pInput);
        if (nNext == '\n')
            return '\n';
        pInput->nPushedUnit = nNext;
    }
    return nUnit;
}

int DecodeUtf16(XmlDocument* pDoc, XmlInput* pInput)
{
    int nUnit = TextUnit(pDoc, pInput);
    if (nUnit < 0)
        return XML_INPUT_END;
    if (IsControl(nUnit))
        return ReportControl(pInput, nUnit);
    if (nUnit >= 0xD800 && nUnit <= 0xDBFF) {
        int nLow = TextUnit(pDoc, pInput);
        if (nLow < 0xDC00 || nLow > 0xDFFF)
            return XML_INPUT_END;
        return 0x10000 + ((nUnit & 0x3FF) << 10 | (nLow & 0x3FF));
    }
    return nUnit;
}

} // namespace

void XmlInputFromMemory(XmlInput* pInput, const char* pText, std::size_t nLength)
{
    std::memset(pInput, 0, offsetof(XmlInput, abChunk));
    pInput->pNext = reinterpret_cast<const unsigned char*>(pText);
    pInput->pEnd = pInput->pNext + nLength;
    pInput->bNulEnds = true;
    pInput->nPushedByte = -1;
    pInput->nPushedUnit = -1;
}

void XmlInputFromFile(XmlInput* pInput, std::FILE* pFile)
{
    std::memset(pInput, 0, offsetof(XmlInput, abChunk));
    pInput->pFile = pFile;
    pInput->bTextMode = true;
    pInput->nPushedByte = -1;
    pInput->nPushedUnit = -1;
}

int XmlGetChar(XmlDocument* pDoc, XmlInput* pInput)
{
    while (!pInput->bEnded) {
        int nCode = pDoc->nState == XML_ENCODE_UTF8 ? DecodeUtf8(pDoc, pInput) : DecodeUtf16(pDoc, pInput);
        if (nCode == SWITCHED_ENCODING)
            continue;
        if (nCode < 0)
            break;
        return nCode;
    }
    pInput->bEnded = true;
    return XML_INPUT_END;
}

bool XmlBufferInit(XmlBuffer* pBuffer, const char* pszFailure)
{
    pBuffer->nSize = 64;
    pBuffer->nLength = 0;
    pBuffer->pText = static_cast<char*>(std::malloc(pBuffer->nSize));
    if (!pBuffer->pText) {
        pBuffer->nSize = 0;
        ShowMessage(MESSAGE_KIND_ERROR, "%s", pszFailure);
        return false;
    }
    pBuffer->pText[0] = '\0';
    return true;
}

bool XmlBufferAdd(XmlBuffer* pBuffer, int nCode)
{
    // One byte always stays for the NUL; "free" counts the bytes before it.
    if (pBuffer->nSize - pBuffer->nLength - 1 < 4) {
        std::size_t nNewSize = pBuffer->nSize < 1024 ? pBuffer->nSize * 2 : pBuffer->nSize + 1024;
        char* pNew = nNewSize <= XML_MAX_TOKEN_SIZE ? static_cast<char*>(std::realloc(pBuffer->pText, nNewSize))
                                                    : nullptr;
        if (!pNew) {
            ShowMessage(MESSAGE_KIND_ERROR, "Unable to grow string buffer to %d bytes!", static_cast<int>(nNewSize));
            return false;
        }
        pBuffer->pText = pNew;
        pBuffer->nSize = nNewSize;
    }
    char* p = pBuffer->pText + pBuffer->nLength;
    if (nCode < 0x80) {
        *p++ = static_cast<char>(nCode);
    } else if (nCode < 0x800) {
        *p++ = static_cast<char>(0xC0 | nCode >> 6);
        *p++ = static_cast<char>(0x80 | (nCode & 0x3F));
    } else if (nCode < 0x10000) {
        *p++ = static_cast<char>(0xE0 | nCode >> 12);
        *p++ = static_cast<char>(0x80 | (nCode >> 6 & 0x3F));
        *p++ = static_cast<char>(0x80 | (nCode & 0x3F));
    } else {
        // Callers keep code points at or below 0x1FFFFF, what four bytes can carry.
        *p++ = static_cast<char>(0xF0 | (nCode >> 18 & 0x07));
        *p++ = static_cast<char>(0x80 | (nCode >> 12 & 0x3F));
        *p++ = static_cast<char>(0x80 | (nCode >> 6 & 0x3F));
        *p++ = static_cast<char>(0x80 | (nCode & 0x3F));
    }
    *p = '\0';
    pBuffer->nLength = static_cast<std::size_t>(p - pBuffer->pText);
    return true;
}

void XmlBufferClear(XmlBuffer* pBuffer)
{
    pBuffer->nLength = 0;
    if (pBuffer->pText)
        pBuffer->pText[0] = '\0';
}

void XmlBufferFree(XmlBuffer* pBuffer)
{
    std::free(pBuffer->pText);
    pBuffer->pText = nullptr;
    pBuffer->nSize = 0;
    pBuffer->nLength = 0;
}
