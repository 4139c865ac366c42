#pragma once

// A small XML library of plain functions over plain records: a document owns a tree of nodes;
// the writer turns it into text byte for byte, the parser builds one from UTF-8 or UTF-16 text.
// Every function accepts a null document or node and then does nothing and fails.
// Reports go to ShowMessage(MESSAGE_KIND_ERROR, ...), so the quiet flag silences them.

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Node kinds.
constexpr int32_t XML_ROOT = -1;
constexpr int32_t XML_ELEMENT = 0;
constexpr int32_t XML_TEXT = 1;
constexpr int32_t XML_VALUE = 2;
constexpr int32_t XML_CUSTOM = 3;

// Whitespace callback positions: before the start tag, after a start tag that has content,
// before the end tag, after the end tag (or after a self-closed or markup tag).
constexpr int XML_WS_BEFORE_OPEN = 0;
constexpr int XML_WS_AFTER_OPEN = 1;
constexpr int XML_WS_BEFORE_CLOSE = 2;
constexpr int XML_WS_AFTER_CLOSE = 3;

// Input encodings of the loader.
constexpr uint16_t XML_ENCODE_UTF8 = 0;
constexpr uint16_t XML_ENCODE_UTF16BE = 1;
constexpr uint16_t XML_ENCODE_UTF16LE = 2;

constexpr int XML_MAX_ENTITY_CALLBACKS = 100;
constexpr std::size_t XML_SCRATCH_SIZE = 512;
constexpr int XML_NAMED_ENTITY_COUNT = 257;

struct XmlDocument;
struct XmlNode;

using XmlTypeCallback = int32_t (*)(XmlDocument* pDoc, XmlNode* pParent);
// Writes the whitespace for a position into the buffer (NUL-terminated) and returns nonzero,
// or returns 0 for none.
using XmlWhitespaceCallback = int (*)(XmlDocument* pDoc, XmlNode* pNode, int nPosition, char* pszBuffer,
                                      std::size_t nSize);
using XmlCustomLoadCallback = int (*)(XmlDocument* pDoc, XmlNode* pNode, const char* pszText);
// Returns a malloc'ed text that the writer frees, or null to fail the save.
using XmlCustomSaveCallback = char* (*)(XmlDocument* pDoc, XmlNode* pNode);
using XmlEntityCallback = int (*)(XmlDocument* pDoc, const char* pszName);
using XmlDestroyFunction = void (*)(void* pData);

struct XmlAttribute {
    XmlAttribute* pNext;
    XmlAttribute* pPrev;
    char* pszName;
    char* pszValue;   // may be null: an attribute written as a bare name
};

struct XmlNode {
    char* pszName;                 // null for Text nodes
    XmlAttribute* pFirstAttribute;
    XmlAttribute* pLastAttribute;
    union {
        char* pszText;             // Text and Value nodes
        void* pCustom;             // Custom nodes
    } value;
    XmlDestroyFunction pfnDestroy; // frees a Custom node's data
    int32_t nType;
    XmlDocument* pDoc;
    XmlNode* pNext;
    XmlNode* pPrev;
    XmlNode* pParent;
    XmlNode* pFirstChild;
    XmlNode* pLastChild;
    int32_t nUserData;
};

struct XmlDocument {
    XmlNode root;                  // kind Root, name "*ROOT*"
    XmlNode* pMainElement;
    char szScratch[XML_SCRATCH_SIZE];
    XmlTypeCallback pfnType;
    XmlWhitespaceCallback pfnWhitespace;
    XmlCustomLoadCallback pfnCustomLoad;
    XmlCustomSaveCallback pfnCustomSave;
    XmlEntityCallback apfnEntity[XML_MAX_ENTITY_CALLBACKS];
    uint16_t nWrapMargin;
    uint16_t nTabWidth;
    uint16_t nIndent;
    uint16_t nEntityCallbacks;
    uint16_t nState;               // writing: output column; loading: input encoding
    int32_t bOpenTag;              // loading: set after an opening tag
    void* pStream;                 // sink while writing, source while loading
    void* pfnChar;                 // the put or get function of the current save or load
};

// ---- document ----
XmlDocument* XmlNewDocument();
void XmlDeleteDocument(XmlDocument* pDoc);
XmlNode* XmlNewXml(XmlDocument* pDoc, const char* pszVersion, const char* pszName);
XmlNode* XmlGetMainElement(XmlDocument* pDoc);
XmlNode* XmlGetRoot(XmlDocument* pDoc);

