#pragma once

#include "document/BenchTables.h"
#include "platform/DocumentBase.h"

#include <cstdint>
#include <functional>
#include <string>

class CArchiveReader;

// How reading the archive form ended; the open reports all but Abandoned.
enum class ArchiveResult
{
    Loaded,
    InvalidFormat,   // ended early or held a value no row or list can take: "Unexpected file format."
    Failed,          // an impossible string length or a read error: "Failed to open document."
    Abandoned,       // the reader has said why itself (the version messages)
};

// Which values of a row are valid.
enum : uint8_t
{
    RATE_WRITEBPS = 1,
    RATE_READBPS = 2,
    RATE_WRITEIOPS = 4,
    RATE_READIOPS = 8,
};

// One row of the results table; label and size are fixed at construction.
struct RateEntry
{
    const char* label = nullptr;
    uint32_t iosize = 0;
    uint64_t readbps = 0;
    uint64_t writebps = 0;
    uint64_t readiops = 0;
    uint64_t writeiops = 0;
    uint8_t flags = 0;
};

// The settings and results of one benchmark, named after the result file's
// elements.
class CBenchDoc : public CDocumentBase
{
public:
    CBenchDoc();

    // Every setting back to its default, maxima 0, rows cleared.
    bool OnNewDocument() override;
    // Opens the XML form, or the archive form of older versions for names
    // ending in "tst" or "bmk"; says why when it cannot.
    bool OnOpenDocument(const char* pszPathName) override;
    // Saves the XML form; the old file survives a failed save.
    bool OnSaveDocument(const char* pszPathName) override;

    // Rates and flags of all rows to 0; labels, sizes and maxima stay.
    void ResetRates();
    // The first row whose size is nSize, or null.
    RateEntry* FindRate(uint64_t nSize);
    const RateEntry* FindRate(uint64_t nSize) const;
    // The row index of a size, or -1.
    int FindRateIndex(uint64_t nSize) const;

    // "Verify Data" forces depth 1; turning it off restores the chosen depth.
    void SetVerifyData(bool bVerify);
    // A depth chosen by the user: kept as the choice, in force unless verifying.
    void ChooseQueueDepth(uint16_t nDepth);

    static std::string DefaultDrive();

    // Called first by OnSaveDocument: the window installs it to copy the texts
    // of its description box (1017) and minutes box (1023) into description
    // and ioruntime, so the document needs nothing of the window. Empty: the
    // fields are saved as they are.
    std::function<void(CBenchDoc&)> m_pfnUpdateFromForm;

    // Reads the archive form of older versions from ar (never written).
    // The reader's path decides the layout: only names ending in "bmk" carry
    // the fields after the first rate list. What was read before a failure
    // stays in the document.
    ArchiveResult Serialize(CArchiveReader& ar);

    std::string drive;
    int32_t pattern = 0;
    int32_t iosize1 = 0;
    int32_t iosize2 = NUM_TRANSFER_SIZES - 1;
    int32_t runiosize1 = 0;
    int32_t runiosize2 = NUM_TRANSFER_SIZES - 1;
    uint64_t filesize = 268435456;
    std::string description;
    uint64_t maxbps = 0;
    uint64_t maxiops = 0;
    int32_t directio = 1;
    int32_t bypasswritecache = 0;
    int32_t verifydata = 0;
    int32_t continuousio = 0;
    std::string ioruntime;
    uint16_t queuedepth = 4;
    uint16_t chosenqueuedepth = 4;
    RateEntry rates[NUM_TRANSFER_SIZES];
    int32_t drivecount = 0;

private:
    void SetDefaults();
};
