#include "document/ArchiveReader.h"
#include "document/BenchDoc.h"
#include "document/BenchFileForms.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Option word bits of the archive form.
constexpr uint16_t OPT_DIRECTIO = 0x0001;
constexpr uint16_t OPT_QUEUEDEPTH = 0x0002;
constexpr uint16_t OPT_VERIFY = 0x0004;
constexpr uint16_t OPT_CONTINUOUS = 0x0008;
constexpr uint16_t OPT_CACHED_WRITES = 0x0010;

// The first list covers rows 0..11, the second all 21 rows; two entries a row.
constexpr unsigned FIRST_LIST_MAX = 24;
constexpr unsigned SECOND_LIST_MAX = 2 * NUM_TRANSFER_SIZES;

constexpr int32_t ARCHIVE_VERSION = 300;

ArchiveResult FromReader(const CArchiveReader& ar)
{
    return ar.Error() == ArchiveError::Generic ? ArchiveResult::Failed : ArchiveResult::InvalidFormat;
}

void ApplyOptionWord(CBenchDoc& doc, uint16_t nOptions)
{
    doc.directio = 0;
    doc.verifydata = 0;
    doc.bypasswritecache = 1;
    // The option word is the whole record of the options, so a clear bit
    // means off; keeping the value would carry the previous document's
    // setting into this one.
    doc.continuousio = 0;

    if (nOptions & OPT_DIRECTIO)
        doc.directio = 1;
    uint16_t nDepth = 1;
    if (nOptions & OPT_QUEUEDEPTH) {
        nDepth = nOptions >> 8;
        if (nDepth <= 1)
            nDepth = 4;
        else if (nDepth > 10)
            nDepth = 10;
    } else if (nOptions & OPT_VERIFY) {
        doc.verifydata = 1;
    }
    if (nOptions & OPT_CONTINUOUS)
        doc.continuousio = 1;
    if (nOptions & OPT_CACHED_WRITES)
        doc.bypasswritecache = 0;
    doc.queuedepth = doc.chosenqueuedepth = nDepth;
}

// A transfer size stored in units of 512 bytes, as a row index; -1 when it is
// not one of the table's sizes.
int RowOfSectors(const CBenchDoc& doc, uint32_t nSectors)
{
    return doc.FindRateIndex(uint64_t{nSectors} * 512);
}
}

