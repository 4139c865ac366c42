#include "platform/IoBuffer.h"
#include "platform/IoQueue.h"
#include "platform/IoQueueBackends.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <string>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// A temporary directory on the file system that holds the build tree, removed with its files.
class CTempDir
{
public:
    CTempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-ioq-XXXXXX").string();
        m_path = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~CTempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string File(const char* name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

struct BackendCase
{
    const char* label;
    IoBackend backend;
};

class IoQueueBackendTest : public ::testing::TestWithParam<BackendCase>
{
protected:
    std::unique_ptr<CIoQueue> Make() { return CreateIoQueue(GetParam().backend); }
    void SetUp() override
    {
        if (GetParam().backend == IoBackend::IoUring && !IoUringAvailable())
            GTEST_SKIP() << "io_uring cannot be set up in this process (kernel, sysctl or seccomp)";
    }
    CTempDir m_dir;
};

// Block k of a file carries the byte k + 1 everywhere, so misplaced offsets show.
void FillBlock(uint8_t* p, uint32_t n, unsigned k)
{
    std::memset(p, static_cast<int>(k + 1), n);
}

TEST_P(IoQueueBackendTest, RequestsLandAtTheirOffsetsAndReadBackAtEveryDepth)
{
    for (unsigned depth : {1u, 2u, 4u, 256u}) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const std::string path = m_dir.File("data");
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        auto q = Make();
        ASSERT_TRUE(q);
        ASSERT_EQ(q->Setup(fd, depth), 0);

        constexpr uint32_t BLOCK = 4096;
        const unsigned blocks = depth * 3;
        std::vector<uint8_t*> buffers(depth);
        for (auto& b : buffers)
            b = static_cast<uint8_t*>(AllocBuffer(BLOCK));
        // Keep every slot busy: wait for a slot only when it comes round again.
        for (unsigned k = 0; k < blocks; ++k) {
            const unsigned slot = k % depth;
            if (k >= depth) {
                ASSERT_EQ(q->Wait(slot), BLOCK);
            }
            FillBlock(buffers[slot], BLOCK, k);
            ASSERT_EQ(q->SubmitWrite(slot, buffers[slot], BLOCK, uint64_t(k) * BLOCK), 0);
        }
        for (unsigned slot = 0; slot < depth; ++slot)
            ASSERT_EQ(q->Wait(slot), BLOCK);
        EXPECT_EQ(lseek(fd, 0, SEEK_END), off_t(blocks) * BLOCK);

        // Read every block back into its own slot's buffer, all in flight at once.
        for (unsigned first = 0; first < blocks; first += depth) {
            for (unsigned slot = 0; slot < depth && first + slot < blocks; ++slot)
                ASSERT_EQ(q->SubmitRead(slot, buffers[slot], BLOCK, uint64_t(first + slot) * BLOCK), 0);
            for (unsigned slot = 0; slot < depth && first + slot < blocks; ++slot) {
                ASSERT_EQ(q->Wait(slot), BLOCK);
                std::vector<uint8_t> expected(BLOCK);
                FillBlock(expected.data(), BLOCK, first + slot);
                EXPECT_EQ(std::memcmp(buffers[slot], expected.data(), BLOCK), 0) << "block " << first + slot;
            }
        }
        q->Teardown();
        for (auto b : buffers)
            FreeBuffer(b, BLOCK);
        close(fd);
    }
}

TEST_P(IoQueueBackendTest, FailuresComeBackAsNegativeErrno)
{
    const std::string path = m_dir.File("data");
    const int fdWrite = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fdWrite, 0);
    const int fdRead = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fdRead, 0);
    uint8_t* p = static_cast<uint8_t*>(AllocBuffer(4096));

    struct Case
    {
        const char* what;
        int fd;
        bool bWrite;
        int64_t expected;
    } cases[] = {
        {"write on a read-only descriptor", fdRead, true, -EBADF},
        {"read on a write-only descriptor", fdWrite, false, -EBADF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto q = Make();
        ASSERT_EQ(q->Setup(c.fd, 2), 0);
        const int submitted = c.bWrite ? q->SubmitWrite(0, p, 4096, 0) : q->SubmitRead(0, p, 4096, 0);
        // The failure may come at submission or at completion, never as success.
        if (submitted < 0)
            EXPECT_EQ(submitted, c.expected);
        else
            EXPECT_EQ(q->Wait(0), c.expected);
        q->Teardown();
    }
    close(fdRead);
    close(fdWrite);
    FreeBuffer(p, 4096);
}

