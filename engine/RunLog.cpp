#include "engine/RunLog.h"

#include "document/BenchDoc.h"
#include "platform/MessageBox.h"
#include "util/CommandLineOptions.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <time.h>
#include <unistd.h>

namespace {

// Every formatted piece is built in a buffer of this size before it is written.
constexpr size_t ENTRY_BUFFER = 300;

std::string Format(const char* pszFormat, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* pszFormat, ...)
{
    char buffer[ENTRY_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    std::vsnprintf(buffer, sizeof buffer, pszFormat, args);
    va_end(args);
    return buffer;
}

bool WriteAll(int fd, const std::string& text)
{
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

}

std::string LogFileName(const CBenchDoc& doc)
{
    const std::string& path = doc.GetPathName();
    if (path.empty()) {
        std::string name = doc.drive;
        if (name.empty() || name.back() != '/')
            name += '/';
        return name + "DataError.log";
    }
    if (g_pCommandLineOptions && g_pCommandLineOptions->pszLogFile)
        return g_pCommandLineOptions->pszLogFile;
    // A path too short to have an extension gets one rather than losing its name.
    if (path.size() < 3)
        return path + ".log";
    return path.substr(0, path.size() - 3) + "log";
}

bool FormatSize(char* pszBuffer, size_t nBufferSize, uint64_t nBytes)
{
    if (!pszBuffer || nBufferSize == 0)
        return false;
    int n;
    if (nBytes < 1024) {
        n = std::snprintf(pszBuffer, nBufferSize, "%d %s%s", static_cast<int>(nBytes), "", " B");
    } else {
        const char* unit = "KB";
        int shift = 10;
        if (nBytes >= (uint64_t{1} << 40)) {
            unit = "TB";
            shift = 40;
        } else if (nBytes >= (uint64_t{1} << 30)) {
            unit = "GB";
            shift = 30;
        } else if (nBytes >= (uint64_t{1} << 20)) {
            unit = "MB";
            shift = 20;
        }
        const uint64_t t = (nBytes * 1000u) >> shift;   // the product wraps, as it always has
        const long long h = static_cast<long long>(t / 10 + (t % 10 >= 5 ? 1 : 0));
        if (h % 100 == 0) {
            n = std::snprintf(pszBuffer, nBufferSize, "%lld %s%s", h / 100, "", unit);
        } else {
            n = std::snprintf(pszBuffer, nBufferSize, "%lld %s%s", h, " ", unit);
            if (n >= 0 && static_cast<size_t>(n) < nBufferSize && n >= 7) {
                // Hundredths: the two digits before the unit move right past a new point.
                char* end = pszBuffer + n;
                end[-4] = end[-5];
                end[-5] = end[-6];
                end[-6] = '.';
            }
        }
    }
    return n >= 0 && static_cast<size_t>(n) < nBufferSize;
}

std::string FormatLogTimeLine(std::time_t now)
{
    std::tm local{};
    if (!localtime_r(&now, &local))
        return {};
    // The names of days and months, and AM/PM, in the C locale whatever the
    // process's locale (the window toolkit adopts the user's at start-up),
    // so every log reads the same.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    char buffer[128];
    const char* pszFormat = "\r\n\r\n%A, %B %-d, %Y   %-I:%M %p\r\n";
    const size_t n = cLocale ? strftime_l(buffer, sizeof buffer, pszFormat, &local, cLocale)
                             : std::strftime(buffer, sizeof buffer, pszFormat, &local);
    return std::string(buffer, n);   // n is 0 when it did not fit: nothing is written
}

std::string FormatLogMessage(const std::string& strTitle, const char* pszText)
{
    return Format("Running %s....\r\n%s\r\n", strTitle.c_str(), pszText ? pszText : "");
}

std::string FormatLogErrorList(const std::string& strTitle, const std::string& strDrive,
                               const DataErrorRecord* pRecords, int nRecords)
{
    std::string text = Format("Running %s....\r\nTarnwick logged %d errors for drive (%s)\r\n\r\n",
                              strTitle.c_str(), nRecords, strDrive.c_str());
    text += "Transfer Size:\tBuffer Index:\tExpected Value:\tActual Value:\r\n";
    for (int i = 0; i < nRecords; ++i) {
        char size[20];
        FormatSize(size, sizeof size, pRecords[i].dwTransferSize);
        text += Format("%-14s\t%-13d\t%-15.8X\t%-13.8X\r\n", size, static_cast<int>(pRecords[i].dwBufferIndex),
                       pRecords[i].dwExpected, pRecords[i].dwActual);
    }
    return text;
}

std::string FormatErrorDialogLine(const DataErrorRecord& record)
{
    char size[25];
    FormatSize(size, sizeof size, record.dwTransferSize);
    char line[100];
    std::snprintf(line, sizeof line, "%s\t%d\t%.8X\t%.8X", size, static_cast<int>(record.dwBufferIndex),
                  record.dwExpected, record.dwActual);
    return line;
}

bool WriteLog(const CBenchDoc& doc, const char* pszText, std::time_t now)
{
    const std::string name = LogFileName(doc);
    // Appended to, never truncated; a link planted at the name is not followed.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        AfxMessageBox("Could not open log file.", MB_ICONERROR);
        return false;
    }
    std::string entry = FormatLogTimeLine(now);
    if (pszText)
        entry += FormatLogMessage(doc.GetTitle(), pszText);
    else
        entry += FormatLogErrorList(doc.GetTitle(), doc.drive, g_DataErrors, g_nDataErrors);
    const bool bWritten = WriteAll(fd, entry);
    ::close(fd);

    if (IsUnattended()) {
        // Without a display the console is where a scripted run is watched.
        for (size_t pos = 0; pos < entry.size();) {
            size_t end = entry.find("\r\n", pos);
            if (end == std::string::npos)
                end = entry.size();
            if (end > pos)
                std::printf("%.*s\n", static_cast<int>(end - pos), entry.c_str() + pos);
            pos = end + 2;
        }
        std::fflush(stdout);
    } else {
        char message[ENTRY_BUFFER];
        std::snprintf(message, sizeof message, "Errors have been logged to\r\n%s", name.c_str());
        AfxMessageBox(message, MB_ICONINFORMATION);
    }
    return bWritten;
}
