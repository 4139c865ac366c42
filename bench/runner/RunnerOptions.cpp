#include "RunnerOptions.h"

#include "document/BenchTables.h"

#include <cctype>
#include <cstring>

namespace {

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A transfer size by its byte count or its label: the row of the size table.
int32_t TransferSizeRow(const std::string& strText)
{
    uint64_t nBytes = 0;
    if (!ParseByteCount(strText, nBytes))
        return -1;
    for (int32_t i = 0; i < NUM_TRANSFER_SIZES; ++i)
        if (g_TransferSizes[i].bytes == nBytes)
            return i;
    return -1;
}

bool ParseSizeRange(const std::string& strText, RunnerOptions& options, std::string& strError)
{
    const size_t nDash = strText.find('-');
    const std::string strFirst = strText.substr(0, nDash);
    const std::string strLast = nDash == std::string::npos ? strFirst : strText.substr(nDash + 1);
    const int32_t nFirst = TransferSizeRow(strFirst);
    const int32_t nLast = TransferSizeRow(strLast);
    if (nFirst < 0 || nLast < 0)
    {
        strError = "--sizes: \"" + strText + "\" is not a range of transfer sizes (512B .. 64MiB, such as 4KiB-1MiB)";
        return false;
    }
    options.nFirstSize = nFirst;
    options.nLastSize = nLast;
    return true;
}

bool ParseInt(const char* pszText, long nMin, long nMax, long& nValue)
{
    char* pEnd = nullptr;
    nValue = std::strtol(pszText, &pEnd, 10);
    return pEnd != pszText && *pEnd == '\0' && nValue >= nMin && nValue <= nMax;
}

}

bool ParseByteCount(const std::string& strText, uint64_t& nBytes)
{
    size_t n = 0;
    uint64_t nValue = 0;
    while (n < strText.size() && std::isdigit(static_cast<unsigned char>(strText[n])))
    {
        const uint64_t nDigit = static_cast<uint64_t>(strText[n] - '0');
        if (nValue > (UINT64_MAX - nDigit) / 10)
            return false;
        nValue = nValue * 10 + nDigit;
        ++n;
    }
    if (n == 0)
        return false;
    while (n < strText.size() && strText[n] == ' ')
        ++n;
    const std::string strSuffix = Lower(strText.substr(n));
    struct Suffix
    {
        const char* text;
        unsigned shift;
    } const suffixes[] = {
        {"", 0}, {"b", 0}, {"k", 10}, {"kb", 10}, {"kib", 10}, {"m", 20}, {"mb", 20}, {"mib", 20},
        {"g", 30}, {"gb", 30}, {"gib", 30},
    };
    for (const Suffix& s : suffixes)
    {
        if (strSuffix == s.text)
        {
            if (s.shift && nValue > (UINT64_MAX >> s.shift))
                return false;
            nBytes = nValue << s.shift;
            return true;
        }
    }
    return false;
}

const char* RunnerUsage()
{
    return "usage: tarnwick-runner [options]\n"
           "  --target DIR          directory that gets the test file (default .)\n"
           "  --sizes FIRST[-LAST]  transfer sizes by bytes or label, e.g. 4KiB-1MiB (default)\n"
           "  --file SIZE           test file size, e.g. 256MiB (default 64MiB)\n"
           "  --qd N                queue depth 1..256; N-1 requests in flight (default 4)\n"
           "  --direct              direct I/O (O_DIRECT)\n"
           "  --write-through       bypass the write cache (O_DSYNC)\n"
           "  --verify              compare what is read (runs at queue depth 1)\n"
           "  --pattern N           test pattern 0..12 (default 0)\n"
           "  --backend B           auto, io_uring or threads (default auto)\n"
           "  --keep                keep the test file after the run\n"
           "  --units U             mb, mib or iops: the unit of the chart messages\n"
           "  --machine             print \"rate BYTES WBPS WIOPS RBPS RIOPS\" lines\n";
}

bool ParseRunnerOptions(int argc, char** argv, RunnerOptions& options, std::string& strError)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string strArg = argv[i];
        const char* pszValue = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needValue = [&]() {
            if (!pszValue)
                strError = strArg + " needs a value";
            return pszValue != nullptr;
        };
        long nValue = 0;
        if (strArg == "--help" || strArg == "-h")
        {
            strError.clear();
            return false;
        }
        else if (strArg == "--direct")
            options.bDirect = true;
        else if (strArg == "--write-through")
            options.bWriteThrough = true;
        else if (strArg == "--verify")
            options.bVerify = true;
        else if (strArg == "--keep")
            options.bKeep = true;
        else if (strArg == "--machine")
            options.bMachine = true;
        else if (strArg == "--target")
        {
            if (!needValue())
                return false;
            options.strTarget = pszValue;
            ++i;
        }
        else if (strArg == "--sizes")
        {
            if (!needValue() || !ParseSizeRange(pszValue, options, strError))
                return false;
            ++i;
        }
        else if (strArg == "--file")
        {
            if (!needValue())
                return false;
            if (!ParseByteCount(pszValue, options.nFileSize) || options.nFileSize == 0)
            {
                strError = std::string("--file: \"") + pszValue + "\" is not a file size";
                return false;
            }
            ++i;
        }
        else if (strArg == "--qd")
        {
            if (!needValue())
                return false;
            if (!ParseInt(pszValue, 1, 256, nValue))
            {
                strError = std::string("--qd: \"") + pszValue + "\" is not a queue depth from 1 to 256";
                return false;
            }
            options.nQueueDepth = static_cast<uint16_t>(nValue);
            ++i;
        }
        else if (strArg == "--pattern")
        {
            if (!needValue())
                return false;
            if (!ParseInt(pszValue, 0, NUM_PATTERNS - 1, nValue))
            {
                strError = std::string("--pattern: \"") + pszValue + "\" is not a pattern from 0 to 12";
                return false;
            }
            options.nPattern = static_cast<int32_t>(nValue);
            ++i;
        }
        else if (strArg == "--backend")
        {
            if (!needValue())
                return false;
            const std::string strBackend = pszValue;
            if (strBackend == "auto")
                options.backend = IoBackend::Automatic;
            else if (strBackend == "io_uring")
                options.backend = IoBackend::IoUring;
            else if (strBackend == "threads")
                options.backend = IoBackend::Threads;
            else
            {
                strError = "--backend: \"" + strBackend + "\" is not auto, io_uring or threads";
                return false;
            }
            ++i;
        }
        else if (strArg == "--units")
        {
            if (!needValue())
                return false;
            const std::string strUnits = pszValue;
            if (strUnits == "mb")
                options.nUnits = 0;
            else if (strUnits == "mib")
                options.nUnits = 1;
            else if (strUnits == "iops")
                options.nUnits = 2;
            else
            {
                strError = "--units: \"" + strUnits + "\" is not mb, mib or iops";
                return false;
            }
            ++i;
        }
        else
        {
            strError = "unknown option " + strArg;
            return false;
        }
    }
    return true;
}