TEST_P(IoQueueBackendTest, ShortReadAtEndOfFileCountsAsDone)
{
    const std::string path = m_dir.File("data");
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 6144), 0);
    uint8_t* p = static_cast<uint8_t*>(AllocBuffer(8192));
    auto q = Make();
    ASSERT_EQ(q->Setup(fd, 4), 0);
    ASSERT_EQ(q->SubmitRead(1, p, 4096, 4096), 0);
    ASSERT_EQ(q->SubmitRead(2, p + 4096, 4096, 8192), 0);
    EXPECT_EQ(q->Wait(2), 0);   // wholly past the end
    EXPECT_EQ(q->Wait(1), 2048);
    // A slot already reaped reports its result again.
    EXPECT_EQ(q->Wait(1), 2048);
    q->Teardown();
    FreeBuffer(p, 8192);
    close(fd);
}

TEST_P(IoQueueBackendTest, MisuseIsRefusedNotUndefined)
{
    const std::string path = m_dir.File("data");
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    uint8_t* p = static_cast<uint8_t*>(AllocBuffer(4096));
    auto q = Make();
    EXPECT_LT(q->SubmitWrite(0, p, 4096, 0), 0) << "before Setup";
    EXPECT_EQ(q->Setup(fd, 0), -EINVAL);
    EXPECT_EQ(q->Setup(-1, 4), -EINVAL);
    ASSERT_EQ(q->Setup(fd, 2), 0);
    EXPECT_EQ(q->SubmitWrite(2, p, 4096, 0), -EINVAL) << "slot beyond the depth";
    ASSERT_EQ(q->SubmitWrite(0, p, 4096, 0), 0);
    // The same slot cannot carry two requests, even once the first has
    // finished: its result is still to be taken by Wait.
    EXPECT_EQ(q->SubmitWrite(0, p, 4096, 0), -EBUSY) << "a slot in flight was submitted twice";
    usleep(50000);
    EXPECT_EQ(q->SubmitWrite(0, p, 4096, 0), -EBUSY) << "a finished, unclaimed slot was submitted again";
    EXPECT_EQ(q->Wait(0), 4096);
    ASSERT_EQ(q->SubmitWrite(0, p, 4096, 0), 0) << "a claimed slot is free again";
    q->Teardown();   // waits for the request in flight
    EXPECT_EQ(lseek(fd, 0, SEEK_END), 4096);
    FreeBuffer(p, 4096);
    close(fd);
}

