#include "platform/SectorSize.h"

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

constexpr uint32_t DEFAULT_SECTOR_SIZE = 512;

// A sector size worth believing: a power of two a device could have.
bool Plausible(uint64_t n)
{
    return n >= 512 && n <= 65536 && (n & (n - 1)) == 0;
}

uint32_t ReadNumber(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "re");
    if (!f)
        return 0;
    unsigned long n = 0;
    const bool ok = std::fscanf(f, "%lu", &n) == 1;
    std::fclose(f);
    return ok && Plausible(n) ? static_cast<uint32_t>(n) : 0;
}

uint32_t StatxAlignment(const char* pszFile)
{
    struct statx stx{};
    if (statx(AT_FDCWD, pszFile, AT_SYMLINK_NOFOLLOW, STATX_DIOALIGN, &stx) != 0)
        return 0;
    if (!(stx.stx_mask & STATX_DIOALIGN) || !S_ISREG(stx.stx_mode))
        return 0;
    return Plausible(stx.stx_dio_offset_align) ? stx.stx_dio_offset_align : 0;
}

}

uint32_t BlockDeviceSectorSize(unsigned nMajor, unsigned nMinor)
{
    const std::string base = "/sys/dev/block/" + std::to_string(nMajor) + ":" + std::to_string(nMinor);
    if (uint32_t n = ReadNumber(base + "/queue/logical_block_size"))
        return n;
    // A partition has no queue of its own; its directory sits in the disk's.
    return ReadNumber(base + "/../queue/logical_block_size");
}

uint32_t DirectIoAlignment(const char* pszTarget)
{
    struct stat st{};
    if (stat(pszTarget, &st) != 0)
        return 0;
    if (S_ISREG(st.st_mode))
        return StatxAlignment(pszTarget);
    if (!S_ISDIR(st.st_mode))
        return 0;
    // Directories report no alignment; ask the first regular files found.
    DIR* pDir = opendir(pszTarget);
    if (!pDir)
        return 0;
    uint32_t n = 0;
    int nLooked = 0;
    while (dirent* pEntry = readdir(pDir)) {
        if (pEntry->d_type != DT_REG && pEntry->d_type != DT_UNKNOWN)
            continue;
        const std::string path = std::string(pszTarget) + "/" + pEntry->d_name;
        n = StatxAlignment(path.c_str());
        if (n || ++nLooked >= 16)
            break;
    }
    closedir(pDir);
    return n;
}

uint32_t GetSectorSize(const char* pszTarget)
{
    if (!pszTarget || !*pszTarget)
        return DEFAULT_SECTOR_SIZE;
    struct stat st{};
    if (stat(pszTarget, &st) == 0 && major(st.st_dev) != 0) {
        if (uint32_t n = BlockDeviceSectorSize(major(st.st_dev), minor(st.st_dev)))
            return n;
    }
    if (uint32_t n = DirectIoAlignment(pszTarget))
        return n;
    return DEFAULT_SECTOR_SIZE;
}
