// A save that fails must leave the file it was replacing as it was.
#include "ArchiveTestSupport.h"
#include "document/BenchFileForms.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<std::string> Entries(const TempDir& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Restores the hook whatever the test does.
struct HookGuard
{
    explicit HookGuard(FileWriteHook hook) : old(SetFileWriteHook(std::move(hook))) {}
    ~HookGuard() { SetFileWriteHook(std::move(old)); }
    FileWriteHook old;
};

const std::string OLD_TEXT = "the results of last night's run\r\n";

TEST(ReplaceFile, NewFileHoldsEveryByteAndTheUsualPermissions)
{
    TempDir dir;
    const std::string path = dir.File("new.bmk");
    const std::string bytes(100000, 'x');
    ASSERT_TRUE(WriteFileReplacing(path.c_str(), bytes));
    EXPECT_EQ(ReadWholeFile(path), bytes);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"new.bmk"});
}

TEST(ReplaceFile, ReplacingKeepsTheOldFilesPermissions)
{
    TempDir dir;
    const std::string path = dir.Write("old.bmk", OLD_TEXT);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileReplacing(path.c_str(), "new"));
    EXPECT_EQ(ReadWholeFile(path), "new");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(ReplaceFile, WriteFailingPartWayKeepsTheOldFileAndLeavesNoTemporary)
{
    struct Case
    {
        const char* name;
        int nFailAfterCalls;   // calls that succeed (with short writes) before the failure
        int nErrno;
    } const cases[] = {
        {"disk full at once", 0, ENOSPC},
        {"disk full part-way", 3, ENOSPC},
        {"I/O error part-way", 5, EIO},
        {"nothing written", 2, 0},   // write returns 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.Write("test.bmk", OLD_TEXT);
        int nCalls = 0;
        HookGuard guard([&](int fd, const void* p, size_t n) -> long {
            if (nCalls++ >= c.nFailAfterCalls) {
                errno = c.nErrno;
                return c.nErrno ? -1 : 0;
            }
            return ::write(fd, p, std::min<size_t>(n, 7));   // short writes on the way
        });
        EXPECT_FALSE(WriteFileReplacing(path.c_str(), std::string(1000, 'n')));
        EXPECT_EQ(ReadWholeFile(path), OLD_TEXT);
        EXPECT_EQ(Entries(dir), std::vector<std::string>{"test.bmk"});
    }
}

TEST(ReplaceFile, InterruptedWritesAreResumed)
{
    TempDir dir;
    const std::string path = dir.File("eintr.bmk");
    bool bInterrupt = true;
    HookGuard guard([&](int fd, const void* p, size_t n) -> long {
        bInterrupt = !bInterrupt;
        if (!bInterrupt) {
            errno = EINTR;
            return -1;
        }
        return ::write(fd, p, std::min<size_t>(n, 10));
    });
    const std::string bytes(95, 'e');
    ASSERT_TRUE(WriteFileReplacing(path.c_str(), bytes));
    EXPECT_EQ(ReadWholeFile(path), bytes);
}

TEST(ReplaceFile, FileSizeLimitOfTheKernelFailsTheSaveAndKeepsTheOldFile)
{
    TempDir dir;
    const std::string path = dir.Write("limit.bmk", OLD_TEXT);
    rlimit old;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    if (old.rlim_max != RLIM_INFINITY && old.rlim_max < 4096)
        GTEST_SKIP() << "the file size limit is already below the test's needs";
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool bSaved = WriteFileReplacing(path.c_str(), std::string(10000, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(bSaved);
    EXPECT_EQ(ReadWholeFile(path), OLD_TEXT);
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"limit.bmk"});
}

TEST(ReplaceFile, FullFileSystemFailsTheSaveAndKeepsTheOldFile)
{
    TempDir dir;
    const std::string mountPoint = dir.File("mnt");
    std::filesystem::create_directory(mountPoint);
    if (::mount("tarnwick-test", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
    const std::string path = mountPoint + "/full.bmk";
    { std::ofstream(path, std::ios::binary) << OLD_TEXT; }
    const bool bSaved = WriteFileReplacing(path.c_str(), std::string(256 * 1024, 'n'));
    const std::string after = ReadWholeFile(path);
    size_t nEntries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(mountPoint))
        ++nEntries;
    ::umount(mountPoint.c_str());
    EXPECT_FALSE(bSaved);
    EXPECT_EQ(after, OLD_TEXT);
    EXPECT_EQ(nEntries, 1u);
}

TEST(ReplaceFile, SavingThroughALinkReplacesTheFileItNames)
{
    TempDir dir;
    const std::string real = dir.Write("real.bmk", OLD_TEXT);
    const std::string link = dir.File("link.bmk");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteFileReplacing(link.c_str(), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(real), "new");
}

TEST(ReplaceFile, TargetThatCannotBeReplacedIsRefusedUnchanged)
{
    TempDir dir;
    std::filesystem::create_directory(dir.File("folder.bmk"));
    const std::string readOnly = dir.Write("readonly.bmk", OLD_TEXT);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const bool bRoot = ::geteuid() == 0;   // root may write a read-only file, as before
    EXPECT_FALSE(WriteFileReplacing(dir.File("folder.bmk").c_str(), "new"));
    EXPECT_FALSE(WriteFileReplacing(dir.File("no/such/dir.bmk").c_str(), "new"));
    EXPECT_FALSE(WriteFileReplacing("", "new"));
    EXPECT_EQ(WriteFileReplacing(readOnly.c_str(), "new"), bRoot);
    EXPECT_EQ(ReadWholeFile(readOnly), bRoot ? "new" : OLD_TEXT);
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"folder.bmk", "readonly.bmk"}));
}

}