ArchiveResult CBenchDoc::Serialize(CArchiveReader& ar)
{
    const bool bFullLayout = PathEndsWith(ar.GetPathName(), "bmk");

    uint8_t nLetter;
    if (!ar.ReadByte(nLetter))
        return FromReader(ar);
    drive = AnsiToUtf8(std::string(1, static_cast<char>(std::toupper(nLetter))) + ":");

    uint16_t nOptions;
    if (!ar.Skip(2 + 2 + 4) || !ar.ReadWord(nOptions))
        return FromReader(ar);
    ApplyOptionWord(*this, nOptions);

    std::string strText;
    if (!ar.ReadString(strText))
        return FromReader(ar);
    description = std::move(strText);

    // Bytes per second only: the old list has no IO/s.
    maxbps = 0;
    uint16_t nCount;
    if (!ar.ReadWord(nCount))
        return FromReader(ar);
    // Entries past the 24th are not skipped: the next field starts right
    // after the 24th, as the old reader did.
    for (unsigned i = 0; i < std::min<unsigned>(nCount, FIRST_LIST_MAX); ++i) {
        uint64_t nRate;
        if (!ar.ReadQword(nRate))
            return FromReader(ar);
        RateEntry& row = rates[i / 2];
        if (i % 2 == 0) {
            row.writebps = nRate;
            row.flags |= RATE_WRITEBPS;
        } else {
            row.readbps = nRate;
            row.flags |= RATE_READBPS;
        }
        maxbps = std::max(maxbps, nRate);
    }

    if (!bFullLayout)
        return ArchiveResult::Loaded;

    int32_t nPattern, nMajor, nMinor;
    if (!ar.ReadInt32(nPattern))
        return FromReader(ar);
    // A pattern past the list indexes nothing and is never stored; the file
    // is refused for it only after the version, whose message says more.
    const bool bPatternValid = nPattern >= 0 && nPattern < NUM_PATTERNS;
    if (bPatternValid)
        pattern = nPattern;
    if (!ar.ReadString(strText) || !ar.ReadString(strText) || !ar.ReadInt32(nMajor) ||
        !ar.ReadInt32(nMinor))
        return FromReader(ar);
    // Wide arithmetic: hostile numbers must not overflow into 300.
    const int64_t nVersion = int64_t{nMajor} * 100 + nMinor;
    if (nVersion != ARCHIVE_VERSION) {
        AfxMessageBox(nVersion < ARCHIVE_VERSION
                          ? "Invalid .bmk file version.\nPlease use files created by version 3.00 or later."
                          : "Invalid .bmk file version.\nThis file was created by a newer version of Vessary Tarnwick.",
                      MB_OK);
        return ArchiveResult::Abandoned;
    }
    if (!bPatternValid)
        return ArchiveResult::InvalidFormat;

    if (!ar.ReadString(strText))
        return FromReader(ar);
    ioruntime = std::move(strText);

    uint32_t nFirst, nLast;
    if (!ar.ReadDword(nFirst) || !ar.ReadDword(nLast))
        return FromReader(ar);
    // A size outside the table has no row; refusing keeps every index in
    // 0..20 and invents no range the file never held.
    const int nFirstRow = RowOfSectors(*this, nFirst);
    const int nLastRow = RowOfSectors(*this, nLast);
    if (nFirstRow < 0 || nLastRow < 0)
        return ArchiveResult::InvalidFormat;
    iosize1 = runiosize1 = nFirstRow;
    iosize2 = runiosize2 = nLastRow;

    uint64_t nFileSize;
    if (!ar.ReadQword(nFileSize))
        return FromReader(ar);
    filesize = nFileSize;

    maxbps = 0;
    if (!ar.ReadWord(nCount))
        return FromReader(ar);
    for (unsigned i = 0; i < std::min<unsigned>(nCount, SECOND_LIST_MAX); ++i) {
        uint64_t nRate;
        if (!ar.ReadQword(nRate))
            return FromReader(ar);
        RateEntry& row = rates[i / 2];
        const uint64_t nIops = nRate / row.iosize;
        if (i % 2 == 0) {
            row.writebps = nRate;
            row.writeiops = nIops;
            row.flags |= RATE_WRITEBPS | RATE_WRITEIOPS;
        } else {
            row.readbps = nRate;
            row.readiops = nIops;
            row.flags |= RATE_READBPS | RATE_READIOPS;
        }
        maxbps = std::max(maxbps, nRate);
        maxiops = std::max(maxiops, nIops);
    }
    return ArchiveResult::Loaded;
}

bool ReadArchiveForm(CBenchDoc& doc, const char* pszPathName)
{
    int fd;
    do
        fd = ::open(pszPathName ? pszPathName : "", O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    struct stat st;
    // Only a regular file has a size to hold every length against; a device
    // or pipe could feed the reader without end.
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        AfxMessageBox("Failed to open document.", MB_ICONWARNING);
        return false;
    }
    CArchiveReader ar(fd, static_cast<uint64_t>(st.st_size), pszPathName);
    const ArchiveResult result = doc.Serialize(ar);
    ::close(fd);
    switch (result) {
    case ArchiveResult::Loaded:
        return true;
    case ArchiveResult::InvalidFormat:
        AfxMessageBox("Unexpected file format.", MB_ICONWARNING);
        return false;
    case ArchiveResult::Failed:
        AfxMessageBox("Failed to open document.", MB_ICONWARNING);
        return false;
    case ArchiveResult::Abandoned:
        break;
    }
    return false;
}
