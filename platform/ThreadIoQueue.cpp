// The fallback backend where io_uring cannot be set up: worker threads take
// requests in submission order and run them with pwrite/pread.
#include "platform/IoQueueBackends.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <new>
#include <pthread.h>
#include <unistd.h>

namespace {

// Enough threads to keep a device's queue busy without one thread per slot
// at depth 256.
constexpr unsigned MAX_THREADS = 32;

struct Slot
{
    uint8_t* pBuffer = nullptr;
    uint64_t nOffset = 0;
    uint32_t nBytes = 0;
    int64_t nResult = 0;
    bool bWrite = false;
    bool bInFlight = false;
    bool bUnclaimed = false;   // done or not, its result awaits a Wait
};

int64_t RunRequest(int fd, const Slot& slot)
{
    uint32_t done = 0;
    for (;;) {
        ssize_t n = slot.bWrite
            ? pwrite(fd, slot.pBuffer + done, slot.nBytes - done, static_cast<off_t>(slot.nOffset + done))
            : pread(fd, slot.pBuffer + done, slot.nBytes - done, static_cast<off_t>(slot.nOffset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -errno;
        }
        done += static_cast<uint32_t>(n);
        // Same rules as the ring: a short write goes on, a short read is done.
        if (!slot.bWrite || done == slot.nBytes)
            return done;
        if (n == 0)
            return -EIO;
    }
}

class CThreadIoQueue final : public CIoQueue
{
public:
    ~CThreadIoQueue() override { Teardown(); }

    const char* Name() const override { return "threads"; }

    int Setup(int fd, unsigned nDepth) override
    {
        Teardown();
        if (fd < 0 || nDepth == 0)
            return -EINVAL;
        m_pSlots.reset(new (std::nothrow) Slot[nDepth]);
        m_pPending.reset(new (std::nothrow) unsigned[nDepth]);
        const unsigned nThreads = std::min(nDepth, MAX_THREADS);
        m_pThreads.reset(new (std::nothrow) pthread_t[nThreads]);
        if (!m_pSlots || !m_pPending || !m_pThreads) {
            Release();
            return -ENOMEM;
        }
        m_fd = fd;
        m_nDepth = nDepth;
        m_nFirst = 0;
        m_nCount = 0;
        m_bStop = false;
        int ret = 0;
        for (m_nThreads = 0; m_nThreads < nThreads; ++m_nThreads) {
            ret = pthread_create(&m_pThreads[m_nThreads], nullptr, &CThreadIoQueue::ThreadMain, this);
            if (ret != 0)
                break;
        }
        // Fewer threads than asked still serve every request.
        if (m_nThreads == 0) {
            Release();
            return -ret;
        }
        return 0;
    }

    int SubmitWrite(unsigned nSlot, const void* pBuffer, uint32_t nBytes, uint64_t nOffset) override
    {
        return Start(nSlot, const_cast<void*>(pBuffer), nBytes, nOffset, true);
    }

    int SubmitRead(unsigned nSlot, void* pBuffer, uint32_t nBytes, uint64_t nOffset) override
    {
        return Start(nSlot, pBuffer, nBytes, nOffset, false);
    }

    int64_t Wait(unsigned nSlot) override
    {
        if (nSlot >= m_nDepth)
            return -EINVAL;
        std::unique_lock lock(m_mutex);
        Slot& slot = m_pSlots[nSlot];
        m_cvDone.wait(lock, [&] { return !slot.bInFlight; });
        slot.bUnclaimed = false;
        return slot.nResult;
    }

    void Teardown() override
    {
        if (m_nThreads) {
            {
                std::lock_guard lock(m_mutex);
                m_bStop = true;
            }
            m_cvWork.notify_all();
            // The threads finish what is queued before they leave.
            for (unsigned i = 0; i < m_nThreads; ++i)
                pthread_join(m_pThreads[i], nullptr);
        }
        Release();
    }

private:
    int Start(unsigned nSlot, void* pBuffer, uint32_t nBytes, uint64_t nOffset, bool bWrite)
    {
        if (!m_nThreads)
            return -EBADF;
        if (nSlot >= m_nDepth)
            return -EINVAL;
        {
            std::lock_guard lock(m_mutex);
            Slot& slot = m_pSlots[nSlot];
            // A finished request still holds its slot until Wait takes the result.
            if (slot.bInFlight || slot.bUnclaimed)
                return -EBUSY;
            slot.pBuffer = static_cast<uint8_t*>(pBuffer);
            slot.nOffset = nOffset;
            slot.nBytes = nBytes;
            slot.nResult = 0;
            slot.bWrite = bWrite;
            slot.bInFlight = true;
            slot.bUnclaimed = true;
            // At most one entry per slot is pending, so depth entries suffice.
            m_pPending[(m_nFirst + m_nCount) % m_nDepth] = nSlot;
            ++m_nCount;
        }
        m_cvWork.notify_one();
        return 0;
    }

    static void* ThreadMain(void* pArg)
    {
        static_cast<CThreadIoQueue*>(pArg)->Serve();
        return nullptr;
    }

    void Serve()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_cvWork.wait(lock, [&] { return m_nCount > 0 || m_bStop; });
            if (m_nCount == 0)
                return;
            const unsigned nSlot = m_pPending[m_nFirst];
            m_nFirst = (m_nFirst + 1) % m_nDepth;
            --m_nCount;
            const Slot request = m_pSlots[nSlot];
            lock.unlock();
            const int64_t nResult = RunRequest(m_fd, request);
            lock.lock();
            m_pSlots[nSlot].nResult = nResult;
            m_pSlots[nSlot].bInFlight = false;
            m_cvDone.notify_all();
        }
    }

    void Release()
    {
        m_pSlots.reset();
        m_pPending.reset();
        m_pThreads.reset();
        m_nThreads = 0;
        m_nDepth = 0;
        m_nFirst = 0;
        m_nCount = 0;
        m_fd = -1;
    }

    std::mutex m_mutex;
    std::condition_variable m_cvWork;
    std::condition_variable m_cvDone;
    std::unique_ptr<Slot[]> m_pSlots;
    std::unique_ptr<unsigned[]> m_pPending;   // ring of slots waiting for a thread
    std::unique_ptr<pthread_t[]> m_pThreads;
    unsigned m_nThreads = 0;
    unsigned m_nDepth = 0;
    unsigned m_nFirst = 0;
    unsigned m_nCount = 0;
    bool m_bStop = false;
    int m_fd = -1;
};

}

std::unique_ptr<CIoQueue> CreateThreadIoQueue()
{
    return std::make_unique<CThreadIoQueue>();
}
