#include "platform/FileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int CreateTestFile(const char* pszPath, bool bDirect, bool bSync)
{
    if (!pszPath || !*pszPath)
        return -ENOENT;
    int flags = O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC;
    if (bDirect)
        flags |= O_DIRECT;
    if (bSync)
        flags |= O_DSYNC;
    int fd = open(pszPath, flags, 0600);
    if (fd < 0)
        return -errno;
    // A device node or a FIFO planted at the name is not a test file.
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -EINVAL;
    }
    return fd;
}

int RemoveFile(const char* pszPath)
{
    return unlink(pszPath) == 0 ? 0 : -errno;
}

int SetFileSize(int fd, uint64_t nBytes)
{
    return ftruncate(fd, static_cast<off_t>(nBytes)) == 0 ? 0 : -errno;
}

int SeekFile(int fd, uint64_t nOffset)
{
    return lseek(fd, static_cast<off_t>(nOffset), SEEK_SET) < 0 ? -errno : 0;
}

int64_t FileWrite(int fd, const void* pBuffer, uint32_t nBytes)
{
    const char* p = static_cast<const char*>(pBuffer);
    uint32_t done = 0;
    while (done < nBytes) {
        ssize_t n = write(fd, p + done, nBytes - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -errno;
        }
        if (n == 0)
            return -EIO;   // no progress and no reason: do not spin
        done += static_cast<uint32_t>(n);
    }
    return done;
}

int64_t FileRead(int fd, void* pBuffer, uint32_t nBytes)
{
    // A short read means the end of the file; asking again could only give
    // 0, or EINVAL at an unaligned offset under O_DIRECT.
    for (;;) {
        ssize_t n = read(fd, pBuffer, nBytes);
        if (n >= 0)
            return n;
        if (errno != EINTR)
            return -errno;
    }
}

void CloseFile(int fd)
{
    if (fd >= 0)
        close(fd);
}
