// The ".bmk" XML form, written: the schema in its fixed order, one "rate" per
// row of the recorded range that holds a valid rate.
#include "document/ArchiveReader.h"
#include "document/BenchDoc.h"
#include "document/BenchFileForms.h"
#include "xml/Xml.h"

#include <cstdlib>

namespace {
// Text the reader can take back. The reader decodes UTF-8, so 8-bit text
// that is not valid UTF-8 is taken as Windows-1252 (as the archive reader
// takes it); and it refuses control characters other than tab, line feed
// and carriage return, so those are left out: one such character would make
// the whole saved file unreadable.
std::string XmlSafeText(const std::string& strText)
{
    const std::string strUtf8 = AnsiToUtf8(strText);
    std::string out;
    out.reserve(strUtf8.size());
    for (const char c : strUtf8) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 || b == '\t' || b == '\n' || b == '\r')
            out += c;
    }
    return out;
}

bool AddText(XmlNode* pParent, const char* pszName, const std::string& strText)
{
    std::string strSafe = XmlSafeText(strText);
    // Copied by the library (last argument 1); it does not write through the pointer.
    return XmlAddValue(pParent, pszName, strSafe.data(), 1) != nullptr;
}

bool IsRow(int nIndex)
{
    return nIndex >= 0 && nIndex < NUM_TRANSFER_SIZES;
}

bool AddSettings(XmlNode* pMain, const CBenchDoc& doc)
{
    // The range names rows; one outside the table has no size to write.
    if (!IsRow(doc.runiosize1) || !IsRow(doc.runiosize2))
        return false;
    return AddText(pMain, "drive", doc.drive) && AddText(pMain, "description", doc.description) &&
           XmlAddBool(pMain, "verifydata", doc.verifydata) && XmlAddBool(pMain, "directio", doc.directio) &&
           XmlAddBool(pMain, "bypasswritecache", doc.bypasswritecache) &&
           XmlAddBool(pMain, "continuousio", doc.continuousio) && AddText(pMain, "ioruntime", doc.ioruntime) &&
           XmlAddUInt(pMain, "queuedepth", doc.queuedepth) &&
           XmlAddUInt(pMain, "pattern", static_cast<uint32_t>(doc.pattern)) &&
           XmlAddUInt(pMain, "iosize1", doc.rates[doc.runiosize1].iosize) &&
           XmlAddUInt(pMain, "iosize2", doc.rates[doc.runiosize2].iosize) &&
           XmlAddUInt64(pMain, "filesize", doc.filesize);
}

bool AddRates(XmlNode* pMain, const CBenchDoc& doc)
{
    XmlNode* pRates = XmlAddElement(pMain, "rates");
    if (!pRates)
        return false;
    for (int i = doc.runiosize1; i <= doc.runiosize2; ++i) {
        const RateEntry& row = doc.rates[i];
        if (!(row.flags & (RATE_WRITEBPS | RATE_READBPS)))
            continue;
        XmlNode* pRate = XmlAddElement(pRates, "rate");
        if (!pRate || !XmlAddUInt64(pRate, "iosize", row.iosize))
            return false;
        if ((row.flags & (RATE_WRITEBPS | RATE_WRITEIOPS)) &&
            !(XmlAddUInt64(pRate, "writebps", row.writebps) && XmlAddUInt64(pRate, "writeiops", row.writeiops)))
            return false;
        if ((row.flags & (RATE_READBPS | RATE_READIOPS)) &&
            !(XmlAddUInt64(pRate, "readbps", row.readbps) && XmlAddUInt64(pRate, "readiops", row.readiops)))
            return false;
    }
    return true;
}
}

bool BuildXmlText(const CBenchDoc& doc, std::string& strText)
{
    XmlDocument* pXml = XmlNewDocument();
    if (!pXml)
        return false;
    XmlNode* pMain = XmlNewXml(pXml, nullptr, "benchmark");
    bool bOk = pMain && AddSettings(pMain, doc) && AddRates(pMain, doc);
    if (bOk) {
        char* pszText = XmlSaveString(pXml);
        bOk = pszText != nullptr;
        if (bOk) {
            strText = pszText;
            std::free(pszText);
        }
    }
    XmlDeleteDocument(pXml);
    return bOk;
}

bool WriteXmlForm(const CBenchDoc& doc, const char* pszPathName)
{
    std::string strText;
    if (!BuildXmlText(doc, strText))
        return false;
    // The file's lines end in CR LF, as the library's file writer ends them;
    // the text goes through the replacing write so a failure keeps the old file.
    std::string bytes;
    bytes.reserve(strText.size() + strText.size() / 16);
    for (const char c : strText) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return WriteFileReplacing(pszPathName, bytes);
}
