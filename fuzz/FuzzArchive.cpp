// Feeds any bytes to the archive-form reader, as a "tst" or a ".bmk" file and
// from memory or a file by the first byte, and checks that the document stays
// within its tables whatever the reader made of the bytes.
#include "document/ArchiveReader.h"
#include "document/BenchDoc.h"
#include "platform/MessageBox.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {
bool IsRow(int n)
{
    return n >= 0 && n < NUM_TRANSFER_SIZES;
}

ArchiveResult ReadFromFile(CBenchDoc& doc, const uint8_t* pData, size_t nSize, const char* pszName)
{
    const int fd = ::memfd_create("fuzz-archive", MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    size_t nDone = 0;
    while (nDone < nSize) {
        const ssize_t n = ::write(fd, pData + nDone, nSize - nDone);
        if (n <= 0)
            std::abort();
        nDone += static_cast<size_t>(n);
    }
    if (::lseek(fd, 0, SEEK_SET) != 0)
        std::abort();
    ArchiveResult result;
    {
        CArchiveReader ar(fd, nSize, pszName);
        result = doc.Serialize(ar);
    }
    ::close(fd);
    return result;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const bool bSilenced = [] {
        SetMessageBoxHandler([](const char*, unsigned nType) { return DefaultMessageBoxAnswer(nType); });
        return true;
    }();
    (void)bSilenced;
    if (nSize == 0)
        return 0;
    const char* pszName = pData[0] & 1 ? "fuzz.bmk" : "fuzz.tst";
    CBenchDoc doc;
    ArchiveResult result;
    if (pData[0] & 2) {
        result = ReadFromFile(doc, pData + 1, nSize - 1, pszName);
    } else {
        CArchiveReader ar(pData + 1, nSize - 1, pszName);
        result = doc.Serialize(ar);
    }
    const bool bIndices = IsRow(doc.iosize1) && IsRow(doc.iosize2) && IsRow(doc.runiosize1) && IsRow(doc.runiosize2);
    const bool bPattern = doc.pattern >= 0 && doc.pattern < NUM_PATTERNS;
    const bool bDepth = doc.queuedepth >= 1 && doc.queuedepth <= 10 && doc.chosenqueuedepth == doc.queuedepth;
    if (!bIndices || !bPattern || (result == ArchiveResult::Loaded && !bDepth) ||
        !IsValidUtf8(doc.description) || !IsValidUtf8(doc.drive) || !IsValidUtf8(doc.ioruntime))
        std::abort();
    return 0;
}
