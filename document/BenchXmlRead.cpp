// The ".bmk" XML form, read: each setting looked up by name and stored at
// once; the first one missing or unreadable ends the reading.
#include "document/BenchDoc.h"
#include "document/BenchFileForms.h"
#include "util/CommandLineOptions.h"
#include "xml/Xml.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr uint16_t MAX_FILE_QUEUE_DEPTH = 256;   // the engine's ring of requests

// The library's error boxes stay silent while a file is tried as XML: one
// that does not parse is simply not in this form. Without a command-line
// record (tests, tools) a stand-in record carries the flag for the load.
class CQuietLoad
{
public:
    CQuietLoad() : m_pOptions(g_pCommandLineOptions)
    {
        if (!m_pOptions)
            g_pCommandLineOptions = &m_standIn;
        m_nWasQuiet = g_pCommandLineOptions->bQuiet;
        g_pCommandLineOptions->bQuiet = 1;
    }
    ~CQuietLoad()
    {
        if (m_pOptions)
            m_pOptions->bQuiet = m_nWasQuiet;
        else
            g_pCommandLineOptions = nullptr;
    }
    CQuietLoad(const CQuietLoad&) = delete;
    CQuietLoad& operator=(const CQuietLoad&) = delete;

private:
    CommandLineOptions* m_pOptions;
    CommandLineOptions m_standIn{};
    int m_nWasQuiet = 0;
};

// The text of a Value node, or empty for an element written without text:
// the writer writes an empty string that way, and such a file must open again.
bool GetTextOrEmpty(XmlNode* pNode, std::string& strText)
{
    if (const char* pszValue = XmlGetValue(pNode)) {
        strText = pszValue;
        return true;
    }
    if (XmlGetType(pNode) == XML_ELEMENT && !XmlFirstChild(pNode)) {
        strText.clear();
        return true;
    }
    return false;
}

bool ReadBool(XmlNode* pMain, const char* pszName, int32_t& nField)
{
    int32_t b;
    if (!XmlGetBool(XmlFindChild(pMain, pszName), &b))
        return false;
    nField = b;
    return true;
}

bool ReadSettings(CBenchDoc& doc, XmlNode* pMain)
{
    if (!GetTextOrEmpty(XmlFindChild(pMain, "drive"), doc.drive))
        return false;

    const char* pszDescription = XmlGetValue(XmlFindChild(pMain, "description"));
    doc.description = pszDescription ? pszDescription : "";

    if (!ReadBool(pMain, "verifydata", doc.verifydata) || !ReadBool(pMain, "directio", doc.directio) ||
        !ReadBool(pMain, "bypasswritecache", doc.bypasswritecache) ||
        !ReadBool(pMain, "continuousio", doc.continuousio))
        return false;

    // A depth the request ring cannot hold, or a pattern the list does not
    // have, would index past them later: such a file is damaged.
    uint16_t nDepth;
    if (!XmlGetUInt16(XmlFindChild(pMain, "queuedepth"), &nDepth) || nDepth < 1 || nDepth > MAX_FILE_QUEUE_DEPTH)
        return false;
    doc.queuedepth = nDepth;

    int32_t nPattern;
    if (!XmlGetInt(XmlFindChild(pMain, "pattern"), &nPattern) || nPattern < 0 || nPattern >= NUM_PATTERNS)
        return false;
    doc.pattern = nPattern;

    uint32_t nFirst, nLast;
    if (!XmlGetUInt(XmlFindChild(pMain, "iosize1"), &nFirst) || !XmlGetUInt(XmlFindChild(pMain, "iosize2"), &nLast))
        return false;

    uint64_t nFileSize;
    if (!XmlGetUInt64(XmlFindChild(pMain, "filesize"), &nFileSize))
        return false;
    doc.filesize = nFileSize;

    // A size outside the table has no row: the file is refused rather than
    // given a range it never recorded. The order of the two is not checked,
    // as it is not in a file of older versions.
    const int nFirstRow = doc.FindRateIndex(nFirst);
    const int nLastRow = doc.FindRateIndex(nLast);
    if (nFirstRow < 0 || nLastRow < 0)
        return false;
    doc.iosize1 = doc.runiosize1 = nFirstRow;
    doc.iosize2 = doc.runiosize2 = nLastRow;
    doc.chosenqueuedepth = doc.queuedepth;

    return GetTextOrEmpty(XmlFindChild(pMain, "ioruntime"), doc.ioruntime);
}

