#include "platform/SectorSize.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

bool PowerOfTwoSector(uint32_t n)
{
    return n >= 512 && n <= 65536 && (n & (n - 1)) == 0;
}

TEST(SectorSize, MachinesOwnFileSystemsGivePlausibleSizes)
{
    for (const char* target : {"/", "/tmp", "/dev/shm", "/proc", ".", "/etc/hostname"}) {
        SCOPED_TRACE(target);
        struct stat st{};
        if (stat(target, &st) != 0)
            continue;
        EXPECT_TRUE(PowerOfTwoSector(GetSectorSize(target))) << GetSectorSize(target);
    }
}

TEST(SectorSize, BlockDeviceAnswersWithItsLogicalBlockSize)
{
    struct stat st{};
    ASSERT_EQ(stat("/", &st), 0);
    if (major(st.st_dev) == 0)
        GTEST_SKIP() << "the root file system is not on a block device here";
    const uint32_t n = BlockDeviceSectorSize(major(st.st_dev), minor(st.st_dev));
    ASSERT_NE(n, 0u) << "no logical_block_size under /sys/dev/block for the root device";
    EXPECT_TRUE(PowerOfTwoSector(n));
    EXPECT_EQ(GetSectorSize("/"), n);
}

TEST(SectorSize, NothingToAskGivesTheDefault)
{
    EXPECT_EQ(GetSectorSize(nullptr), 512u);
    EXPECT_EQ(GetSectorSize(""), 512u);
    EXPECT_EQ(GetSectorSize("/no/such/place/at/all"), 512u);
    EXPECT_EQ(BlockDeviceSectorSize(0, 0), 0u);
    EXPECT_EQ(DirectIoAlignment("/no/such/place"), 0u);
}

TEST(SectorSize, AlignmentOfAFileIsAskedOfTheFileNotItsDirectory)
{
    std::string dir = (std::filesystem::temp_directory_path() / "tarnwick-sector-XXXXXX").string();
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    EXPECT_EQ(DirectIoAlignment(dir.c_str()), 0u) << "an empty directory has no file to ask";
    { std::ofstream(dir + "/f") << "x"; }
    const uint32_t n = DirectIoAlignment(dir.c_str());
    // Kernels before 6.1 or file systems without direct I/O report nothing.
    if (n != 0) {
        EXPECT_TRUE(PowerOfTwoSector(n));
        EXPECT_EQ(DirectIoAlignment((dir + "/f").c_str()), n);
    }
    std::filesystem::remove_all(dir);
}

}
