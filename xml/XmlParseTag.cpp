#include "xml/XmlParse.h"

#include "util/Messages.h"

#include <cstring>

// The loader's tags: the name after "<", then comments, CDATA sections, processing
// instructions, declarations, close tags, and start tags with their attributes.

namespace {

// The tag name was complete before a character ended it ("?", "!--", "![CDATA[").
constexpr int NO_TERMINATOR = -3;

bool IsSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int Next(XmlParser* pParser)
{
    return XmlGetChar(pParser->pDoc, pParser->pInput);
}

bool Holds(const XmlBuffer& buffer, const char* pszText)
{
    return std::strcmp(buffer.pText, pszText) == 0;
}

bool EndsWith(const XmlBuffer& buffer, const char* pszEnd)
{
    std::size_t nEnd = std::strlen(pszEnd);
    return buffer.nLength >= nEnd && std::memcmp(buffer.pText + buffer.nLength - nEnd, pszEnd, nEnd) == 0;
}

// A character for a message, UTF-8 encoded so that no code point is cut to a stray byte.
struct CharText {
    char sz[8];
    explicit CharText(int c)
    {
        XmlBuffer buffer{sz, sizeof sz, 0};
        XmlBufferAdd(&buffer, c < 0 ? '?' : c);
    }
};

// Adds the character; "&" first reads an entity and adds its code point instead.
bool AddDecoded(XmlParser* pParser, XmlBuffer* pBuffer, int c)
{
    if (c == '&') {
        c = XmlParserReadEntity(pParser);
        if (c == XML_PARSE_FAILED)
            return false;
    }
    return XmlBufferAdd(pBuffer, c);
}

// Returns the character that ended the name, NO_TERMINATOR, or XML_PARSE_FAILED.
int ReadTagName(XmlParser* pParser)
{
    XmlBuffer* pBuffer = &pParser->buffer;
    XmlBufferClear(pBuffer);
    for (;;) {
        int c = Next(pParser);
        if (c == XML_INPUT_END || IsSpace(c) || c == '>')
            return c;
        if (c == '/' && pBuffer->nLength > 0)
            return c;
        if (c == '<') {
            XmlParserReport(pParser, "Bare < in element!");
            return XML_PARSE_FAILED;
        }
        if (c == '&') {
            if (!AddDecoded(pParser, pBuffer, c))
                return XML_PARSE_FAILED;
        } else if (c >= 0x30 || c == '!' || c == '-' || c == '.' || c == '/') {
            if (!XmlBufferAdd(pBuffer, c))
                return XML_PARSE_FAILED;
        } else {
            return XML_PARSE_FAILED;
        }
        if (Holds(*pBuffer, "?") || Holds(*pBuffer, "!--") || Holds(*pBuffer, "![CDATA["))
            return NO_TERMINATOR;
    }
}

XmlNode* AddMarkupNode(XmlParser* pParser, const char* pszFailure)
{
    XmlNode* pNode = XmlAddElement(pParser->pParent, pParser->buffer.pText);
    if (!pNode) {
        XmlParserReport(pParser, pszFailure, XmlParserName(pParser->pParent));
        return nullptr;
    }
    if (!pParser->pFirst)
        pParser->pFirst = pNode;
    return pNode;
}

// Collects markup up to the ">" that follows the closing text.
bool ReadMarkupBody(XmlParser* pParser, const char* pszClose, std::size_t nMinimum, const char* pszEarlyEnd)
{
    XmlBuffer* pBuffer = &pParser->buffer;
    for (;;) {
        int c = Next(pParser);
        if (c == XML_INPUT_END) {
            XmlParserReport(pParser, "%s", pszEarlyEnd);
            return false;
        }
        if (c == '>' && pBuffer->nLength >= nMinimum && EndsWith(*pBuffer, pszClose))
            return true;
        if (!XmlBufferAdd(pBuffer, c))
            return false;
    }
}

bool ReadComment(XmlParser* pParser)
{
    // A ">" closes only after "--" that is not itself preceded by "-", past the opening "!--".
    XmlBuffer* pBuffer = &pParser->buffer;
    for (;;) {
        if (!ReadMarkupBody(pParser, "--", 5, "Early EOF in comment node!"))
            return false;
        if (pBuffer->pText[pBuffer->nLength - 3] != '-')
            break;
        if (!XmlBufferAdd(pBuffer, '>'))
            return false;
    }
    return AddMarkupNode(pParser, "Unable to add comment node to parent <%s>!") != nullptr;
}

bool ReadCData(XmlParser* pParser)
{
    if (!ReadMarkupBody(pParser, "]]", 0, "Early EOF in CDATA node!"))
        return false;
    if (pParser->pParent == &pParser->pDoc->root) {
        XmlParserReport(pParser, "CDATA %s outside root element!", pParser->buffer.pText);
        return false;
    }
    return AddMarkupNode(pParser, "Unable to add CDATA node to parent <%s>!") != nullptr;
}

// Processing instructions and declarations stand only beside the top-level elements.
bool AddOutsideMarkup(XmlParser* pParser, const char* pszFailure)
{
    if (pParser->pParent != &pParser->pDoc->root) {
        XmlParserReport(pParser, "<%s> must be outside root element!", pParser->buffer.pText);
        return false;
    }
    XmlNode* pNode = AddMarkupNode(pParser, pszFailure);
    if (!pNode)
        return false;
    pParser->nKind = XmlParserKindFor(pParser, pNode);
    return true;
}

bool ReadProcessingInstruction(XmlParser* pParser)
{
    if (!ReadMarkupBody(pParser, "?", 0, "Early EOF in processing instruction node!"))
        return false;
    return AddOutsideMarkup(pParser, "Unable to add processing instruction node to parent <%s>!");
}

bool ReadDeclaration(XmlParser* pParser, int c)
{
    // The character that ended the name belongs to the declaration.
    for (;;) {
        if (c == XML_INPUT_END) {
            XmlParserReport(pParser, "Early EOF in declaration node!");
            return false;
        }
        if (c == '>')
            break;
        if (!AddDecoded(pParser, &pParser->buffer, c))
            return false;
        c = Next(pParser);
    }
    return AddOutsideMarkup(pParser, "Unable to add declaration node to parent <%s>!");
}

bool ReadCloseTag(XmlParser* pParser, int c)
{
    pParser->pDoc->bOpenTag = 0;
    XmlNode* pParent = pParser->pParent;
    // The top is where this load began: closing it would put new nodes outside it.
    if (pParent == pParser->pTop || !pParent->pszName ||
        std::strcmp(pParser->buffer.pText + 1, pParent->pszName) != 0) {
        XmlParserReport(pParser, "Mismatched close tag <%s> under parent <%s>!", pParser->buffer.pText,
                    XmlParserName(pParent));
        return false;
    }
    while (c != '>' && c != XML_INPUT_END)
        c = Next(pParser);
    pParser->pParent = pParent->pParent;
    pParser->nKind = XmlParserKindFor(pParser, pParser->pParent);
    return true;
}

// Reads an attribute's name or unquoted value up to one of the stop characters.
int ReadBare(XmlParser* pParser, XmlBuffer* pBuffer, int c, const char* pszStops)
{
    while (c != XML_INPUT_END && !IsSpace(c) && !std::strchr(pszStops, c)) {
        if (!AddDecoded(pParser, pBuffer, c))
            return XML_PARSE_FAILED;
        c = Next(pParser);
    }
    return c;
}

// Reads up to the closing quote; bKeepQuotes stores both quotes too. False at the end of input.
bool ReadQuoted(XmlParser* pParser, XmlBuffer* pBuffer, int nQuote, bool bKeepQuotes)
{
    if (bKeepQuotes && !XmlBufferAdd(pBuffer, nQuote))
        return false;
    for (;;) {
        int c = Next(pParser);
        if (c == XML_INPUT_END)
            return false;
        if (c == nQuote)
            return !bKeepQuotes || XmlBufferAdd(pBuffer, c);
        if (!AddDecoded(pParser, pBuffer, c))
            return false;
    }
}

// "/" and "?" end a tag only together with ">".
int CheckTagEnd(XmlParser* pParser, XmlNode* pNode, int c)
{
    int nNext = Next(pParser);
    if (nNext == '>')
        return c;
    if (nNext != XML_INPUT_END)
        XmlParserReport(pParser, "Expected '>' after '%s' for element %s, but got '%s'!", CharText(c).sz,
                    XmlParserName(pNode), CharText(nNext).sz);
    return XML_PARSE_FAILED;
}

// Returns the character that ended the tag ('>', '/' or '?') or XML_PARSE_FAILED.
int ReadAttributeList(XmlParser* pParser, XmlNode* pNode, XmlBuffer* pName, XmlBuffer* pValue)
{
    for (;;) {
        int c = Next(pParser);
        while (IsSpace(c))
            c = Next(pParser);
        if (c == XML_INPUT_END)
            return XML_PARSE_FAILED;
        if (c == '/' || c == '?')
            return CheckTagEnd(pParser, pNode, c);
        if (c == '<') {
            XmlParserReport(pParser, "Bare < in element %s!", XmlParserName(pNode));
            return XML_PARSE_FAILED;
        }
        if (c == '>')
            return c;

        XmlBufferClear(pName);
        XmlBufferClear(pValue);
        if (c == '"' || c == '\'') {
            if (!ReadQuoted(pParser, pName, c, true))
                return XML_PARSE_FAILED;
            c = Next(pParser);
        } else {
            c = ReadBare(pParser, pName, c, "=/>?");
            if (c == XML_PARSE_FAILED || c == XML_INPUT_END)
                return XML_PARSE_FAILED;
        }
        if (XmlFindAttribute(pNode, pName->pText))
            return XML_PARSE_FAILED;

        while (IsSpace(c))
            c = Next(pParser);
        if (c == '=') {
            c = Next(pParser);
            while (IsSpace(c))
                c = Next(pParser);
        } else {
            c = XML_INPUT_END;   // no "=": the value is missing as at the end of the input
        }
        if (c == XML_INPUT_END || c == '=' || c == '/' || c == '>') {
            XmlParserReport(pParser, "Missing value for attribute '%s' in element %s!", pName->pText,
                        XmlParserName(pNode));
            return XML_PARSE_FAILED;
        }
        int nEnd;
        if (c == '"' || c == '\'') {
            if (!ReadQuoted(pParser, pValue, c, false))
                return XML_PARSE_FAILED;
            nEnd = c;
        } else {
            nEnd = ReadBare(pParser, pValue, c, "=/>");
            if (nEnd == XML_PARSE_FAILED || nEnd == XML_INPUT_END)
                return XML_PARSE_FAILED;
        }
        if (!XmlSetAttribute(pNode, pName->pText, pValue->pText))
            return XML_PARSE_FAILED;
        if (nEnd == '/')
            return CheckTagEnd(pParser, pNode, nEnd);
        if (nEnd == '>')
            return nEnd;
    }
}

int ReadAttributes(XmlParser* pParser, XmlNode* pNode)
{
    XmlBuffer name;
    XmlBuffer value;
    if (!XmlBufferInit(&name, "Unable to allocate memory for name!"))
        return XML_PARSE_FAILED;
    if (!XmlBufferInit(&value, "Unable to allocate memory for value!")) {
        XmlBufferFree(&name);
        return XML_PARSE_FAILED;
    }
    int nEnd = ReadAttributeList(pParser, pNode, &name, &value);
    XmlBufferFree(&name);
    XmlBufferFree(&value);
    return nEnd;
}

bool ReadStartTag(XmlParser* pParser, int c)
{
    XmlDocument* pDoc = pParser->pDoc;
    pDoc->bOpenTag = 1;
    XmlNode* pParent = pParser->pParent;
    bool bTopLevel = pParent == &pDoc->root;
    if (bTopLevel && pDoc->pMainElement) {
        XmlParserReport(pParser, "<%s> cannot be a second root node after <%s>", pParser->buffer.pText,
                    XmlParserName(pDoc->pMainElement));
        return false;
    }
    XmlNode* pNode = XmlAddElement(pParent, pParser->buffer.pText);
    if (!pNode) {
        XmlParserReport(pParser, "Unable to add element node to parent <%s>!", XmlParserName(pParent));
        return false;
    }
    if (!pParser->pFirst)
        pParser->pFirst = pNode;
    if (bTopLevel) {
        pDoc->pMainElement = pNode;
        pParser->bSetMain = true;
    }
    int nEnd = c;
    if (IsSpace(c)) {
        nEnd = ReadAttributes(pParser, pNode);
        if (nEnd == XML_PARSE_FAILED)
            return false;
    } else if (c == '/') {
        int nNext = Next(pParser);
        if (nNext != '>') {
            // The end of the input here is a tag cut short: no character to name.
            if (nNext != XML_INPUT_END)
                XmlParserReport(pParser, "Expected > but got '%s' instead for element <%s/>!",
                            CharText(nNext).sz, XmlParserName(pNode));
            return false;   // the rollback deletes the new element
        }
    }
    if (nEnd == '/') {
        pDoc->bOpenTag = 0;
    } else {
        pParser->pParent = pNode;
        pParser->nKind = XmlParserKindFor(pParser, pNode);
    }
    return true;
}

} // namespace

bool XmlParserReadTag(XmlParser* pParser)
{
    int c = ReadTagName(pParser);
    if (c == XML_PARSE_FAILED)
        return false;
    const XmlBuffer& name = pParser->buffer;
    if (Holds(name, "!--"))
        return ReadComment(pParser);
    if (Holds(name, "![CDATA["))
        return ReadCData(pParser);
    if (name.pText[0] == '?')
        return ReadProcessingInstruction(pParser);
    if (name.pText[0] == '!')
        return ReadDeclaration(pParser, c);
    if (name.pText[0] == '/')
        return ReadCloseTag(pParser, c);
    return ReadStartTag(pParser, c);
}
