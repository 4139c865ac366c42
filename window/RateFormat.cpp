#include "window/RateFormat.h"

#include <charconv>
#include <cstring>

namespace {

// "%.2f" with '.' whatever the process locale (Qt sets the user's locale at
// start-up, which would turn the point into a comma), a trailing ".00"
// dropped, then the suffix.
void FormatNumber(char* pszBuffer, double dNumber, const char* pszSuffix)
{
    char* const pEnd = pszBuffer + RATE_TEXT_SIZE - 1;
    auto [p, ec] = std::to_chars(pszBuffer, pEnd, dNumber, std::chars_format::fixed, 2);
    if (ec != std::errc()) {
        pszBuffer[0] = '\0';
        return;
    }
    if (p - pszBuffer >= 3 && std::memcmp(p - 3, ".00", 3) == 0)
        p -= 3;
    const size_t nSuffix = std::strlen(pszSuffix);
    if (p + nSuffix > pEnd)
        return (void)(*p = '\0');
    std::memcpy(p, pszSuffix, nSuffix + 1);
}

}

void FormatDecimalRate(char* pszBuffer, uint64_t nValue)
{
    const double d = static_cast<double>(nValue);
    if (nValue >= 1000000000000ull)
        FormatNumber(pszBuffer, d / 1e12, " TB/s");
    else if (nValue >= 1000000000ull)
        FormatNumber(pszBuffer, d / 1e9, " GB/s");
    else if (nValue >= 1000000ull)
        FormatNumber(pszBuffer, d / 1e6, " MB/s");
    else if (nValue >= 1000ull)
        FormatNumber(pszBuffer, d / 1e3, " KB/s");
    else
        FormatNumber(pszBuffer, d, " B");
}

void FormatBinaryRate(char* pszBuffer, uint64_t nValue)
{
    const double d = static_cast<double>(nValue);
    if (nValue >= (1ull << 40))
        FormatNumber(pszBuffer, d * 0x1p-40, " TiB/s");
    else if (nValue >= (1ull << 30))
        FormatNumber(pszBuffer, d * 0x1p-30, " GiB/s");
    else if (nValue >= (1ull << 20))
        FormatNumber(pszBuffer, d * 0x1p-20, " MiB/s");
    else if (nValue >= (1ull << 10))
        FormatNumber(pszBuffer, d * 0x1p-10, " KiB/s");
    else
        FormatNumber(pszBuffer, d, " B");
}

void FormatIoRate(char* pszBuffer, uint64_t nValue)
{
    static const char* const kSuffixes[] = {" IO/s", "K IO/s", "M IO/s", "B IO/s", "T IO/s"};
    double d = static_cast<double>(nValue);
    int i = 0;
    while (i < 4 && d / 1000 >= 1) {
        d /= 1000;
        ++i;
    }
    FormatNumber(pszBuffer, d, kSuffixes[i]);
}

void FormatRate(char* pszBuffer, uint64_t nValue, int nUnit)
{
    switch (nUnit) {
    case UNITS_DECIMAL: FormatDecimalRate(pszBuffer, nValue); break;
    case UNITS_BINARY: FormatBinaryRate(pszBuffer, nValue); break;
    case UNITS_IOPS: FormatIoRate(pszBuffer, nValue); break;
    default: break;
    }
}

std::string FormatRateText(uint64_t nValue, int nUnit)
{
    char szText[RATE_TEXT_SIZE] = "";
    FormatRate(szText, nValue, nUnit);
    return szText;
}
