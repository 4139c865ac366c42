// Saving over a result file without ever losing it: an unattended run saves
// over the very file it opened, so a full disk must not cost the test itself.
#include "document/BenchFileForms.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {
FileWriteHook& WriteHook()
{
    static FileWriteHook hook;
    return hook;
}

long WriteSome(int fd, const void* pData, size_t nBytes)
{
    if (const FileWriteHook& hook = WriteHook())
        return hook(fd, pData, nBytes);
    return ::write(fd, pData, nBytes);
}

bool WriteAll(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    size_t nLeft = bytes.size();
    while (nLeft > 0) {
        const long nWritten = WriteSome(fd, p, nLeft);
        if (nWritten < 0 && errno == EINTR)
            continue;
        if (nWritten <= 0)
            return false;
        p += nWritten;
        nLeft -= static_cast<size_t>(nWritten);
    }
    return true;
}

std::string DirectoryOf(const std::string& strPath)
{
    const auto slash = strPath.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : strPath.substr(0, slash);
}

// A new file beside the target, created exclusively so nothing else is hit;
// 0666 lets the umask decide as for any new file.
int CreateTemporary(const std::string& strTarget, std::string& strTemp)
{
    const auto slash = strTarget.find_last_of('/');
    const std::string strDir = slash == std::string::npos ? std::string() : strTarget.substr(0, slash + 1);
    const std::string strName = slash == std::string::npos ? strTarget : strTarget.substr(slash + 1);
    std::random_device random;
    for (int nTry = 0; nTry < 100; ++nTry) {
        char szSuffix[16];
        std::snprintf(szSuffix, sizeof szSuffix, ".%08x", static_cast<unsigned>(random()));
        strTemp = strDir + "." + strName + szSuffix + ".tmp";
        const int fd = ::open(strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}
}

FileWriteHook SetFileWriteHook(FileWriteHook hook)
{
    std::swap(WriteHook(), hook);
    return hook;
}

bool WriteFileReplacing(const char* pszPathName, std::string_view bytes)
{
    if (!pszPathName || !*pszPathName)
        return false;
    std::string strTarget = pszPathName;
    struct stat st;
    const bool bExists = ::stat(strTarget.c_str(), &st) == 0;
    if (bExists) {
        // Writing through a link keeps the link; the old way of saving
        // (truncate and write) needed write permission on the file, and so
        // does this one.
        if (!S_ISREG(st.st_mode) || ::access(strTarget.c_str(), W_OK) != 0)
            return false;
        if (char* pszReal = ::realpath(strTarget.c_str(), nullptr)) {
            strTarget = pszReal;
            std::free(pszReal);
        }
    }

    std::string strTemp;
    const int fd = CreateTemporary(strTarget, strTemp);
    if (fd < 0)
        return false;
    bool bOk = true;
    if (bExists)
        bOk = ::fchmod(fd, st.st_mode & 07777) == 0;
    bOk = bOk && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    bOk = ::close(fd) == 0 && bOk;
    bOk = bOk && ::rename(strTemp.c_str(), strTarget.c_str()) == 0;
    if (!bOk) {
        ::unlink(strTemp.c_str());
        return false;
    }
    // The new name must survive a crash too; a directory that cannot be
    // synced (some network file systems) still holds the complete file.
    const int dirFd = ::open(DirectoryOf(strTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}