// ---- settings and callbacks ----
void XmlSetIndent(XmlDocument* pDoc, uint16_t nIndent);
void XmlSetTabWidth(XmlDocument* pDoc, uint16_t nTabWidth);   // 0 is ignored
void XmlSetWrapMargin(XmlDocument* pDoc, uint16_t nWrapMargin); // 0 turns wrapping off
void XmlSetTypeCallback(XmlDocument* pDoc, XmlTypeCallback pfn);             // null restores the default
void XmlSetWhitespaceCallback(XmlDocument* pDoc, XmlWhitespaceCallback pfn); // null restores the default
void XmlSetCustomCallbacks(XmlDocument* pDoc, XmlCustomLoadCallback pfnLoad, XmlCustomSaveCallback pfnSave);
int XmlAddEntityCallback(XmlDocument* pDoc, XmlEntityCallback pfn);    // "Unable to add entity callback!"
int XmlRemoveEntityCallback(XmlDocument* pDoc, XmlEntityCallback pfn);
int32_t XmlDefaultTypeCallback(XmlDocument* pDoc, XmlNode* pParent);   // always XML_VALUE
int XmlDefaultWhitespaceCallback(XmlDocument* pDoc, XmlNode* pNode, int nPosition, char* pszBuffer,
                                 std::size_t nSize);

// ---- named entities ----
int XmlNamedEntity(XmlDocument* pDoc, const char* pszName);   // the default entity callback; -1 if unknown
int XmlResolveEntity(XmlDocument* pDoc, const char* pszName); // the callbacks in order; -1 if none resolves
const char* XmlNamedEntityName(int nIndex);                   // 0..256, for tests; null outside
int XmlNamedEntityCode(int nIndex);

// ---- building ----
XmlNode* XmlAddElement(XmlNode* pParent, const char* pszName);
XmlNode* XmlAddValue(XmlNode* pParent, const char* pszName, char* pszText, int bCopy);
XmlNode* XmlAddBool(XmlNode* pParent, const char* pszName, int bValue);
XmlNode* XmlAddInt(XmlNode* pParent, const char* pszName, int32_t nValue);
XmlNode* XmlAddUInt(XmlNode* pParent, const char* pszName, uint32_t nValue);
XmlNode* XmlAddInt64(XmlNode* pParent, const char* pszName, int64_t nValue);
XmlNode* XmlAddUInt64(XmlNode* pParent, const char* pszName, uint64_t nValue);
XmlNode* XmlAddReal(XmlNode* pParent, const char* pszName, double dValue);
XmlNode* XmlAddHex(XmlNode* pParent, const char* pszName, const void* pBytes, std::size_t nBytes);
XmlNode* XmlAddText(XmlNode* pParent, const char* pszText);
XmlNode* XmlAddCData(XmlNode* pParent, const char* pszText);
XmlNode* XmlAddCustom(XmlNode* pParent, const char* pszName, void* pData, XmlDestroyFunction pfnDestroy);

// The same adders that report their failure: "Unable to add XML <%s> to <%s>",
// "Unable to add XML element <%s>", "Unable to add attr %s=%s to <%s>".
XmlNode* XmlAddElementReport(XmlNode* pParent, const char* pszName);
XmlNode* XmlAddValueReport(XmlNode* pParent, const char* pszName, const char* pszText);
XmlNode* XmlAddBoolReport(XmlNode* pParent, const char* pszName, int bValue);
XmlNode* XmlAddIntReport(XmlNode* pParent, const char* pszName, int32_t nValue);
XmlNode* XmlAddUIntReport(XmlNode* pParent, const char* pszName, uint32_t nValue);
XmlNode* XmlAddInt64Report(XmlNode* pParent, const char* pszName, int64_t nValue);
XmlNode* XmlAddUInt64Report(XmlNode* pParent, const char* pszName, uint64_t nValue);
XmlNode* XmlAddRealReport(XmlNode* pParent, const char* pszName, double dValue);
XmlNode* XmlAddHexReport(XmlNode* pParent, const char* pszName, const void* pBytes, std::size_t nBytes);
int XmlSetAttributeReport(XmlNode* pNode, const char* pszName, const char* pszValue);

// ---- node access ----
int32_t XmlGetType(XmlNode* pNode);   // -1 for a null node
const char* XmlGetName(XmlNode* pNode); // Element and Value nodes only
int XmlSetName(XmlNode* pNode, const char* pszName); // Element and Value nodes only
XmlNode* XmlFirstChild(XmlNode* pNode);
XmlNode* XmlLastChild(XmlNode* pNode);
XmlNode* XmlNextSibling(XmlNode* pNode);
XmlNode* XmlPrevSibling(XmlNode* pNode);
XmlNode* XmlGetParent(XmlNode* pNode);
int32_t XmlGetUserData(XmlNode* pNode);
void XmlSetUserData(XmlNode* pNode, int32_t nData);
int XmlGetDepth(XmlNode* pNode);      // root -1, top-level nodes 0, ...
XmlNode* XmlNextNode(XmlNode* pNode, XmlNode* pTop);  // document order within pTop
XmlNode* XmlPrevNode(XmlNode* pNode, XmlNode* pTop);

