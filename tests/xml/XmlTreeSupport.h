#pragma once

// Helpers of the tree and writer tests: a document that deletes itself, and the written text.

#include "xml/Xml.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace xmltree {

struct DocumentDeleter {
    void operator()(XmlDocument* pDoc) const { XmlDeleteDocument(pDoc); }
};
using Document = std::unique_ptr<XmlDocument, DocumentDeleter>;

inline Document NewDocument()
{
    return Document(XmlNewDocument());
}

// The document as XmlSaveString writes it; "<failed>" when the save fails.
inline std::string SavedText(XmlDocument* pDoc)
{
    char* pszText = XmlSaveString(pDoc);
    if (!pszText)
        return "<failed>";
    std::string text = pszText;
    std::free(pszText);
    return text;
}

inline const char* const DECLARATION = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

} // namespace xmltree
