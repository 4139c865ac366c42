#include "xml/XmlTree.h"

#include "util/Messages.h"

// Adders for callers that want a failure said to the user rather than checked: each reports
// through the error reporter and returns what the plain adder returned.

namespace {

XmlNode* ReportValue(XmlNode* pNode, XmlNode* pParent, const char* pszName)
{
    if (!pNode)
        ShowMessage(MESSAGE_KIND_ERROR, "Unable to add XML <%s> to <%s>", XmlNameOrNull(pszName),
                    XmlNameOrNull(pParent ? pParent->pszName : nullptr));
    return pNode;
}

} // namespace

XmlNode* XmlAddElementReport(XmlNode* pParent, const char* pszName)
{
    XmlNode* pNode = XmlAddElement(pParent, pszName);
    if (!pNode)
        ShowMessage(MESSAGE_KIND_ERROR, "Unable to add XML element <%s>", XmlNameOrNull(pszName));
    return pNode;
}

XmlNode* XmlAddValueReport(XmlNode* pParent, const char* pszName, const char* pszText)
{
    // With a copy the text is only read.
    return ReportValue(XmlAddValue(pParent, pszName, const_cast<char*>(pszText), 1), pParent, pszName);
}

XmlNode* XmlAddBoolReport(XmlNode* pParent, const char* pszName, int bValue)
{
    return ReportValue(XmlAddBool(pParent, pszName, bValue), pParent, pszName);
}

XmlNode* XmlAddIntReport(XmlNode* pParent, const char* pszName, int32_t nValue)
{
    return ReportValue(XmlAddInt(pParent, pszName, nValue), pParent, pszName);
}

XmlNode* XmlAddUIntReport(XmlNode* pParent, const char* pszName, uint32_t nValue)
{
    return ReportValue(XmlAddUInt(pParent, pszName, nValue), pParent, pszName);
}

XmlNode* XmlAddInt64Report(XmlNode* pParent, const char* pszName, int64_t nValue)
{
    return ReportValue(XmlAddInt64(pParent, pszName, nValue), pParent, pszName);
}

XmlNode* XmlAddUInt64Report(XmlNode* pParent, const char* pszName, uint64_t nValue)
{
    return ReportValue(XmlAddUInt64(pParent, pszName, nValue), pParent, pszName);
}

XmlNode* XmlAddRealReport(XmlNode* pParent, const char* pszName, double dValue)
{
    return ReportValue(XmlAddReal(pParent, pszName, dValue), pParent, pszName);
}

XmlNode* XmlAddHexReport(XmlNode* pParent, const char* pszName, const void* pBytes, std::size_t nBytes)
{
    return ReportValue(XmlAddHex(pParent, pszName, pBytes, nBytes), pParent, pszName);
}

int XmlSetAttributeReport(XmlNode* pNode, const char* pszName, const char* pszValue)
{
    int bSet = XmlSetAttribute(pNode, pszName, pszValue);
    if (!bSet)
        ShowMessage(MESSAGE_KIND_ERROR, "Unable to add attr %s=%s to <%s>", XmlNameOrNull(pszName),
                    XmlNameOrNull(pszValue), XmlNameOrNull(pNode ? pNode->pszName : nullptr));
    return bSet;
}