// ---- values ----
const char* XmlGetValue(XmlNode* pNode);       // Value nodes only
const char* XmlGetText(XmlNode* pNode);        // Text nodes, and the text of a CDATA node
int XmlSetText(XmlNode* pNode, const char* pszText);  // Text nodes, CDATA nodes; an Element becomes a Value node
void* XmlGetCustom(XmlNode* pNode);
int XmlGetBool(XmlNode* pNode, int32_t* pValue);
int XmlGetInt(XmlNode* pNode, int32_t* pValue);
int XmlGetInt16(XmlNode* pNode, int16_t* pValue);
int XmlGetInt8(XmlNode* pNode, int8_t* pValue);
int XmlGetUInt(XmlNode* pNode, uint32_t* pValue);
int XmlGetUInt16(XmlNode* pNode, uint16_t* pValue);
int XmlGetUInt8(XmlNode* pNode, uint8_t* pValue);
int XmlGetInt64(XmlNode* pNode, int64_t* pValue);
int XmlGetUInt64(XmlNode* pNode, uint64_t* pValue);
int XmlGetReal(XmlNode* pNode, double* pValue);
// Decodes up to nSize bytes; stores the count in *pnBytes when given.
int XmlGetHex(XmlNode* pNode, void* pBytes, std::size_t nSize, std::size_t* pnBytes);

// ---- attributes ----
int XmlSetAttribute(XmlNode* pNode, const char* pszName, const char* pszValue);  // replaces or appends
const char* XmlGetAttribute(XmlNode* pNode, const char* pszName);
XmlAttribute* XmlFindAttribute(XmlNode* pNode, const char* pszName);
int XmlDeleteAttribute(XmlNode* pNode, const char* pszName);

// ---- search ----
XmlNode* XmlFindChild(XmlNode* pNode, const char* pszName);
// From pNode (exclusive) within pTop: the next node with the name (any name when null) and, when
// given, the attribute name and value; bDescend 0 searches among siblings only.
XmlNode* XmlFindNode(XmlNode* pNode, XmlNode* pTop, const char* pszName, const char* pszAttribute,
                     const char* pszValue, int bDescend);
// Names separated by "/", each step at most 255 characters; a leading "*/" searches at any depth.
XmlNode* XmlFindPath(XmlNode* pNode, const char* pszPath);

// Sorted index of the elements named pszName below pTop, by the attribute's value.
struct XmlIndex {
    char* pszAttribute;
    int nNodes;
    XmlNode** apNodes;
};
XmlIndex* XmlNewIndex(XmlNode* pTop, const char* pszName, const char* pszAttribute);
XmlNode* XmlFindIndex(XmlIndex* pIndex, const char* pszValue);
void XmlDeleteIndex(XmlIndex* pIndex);

// ---- structure ----
int XmlInsertBefore(XmlNode* pSibling, XmlNode* pNode);  // pNode must be unlinked
int XmlInsertAfter(XmlNode* pSibling, XmlNode* pNode);
int XmlRemoveNode(XmlNode* pNode);    // unlinks from parent and siblings, keeps the subtree
void XmlDeleteNode(XmlNode* pNode);   // unlinks and frees with the subtree

// ---- writer ----
int XmlSaveFile(XmlDocument* pDoc, const char* pszPath);   // 1 or 0
int XmlSaveStream(XmlDocument* pDoc, std::FILE* pFile);     // 1 or 0; the caller closes
std::size_t XmlSaveBuffer(XmlDocument* pDoc, char* pBuffer, std::size_t nSize);  // full length + NUL, 0 on failure
char* XmlSaveString(XmlDocument* pDoc);   // malloc'ed, or null

// ---- parser ----
XmlNode* XmlLoadFile(XmlDocument* pDoc, XmlNode* pTop, const char* pszPath);
// Reads the stream as XmlLoadFile reads its file (CR LF as LF, 0x1A ends it); the caller closes it.
XmlNode* XmlLoadStream(XmlDocument* pDoc, XmlNode* pTop, std::FILE* pFile);
XmlNode* XmlLoadString(XmlDocument* pDoc, XmlNode* pTop, const char* pszText);
// Loads at most nLength bytes; in UTF-8 input a NUL byte ends it as in a string.
XmlNode* XmlLoadBuffer(XmlDocument* pDoc, XmlNode* pTop, const char* pText, std::size_t nLength);