INSTANTIATE_TEST_SUITE_P(Backends, IoQueueBackendTest,
                         ::testing::Values(BackendCase{"IoUring", IoBackend::IoUring},
                                           BackendCase{"Threads", IoBackend::Threads},
                                           BackendCase{"Automatic", IoBackend::Automatic}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(IoQueueChoice, AutomaticUsesIoUringWhereItCanBeSetUp)
{
    CTempDir dir;
    const std::string path = dir.File("data");
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    auto q = CreateIoQueue(IoBackend::Automatic);
    ASSERT_EQ(q->Setup(fd, 4), 0);
    EXPECT_STREQ(q->Name(), IoUringAvailable() ? "io_uring" : "threads");
    q->Teardown();
    close(fd);
}

#if defined(__x86_64__)
constexpr uint32_t NATIVE_AUDIT_ARCH = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr uint32_t NATIVE_AUDIT_ARCH = AUDIT_ARCH_AARCH64;
#else
constexpr uint32_t NATIVE_AUDIT_ARCH = 0;
#endif

// Makes io_uring_setup fail with nErrno in this process and its threads from
// now on, as a container's seccomp profile does; every other call is let through.
bool RefuseIoUringSetup(int nErrno)
{
    sock_filter program[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, NATIVE_AUDIT_ARCH, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_io_uring_setup, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<uint32_t>(nErrno) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog filter{static_cast<unsigned short>(std::size(program)), program};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

// What the child found, as its exit status; 0 is success.
enum FallbackStep : int
{
    FALLBACK_OK = 0,
    FALLBACK_NO_FILTER,
    FALLBACK_URING_STILL_WORKS,
    FALLBACK_OPEN,
    FALLBACK_SETUP,
    FALLBACK_NOT_THREADS,
    FALLBACK_SUBMIT,
    FALLBACK_WAIT,
    FALLBACK_WRONG_DATA,
    FALLBACK_NOT_ON_DISK,
};

const char* DescribeFallbackStep(int nStep)
{
    switch (nStep) {
    case FALLBACK_OK: return "ok";
    case FALLBACK_NO_FILTER: return "the seccomp filter could not be installed";
    case FALLBACK_URING_STILL_WORKS: return "io_uring could still be set up under the filter";
    case FALLBACK_OPEN: return "the temporary file did not open";
    case FALLBACK_SETUP: return "the automatic queue's Setup failed";
    case FALLBACK_NOT_THREADS: return "the automatic queue did not choose the thread backend";
    case FALLBACK_SUBMIT: return "a request could not be submitted";
    case FALLBACK_WAIT: return "a request did not transfer its whole block";
    case FALLBACK_WRONG_DATA: return "the data read back differs from the data written";
    case FALLBACK_NOT_ON_DISK: return "the file does not hold the data written";
    }
    return "unknown exit status";
}

// In the child: the queue the test file uses, under the filter, on a real file.
int RunFallbackChild(int nErrno, const std::string& path)
{
    if (!RefuseIoUringSetup(nErrno))
        return FALLBACK_NO_FILTER;
    if (IoUringAvailable())
        return FALLBACK_URING_STILL_WORKS;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return FALLBACK_OPEN;
    auto q = CreateIoQueue(IoBackend::Automatic);
    if (!q || q->Setup(fd, 2) != 0)
        return FALLBACK_SETUP;
    if (std::strcmp(q->Name(), "threads") != 0)
        return FALLBACK_NOT_THREADS;

    constexpr uint32_t BLOCK = 4096;
    auto* pOut = static_cast<uint8_t*>(AllocBuffer(2 * BLOCK));
    auto* pIn = static_cast<uint8_t*>(AllocBuffer(2 * BLOCK));
    FillBlock(pOut, BLOCK, 0);
    FillBlock(pOut + BLOCK, BLOCK, 1);
    // Both blocks in flight at once, written in the reverse order of their offsets.
    if (q->SubmitWrite(1, pOut + BLOCK, BLOCK, BLOCK) != 0 || q->SubmitWrite(0, pOut, BLOCK, 0) != 0)
        return FALLBACK_SUBMIT;
    if (q->Wait(0) != BLOCK || q->Wait(1) != BLOCK)
        return FALLBACK_WAIT;
    if (q->SubmitRead(0, pIn, BLOCK, 0) != 0 || q->SubmitRead(1, pIn + BLOCK, BLOCK, BLOCK) != 0)
        return FALLBACK_SUBMIT;
    if (q->Wait(1) != BLOCK || q->Wait(0) != BLOCK)
        return FALLBACK_WAIT;
    if (std::memcmp(pIn, pOut, 2 * BLOCK) != 0)
        return FALLBACK_WRONG_DATA;
    q->Teardown();
    // Read past the queue as well, so a queue that only echoed its buffers fails.
    std::vector<uint8_t> onDisk(2 * BLOCK);
    if (pread(fd, onDisk.data(), onDisk.size(), 0) != static_cast<ssize_t>(onDisk.size()) ||
        std::memcmp(onDisk.data(), pOut, onDisk.size()) != 0)
        return FALLBACK_NOT_ON_DISK;
    FreeBuffer(pIn, 2 * BLOCK);
    FreeBuffer(pOut, 2 * BLOCK);
    close(fd);
    return FALLBACK_OK;
}

// The filter stays in a forked child, so the test process keeps io_uring.
TEST(IoQueueChoice, AutomaticFallsBackToThreadsWhereSeccompRefusesIoUring)
{
    if (NATIVE_AUDIT_ARCH == 0)
        GTEST_SKIP() << "no seccomp architecture constant for this machine";
    // ENOSYS as from a kernel without io_uring or a default container profile,
    // EPERM as from the io_uring_disabled sysctl.
    for (int nErrno : {ENOSYS, EPERM}) {
        SCOPED_TRACE(std::strerror(nErrno));
        CTempDir dir;
        const std::string path = dir.File("data");
        const pid_t pid = fork();
        ASSERT_GE(pid, 0) << std::strerror(errno);
        if (pid == 0)
            _exit(RunFallbackChild(nErrno, path));
        int status = 0;
        pid_t waited;
        do
            waited = waitpid(pid, &status, 0);
        while (waited < 0 && errno == EINTR);
        ASSERT_EQ(waited, pid);
        ASSERT_TRUE(WIFEXITED(status)) << "child ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        EXPECT_EQ(WEXITSTATUS(status), FALLBACK_OK) << DescribeFallbackStep(WEXITSTATUS(status));
    }
    // The parent was never filtered.
    CTempDir dir;
    const int fd = open(dir.File("data").c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    auto q = CreateIoQueue(IoBackend::Automatic);
    ASSERT_EQ(q->Setup(fd, 2), 0);
    EXPECT_STREQ(q->Name(), IoUringAvailable() ? "io_uring" : "threads");
    q->Teardown();
    close(fd);
}

TEST(IoBuffer, BuffersArePageAlignedAndZero)
{
    const long page = sysconf(_SC_PAGESIZE);
    for (size_t n : {size_t(512), size_t(65536), size_t(64) << 20}) {
        SCOPED_TRACE(n);
        auto* p = static_cast<uint8_t*>(AllocBuffer(n));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % page, 0u);
        std::vector<uint8_t> zeros(n);
        EXPECT_EQ(std::memcmp(p, zeros.data(), n), 0);
        FreeBuffer(p, n);
    }
    EXPECT_EQ(AllocBuffer(0), nullptr);
    FreeBuffer(nullptr, 0);
}

}
