#include "window/ResultsReport.h"

#include "document/BenchDoc.h"
#include "window/RateFormat.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace {

std::string Line(const char* pszSize, const std::string& strWrite, const std::string& strRead,
                 const std::string& strWriteIops, const std::string& strReadIops)
{
    char szLine[160];
    std::snprintf(szLine, sizeof szLine, "%13s %16s %16s %12s %12s\n", pszSize, strWrite.c_str(), strRead.c_str(),
                  strWriteIops.c_str(), strReadIops.c_str());
    return szLine;
}

std::string Count(bool bValid, uint64_t nValue)
{
    if (!bValid)
        return "-";
    char sz[24];
    std::snprintf(sz, sizeof sz, "%" PRIu64, nValue);
    return sz;
}

std::string Rate(bool bValid, uint64_t nValue, int nUnits)
{
    return bValid ? FormatRateText(nValue, nUnits) : std::string("-");
}

}

std::string FormatResultsReport(const CBenchDoc& doc, int nUnits)
{
    if (nUnits != UNITS_DECIMAL && nUnits != UNITS_BINARY && nUnits != UNITS_IOPS)
        nUnits = UNITS_DECIMAL;
    // The IO/s columns follow; in that unit the first two show bytes per second.
    const int nRateUnits = nUnits == UNITS_IOPS ? UNITS_DECIMAL : nUnits;

    std::string text = "Results for " + doc.GetTitle() + " (" + doc.drive + "):\n";
    text += Line("Transfer Size", "Write", "Read", "Write IO/s", "Read IO/s");
    const int nFirst = std::max(doc.iosize1, 0);
    const int nLast = std::min(doc.iosize2, NUM_TRANSFER_SIZES - 1);
    for (int i = nFirst; i <= nLast; ++i) {
        const RateEntry& row = doc.rates[i];
        text += Line(row.label, Rate(row.flags & RATE_WRITEBPS, row.writebps, nRateUnits),
                     Rate(row.flags & RATE_READBPS, row.readbps, nRateUnits),
                     Count(row.flags & RATE_WRITEIOPS, row.writeiops), Count(row.flags & RATE_READIOPS, row.readiops));
    }
    if (nFirst > nLast)
        text += "No transfer size was measured.\n";
    return text;
}
