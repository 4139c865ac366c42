#pragma once

// Internals of the tree shared by the library's files; not part of the library's API.

#include "xml/Xml.h"

// A copy of the text in memory of its own (malloc), or null when out of memory.
char* XmlCopyText(const char* pszText);

// Allocates a zero-filled node of the kind, with a copy of the name when one is given, and
// appends it as the parent's last child. Null when out of memory; the tree is then unchanged.
XmlNode* XmlCreateNode(XmlNode* pParent, const char* pszName, int32_t nType);

// Frees what the node itself owns (name, attributes, text or custom data) and the node, but
// none of its children; the caller has unlinked it.
void XmlFreeNode(XmlNode* pNode);

// Detaches the node from its parent and siblings; the subtree stays with it.
void XmlUnlinkNode(XmlNode* pNode);

// True for markup kept as an Element named with its whole text: a name beginning with
// "!" (comment, CDATA, declaration) or "?" (processing instruction).
bool XmlIsMarkupName(const char* pszName);

// True for a CDATA node: an Element named "![CDATA[" text "]]".
bool XmlIsCDataNode(const XmlNode* pNode);

// The name for messages: "(null)" when there is none.
const char* XmlNameOrNull(const char* pszName);
