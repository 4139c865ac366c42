#pragma once

// Internals of the loader shared by its input and parser files; not part of the library's API.

#include "xml/Xml.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Returned by the get-character function at the end of the input, and after a decoding error.
constexpr int XML_INPUT_END = -1;

// No single text, name or piece of markup may grow past this: a hostile stream must not make the
// loader take memory without bound. Asking for more gives the buffer's grow-failure message.
constexpr std::size_t XML_MAX_TOKEN_SIZE = 64u * 1024u * 1024u;

// The loader's byte source: a memory block or a file, read in chunks.
struct XmlInput {
    const unsigned char* pNext;  // memory: next byte
    const unsigned char* pEnd;   // memory: one past the last byte
    std::FILE* pFile;            // file, or null for memory
    bool bTextMode;              // CR LF reads as LF and 0x1A ends the input, as a text-mode stream
    bool bNulEnds;               // a NUL byte of UTF-8 input ends it, as the end of a string
    bool bEnded;                 // once the input has ended (or failed to decode) it stays ended
    bool bReported;              // a decoding error was reported: the load fails, saying nothing more
    int nPushedByte;             // a byte read ahead by the CR LF rule, or -1
    int nPushedUnit;             // a UTF-16 unit read ahead by the CR LF rule, or -1
    std::size_t nChunk;          // file: bytes in abChunk
    std::size_t nChunkPos;       // file: next byte in abChunk
    unsigned char abChunk[16384];
};

void XmlInputFromMemory(XmlInput* pInput, const char* pText, std::size_t nLength);
void XmlInputFromFile(XmlInput* pInput, std::FILE* pFile);

// The next code point of the document's current load (its encoding is pDoc->nState), or
// XML_INPUT_END. A decoding error reports its message, when it has one, and ends the input.
int XmlGetChar(XmlDocument* pDoc, XmlInput* pInput);

// The growing text buffer of the loader; its text is always NUL-terminated.
struct XmlBuffer {
    char* pText;
    std::size_t nSize;
    std::size_t nLength;
};

// Allocates the first 64 bytes; reports pszFailure when that fails.
bool XmlBufferInit(XmlBuffer* pBuffer, const char* pszFailure);
// Appends the code point UTF-8 encoded, growing the buffer first when fewer than 4 bytes are free.
bool XmlBufferAdd(XmlBuffer* pBuffer, int nCode);
void XmlBufferClear(XmlBuffer* pBuffer);
void XmlBufferFree(XmlBuffer* pBuffer);

// One load in progress.
struct XmlParser {
    XmlDocument* pDoc;
    XmlInput* pInput;
    XmlNode* pTop;          // the node the load goes under; the parse never closes it
    XmlNode* pParent;       // the current parent
    int32_t nKind;          // the current text kind: the type callback's answer
    XmlNode* pFirst;        // the first node this load created, its result
    XmlNode* pTopLast;      // the top's last child before the load: what follows it is new
    bool bSetMain;          // this load set the document's main element
    // Text that would turn the top itself into a Value or Custom node: kept until the load
    // has succeeded, so that a failed load leaves the top as it was.
    char* pszTopText;
    int32_t nTopKind;
    XmlBuffer buffer;
};

// A marker returned instead of a character when the parse must stop as a failure (its message,
// if any, has been reported).
constexpr int XML_PARSE_FAILED = -2;

// Reports a failure of the load, unless the input has already reported why it ended.
void XmlParserReport(XmlParser* pParser, const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
int32_t XmlParserKindFor(XmlParser* pParser, XmlNode* pNode);
// The name for messages: "(null)" when there is none.
const char* XmlParserName(const XmlNode* pNode);
// Reads an entity after "&": its code point, or XML_PARSE_FAILED.
int XmlParserReadEntity(XmlParser* pParser);
// Reads a tag after "<" and acts on it. Returns false when the parse fails.
bool XmlParserReadTag(XmlParser* pParser);
