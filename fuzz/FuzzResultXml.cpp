// Feeds any bytes to the XML result reader as the bytes of a file. Whatever
// it accepts must stay within the document's tables, be writable, and read
// back to a document that writes the very same text again.
#include "document/BenchDoc.h"
#include "document/BenchFileForms.h"
#include "platform/MessageBox.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
bool IsRow(int n)
{
    return n >= 0 && n < NUM_TRANSFER_SIZES;
}

int ReadBytes(CBenchDoc& doc, const void* pData, size_t nSize)
{
    // fmemopen refuses an empty buffer; one NUL byte reads as nothing too.
    static char cEmpty = 0;
    std::FILE* pFile = nSize ? ::fmemopen(const_cast<void*>(pData), nSize, "rb") : ::fmemopen(&cEmpty, 1, "rb");
    if (!pFile)
        std::abort();
    const int nResult = ReadXmlStream(doc, pFile);
    std::fclose(pFile);
    return nResult;
}

std::string FileBytes(const std::string& strText)
{
    std::string bytes;
    for (const char c : strText) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const bool bSilenced = [] {
        SetMessageBoxHandler([](const char*, unsigned nType) { return DefaultMessageBoxAnswer(nType); });
        return true;
    }();
    (void)bSilenced;
    CBenchDoc doc;
    const int nResult = ReadBytes(doc, pData, nSize);
    if (nResult < XML_READ_OK || nResult > XML_READ_NOT_XML)
        std::abort();
    if (!IsRow(doc.iosize1) || !IsRow(doc.iosize2) || !IsRow(doc.runiosize1) || !IsRow(doc.runiosize2) ||
        doc.pattern < 0 || doc.pattern >= NUM_PATTERNS || doc.queuedepth < 1 || doc.queuedepth > 256)
        std::abort();
    if (nResult != XML_READ_OK)
        return 0;
    std::string strFirst;
    if (!BuildXmlText(doc, strFirst))
        std::abort();
    const std::string bytes = FileBytes(strFirst);
    CBenchDoc back;
    if (ReadBytes(back, bytes.data(), bytes.size()) != XML_READ_OK)
        std::abort();
    std::string strSecond;
    if (!BuildXmlText(back, strSecond) || strSecond != strFirst)
        std::abort();
    return 0;
}