// Both values of a pair, or neither.
bool ReadPair(XmlNode* pRate, const char* pszBps, const char* pszIops, uint64_t& nBps, uint64_t& nIops)
{
    uint64_t nB, nI;
    if (!XmlGetUInt64(XmlFindChild(pRate, pszBps), &nB) || !XmlGetUInt64(XmlFindChild(pRate, pszIops), &nI))
        return false;
    nBps = nB;
    nIops = nI;
    return true;
}

int ReadRates(CBenchDoc& doc, XmlNode* pMain)
{
    XmlNode* pRates = XmlFindChild(pMain, "rates");
    if (!pRates || XmlGetType(pRates) != XML_ELEMENT)
        return XML_READ_OK;
    for (XmlNode* pRate = XmlFirstChild(pRates); pRate; pRate = XmlNextSibling(pRate)) {
        const int32_t nType = XmlGetType(pRate);
        const char* pszName = XmlGetName(pRate);
        if ((nType != XML_ELEMENT && nType != XML_VALUE) || !pszName || std::strcmp(pszName, "rate") != 0)
            return XML_READ_NOT_BENCH;
        uint64_t nSize;
        if (!XmlGetUInt64(XmlFindChild(pRate, "iosize"), &nSize))
            continue;
        RateEntry* pRow = doc.FindRate(nSize);
        if (!pRow)
            continue;
        if (ReadPair(pRate, "writebps", "writeiops", pRow->writebps, pRow->writeiops)) {
            pRow->flags |= RATE_WRITEBPS | RATE_WRITEIOPS;
            doc.maxbps = std::max(doc.maxbps, pRow->writebps);
            doc.maxiops = std::max(doc.maxiops, pRow->writeiops);
        }
        if (ReadPair(pRate, "readbps", "readiops", pRow->readbps, pRow->readiops)) {
            pRow->flags |= RATE_READBPS | RATE_READIOPS;
            doc.maxbps = std::max(doc.maxbps, pRow->readbps);
            doc.maxiops = std::max(doc.maxiops, pRow->readiops);
        }
    }
    return XML_READ_OK;
}

int ReadTree(CBenchDoc& doc, XmlDocument* pXml)
{
    XmlNode* pMain = XmlGetMainElement(pXml);   // its name is not checked
    if (!ReadSettings(doc, pMain))
        return XML_READ_NOT_BENCH;
    doc.maxbps = 0;   // maxiops keeps its value
    return ReadRates(doc, pMain);
}

template <typename Load>
int ReadWith(CBenchDoc& doc, Load load)
{
    XmlDocument* pXml = XmlNewDocument();
    if (!pXml)
        return XML_READ_NOT_XML;
    XmlNode* pFirst;
    {
        CQuietLoad quiet;
        pFirst = load(pXml);
    }
    const int nResult = pFirst ? ReadTree(doc, pXml) : XML_READ_NOT_XML;
    XmlDeleteDocument(pXml);
    return nResult;
}
}

int ReadXmlStream(CBenchDoc& doc, std::FILE* pFile)
{
    return ReadWith(doc, [&](XmlDocument* pXml) { return XmlLoadStream(pXml, nullptr, pFile); });
}

int ReadXmlForm(CBenchDoc& doc, const char* pszPathName)
{
    // Only a regular file is read: a pipe or device would block the window
    // or feed the loader without end. Anything else is "not XML", and the
    // archive reader then says why it cannot be opened.
    int fd;
    do
        fd = ::open(pszPathName ? pszPathName : "", O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return XML_READ_NOT_XML;
    struct stat st;
    std::FILE* pFile = nullptr;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        pFile = ::fdopen(fd, "rb");
    if (!pFile) {
        ::close(fd);
        return XML_READ_NOT_XML;
    }
    const int nResult = ReadXmlStream(doc, pFile);
    std::fclose(pFile);
    return nResult;
}

int ReadXmlText(CBenchDoc& doc, const char* pszText)
{
    return ReadWith(doc, [&](XmlDocument* pXml) { return XmlLoadString(pXml, nullptr, pszText); });
}
