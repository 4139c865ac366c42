#include "platform/MountList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {
std::string ReadFixture(const char* pszName)
{
    std::ifstream in(std::string(TEST_FIXTURE_DIR) + "/" + pszName);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> MountPoints(const std::vector<MountEntry>& entries)
{
    std::vector<std::string> points;
    for (const auto& e : entries)
        points.push_back(e.strMountPoint);
    return points;
}
}

TEST(MountList, DesktopTableListsDisksSharesDatasetsAndFuseMountsInTableOrder)
{
    const auto entries = ParseMountInfo(ReadFixture("desktop.mountinfo"));
    EXPECT_EQ(MountPoints(entries), (std::vector<std::string>{
                                        "/", "/boot/efi", "/media/user/BACK UP", "/tmp", "/mnt/nas",
                                        "/mnt/share", "/tank/projects", "/home/user/remote",
                                        "/media/user/WINDATA", "/mnt/smb3", "/mnt/cephfs", "/mnt/img"}));
}

TEST(MountList, PseudoImageAndRuntimeMountsAreLeftOut)
{
    const auto points = MountPoints(ParseMountInfo(ReadFixture("desktop.mountinfo")));
    for (const char* left : {"/sys", "/proc", "/dev", "/dev/pts", "/run", "/dev/shm", "/run/lock", "/sys/fs/cgroup",
                             "/sys/fs/bpf", "/proc/sys/fs/binfmt_misc", "/dev/hugepages", "/dev/mqueue",
                             "/sys/kernel/debug", "/snap/core22/1380", "/snap/firefox/4336", "/run/user/1000",
                             "/run/user/1000/gvfs", "/media/user/CDROM", "/sys/fs/fuse/connections"}) {
        SCOPED_TRACE(left);
        EXPECT_EQ(std::count(points.begin(), points.end(), left), 0);
    }
}

TEST(MountList, ContainerTableKeepsVolumesAndDropsItsOwnFiles)
{
    const auto entries = ParseMountInfo(ReadFixture("container.mountinfo"));
    // The overlay root is the container's own image; /data is mounted twice and listed once.
    EXPECT_EQ(MountPoints(entries), (std::vector<std::string>{"/data", "/work"}));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].strDisplayText, "(/data) /dev/sdb1 xfs");
    EXPECT_EQ(entries[1].strDisplayText, "(/work) trans 9p");
}

TEST(MountList, DisplayTextIsMountPointThenLabelOrDeviceAndType)
{
    const VolumeLabels labels = {{"/dev/sdb1", "BACKUP"}, {"/dev/nvme0n1p1", ""}};
    const auto entries = ParseMountInfo(ReadFixture("desktop.mountinfo"), labels);
    const struct { const char* point; const char* text; } cases[] = {
        {"/", "(/) /dev/nvme0n1p2 ext4"},
        {"/boot/efi", "(/boot/efi) /dev/nvme0n1p1 vfat"},
        {"/media/user/BACK UP", "(/media/user/BACK UP) BACKUP"},
        {"/tmp", "(/tmp) tmpfs tmpfs"},
        {"/mnt/nas", "(/mnt/nas) nas.local:/export/data nfs4"},
        {"/mnt/share", "(/mnt/share) //fileserver/public cifs"},
        {"/tank/projects", "(/tank/projects) tank/projects zfs"},
        {"/home/user/remote", "(/home/user/remote) user@host:/srv fuse.sshfs"},
        {"/media/user/WINDATA", "(/media/user/WINDATA) /dev/sdc1 fuseblk"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.point);
        const auto it = std::find_if(entries.begin(), entries.end(),
                                     [&](const MountEntry& e) { return e.strMountPoint == c.point; });
        ASSERT_NE(it, entries.end());
        EXPECT_EQ(it->strDisplayText, c.text);
    }
}

TEST(MountList, NamesLoseTheirEscapes)
{
    const struct { const char* raw; const char* decoded; } cases[] = {
        {"/media/BACK\\040UP", "/media/BACK UP"},
        {"/a\\011b", "/a\tb"},
        {"/a\\134b", "/a\\b"},
        {"My\\x20Disk", "My Disk"},
        {"/trailing\\04", "/trailing\\04"},
        {"/plain", "/plain"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_EQ(DecodeMountName(c.raw), c.decoded);
    }
}

TEST(MountList, DamagedLinesAreSkipped)
{
    const auto entries = ParseMountInfo("garbage\n"
                                        "1 2 3:4 / /mnt/x rw\n"
                                        "\n"
                                        "28 1 259:2 / /mnt/ok rw - ext4 /dev/sda3 rw\n"
                                        "29 1 259:3 / /mnt/nosource rw -\n");
    EXPECT_EQ(MountPoints(entries), (std::vector<std::string>{"/mnt/ok"}));
}

TEST(MountList, LabelsAreReadFromLinksToTheirDevices)
{
    const auto dir = std::filesystem::temp_directory_path() / ("tarnwick-labels-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "dev");
    std::ofstream(dir / "dev" / "sdz1").put('x');
    std::filesystem::create_directories(dir / "by-label");
    std::filesystem::create_symlink("../dev/sdz1", dir / "by-label" / "My\\x20Disk");
    const VolumeLabels labels = ReadVolumeLabels((dir / "by-label").string());
    std::filesystem::remove_all(dir);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels.begin()->first, (std::filesystem::canonical(std::filesystem::temp_directory_path()) /
                                      ("tarnwick-labels-" + std::to_string(getpid())) / "dev" / "sdz1")
                                         .string());
    EXPECT_EQ(labels.begin()->second, "My Disk");
}

TEST(MountList, ThisMachinesListHasOnlyDirectories)
{
    for (const auto& e : ListMounts()) {
        SCOPED_TRACE(e.strMountPoint);
        EXPECT_TRUE(std::filesystem::is_directory(e.strMountPoint));
        EXPECT_EQ(e.strDisplayText.rfind("(" + e.strMountPoint + ") ", 0), 0u);
    }
}
