// The io_uring backend: one ring entry per request with user_data = slot,
// completions recorded in the slot until the ring's owner waits for it.
// Entries are handed to the kernel by the next wait, in the same system call
// that waits: the run loop always waits right after it submits, so a request
// is not delayed, and each request costs one kernel entry instead of two.
#include "platform/IoQueueBackends.h"

#include <cerrno>
#include <liburing.h>
#include <new>

namespace {

// user_data of a submission that failed after it was already in the ring:
// it is turned into a no-op whose completion is dropped.
constexpr uint64_t IGNORED_COMPLETION = ~0ull;

struct Slot
{
    uint8_t* pBuffer = nullptr;
    uint64_t nOffset = 0;
    uint32_t nBytes = 0;
    uint32_t nDone = 0;   // bytes already transferred by earlier completions
    int64_t nResult = 0;
    bool bWrite = false;
    bool bInFlight = false;
    bool bUnclaimed = false;   // done or not, its result awaits a Wait
};

class CIoUringQueue final : public CIoQueue
{
public:
    ~CIoUringQueue() override { Teardown(); }

    const char* Name() const override { return "io_uring"; }

    int Setup(int fd, unsigned nDepth) override
    {
        Teardown();
        if (fd < 0 || nDepth == 0)
            return -EINVAL;
        m_pSlots.reset(new (std::nothrow) Slot[nDepth]);
        m_pPending.reset(new (std::nothrow) Pending[nDepth]);
        if (!m_pSlots || !m_pPending) {
            m_pSlots.reset();
            m_pPending.reset();
            return -ENOMEM;
        }
        m_nPending = 0;
        m_nDepth = nDepth;

        // Completion work runs when the worker next enters the kernel instead
        // of interrupting it. Deferring it further until the worker waits
        // (DEFER_TASKRUN) measured slower at small sizes and shallow depths:
        // the device sat idle while completions waited to be noticed. Older
        // kernels refuse the flag; the refusal asks again without it.
        static const unsigned s_aFlags[] = {
            IORING_SETUP_COOP_TASKRUN,
            0,
        };
        int ret = -EINVAL;
        for (unsigned nFlags : s_aFlags) {
            io_uring_params params{};
            params.flags = nFlags;
            ret = io_uring_queue_init_params(nDepth, &m_ring, &params);
            if (ret != -EINVAL)
                break;
        }
        if (ret < 0) {
            m_pSlots.reset();
            m_pPending.reset();
            m_nDepth = 0;
            return ret;
        }
        m_bRing = true;
        m_fd = fd;
        // A registered file saves the kernel a descriptor lookup per request;
        // without it the plain descriptor works the same.
        m_bFixedFile = io_uring_register_files(&m_ring, &fd, 1) == 0;
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
        Slot& slot = m_pSlots[nSlot];
        while (slot.bInFlight) {
            if (m_nPending > 0) {
                // Hand over what is queued and wait for a completion at once.
                const int ret = io_uring_submit_and_wait(&m_ring, 1);
                if (ret == -EINTR)
                    continue;
                if (ret < 0)
                    FailPending(ret);
                else
                    Submitted(static_cast<unsigned>(ret));
                ReapReady();
                continue;
            }
            io_uring_cqe* pCqe = nullptr;
            int ret = io_uring_wait_cqe(&m_ring, &pCqe);
            if (ret == -EINTR)
                continue;
            if (ret < 0) {
                // The ring itself failed: nothing more will come for this slot.
                slot.bInFlight = false;
                slot.nResult = ret;
                break;
            }
            Reap(pCqe);
        }
        slot.bUnclaimed = false;
        return slot.nResult;
    }

    void Teardown() override
    {
        if (m_bRing) {
            for (unsigned i = 0; i < m_nDepth; ++i)
                Wait(i);
            if (m_bFixedFile)
                io_uring_unregister_files(&m_ring);
            io_uring_queue_exit(&m_ring);
        }
        m_bRing = false;
        m_bFixedFile = false;
        m_fd = -1;
        m_pSlots.reset();
        m_pPending.reset();
        m_nPending = 0;
        m_nDepth = 0;
    }

private:
    int Start(unsigned nSlot, void* pBuffer, uint32_t nBytes, uint64_t nOffset, bool bWrite)
    {
        if (!m_bRing)
            return -EBADF;
        if (nSlot >= m_nDepth)
            return -EINVAL;
        Slot& slot = m_pSlots[nSlot];
        // A request reaped early still holds its slot until Wait takes the result.
        if (slot.bInFlight || slot.bUnclaimed)
            return -EBUSY;
        slot.pBuffer = static_cast<uint8_t*>(pBuffer);
        slot.nOffset = nOffset;
        slot.nBytes = nBytes;
        slot.nDone = 0;
        slot.nResult = 0;
        slot.bWrite = bWrite;
        int ret = Queue(nSlot);
        if (ret < 0)
            return ret;
        slot.bInFlight = true;
        slot.bUnclaimed = true;
        return 0;
    }

    // Queues what is left of the slot's request; the next wait submits it.
    int Queue(unsigned nSlot)
    {
        Slot& slot = m_pSlots[nSlot];
        io_uring_sqe* pSqe = io_uring_get_sqe(&m_ring);
        if (!pSqe) {
            // The ring holds as many entries as slots, so this needs entries
            // still queued; hand them over and retry.
            if (!Flush())
                return -EBUSY;
            pSqe = io_uring_get_sqe(&m_ring);
            if (!pSqe)
                return -EBUSY;
        }
        const int fd = m_bFixedFile ? 0 : m_fd;
        uint8_t* p = slot.pBuffer + slot.nDone;
        const uint32_t n = slot.nBytes - slot.nDone;
        const uint64_t off = slot.nOffset + slot.nDone;
        if (slot.bWrite)
            io_uring_prep_write(pSqe, fd, p, n, off);
        else
            io_uring_prep_read(pSqe, fd, p, n, off);
        if (m_bFixedFile)
            pSqe->flags |= IOSQE_FIXED_FILE;
        io_uring_sqe_set_data64(pSqe, nSlot);
        m_pPending[m_nPending++] = Pending{pSqe, nSlot};
        return 0;
    }

    // Submits the queued entries without waiting; false when the kernel
    // refused them (their slots then carry the error).
    bool Flush()
    {
        while (m_nPending > 0) {
            const int ret = io_uring_submit(&m_ring);
            if (ret == -EINTR)
                continue;
            if (ret <= 0) {
                FailPending(ret < 0 ? ret : -EAGAIN);
                return false;
            }
            Submitted(static_cast<unsigned>(ret));
        }
        return true;
    }

    // The kernel took the oldest nCount queued entries.
    void Submitted(unsigned nCount)
    {
        if (nCount >= m_nPending) {
            m_nPending = 0;
            return;
        }
        for (unsigned i = nCount; i < m_nPending; ++i)
            m_pPending[i - nCount] = m_pPending[i];
        m_nPending -= nCount;
    }

    // The kernel refused the queued entries. They are still in the ring, so
    // they become no-ops whose completions are dropped, and their requests
    // end with the error instead of starting later unseen.
    void FailPending(int nError)
    {
        for (unsigned i = 0; i < m_nPending; ++i) {
            io_uring_prep_nop(m_pPending[i].pSqe);
            io_uring_sqe_set_data64(m_pPending[i].pSqe, IGNORED_COMPLETION);
            Complete(m_pSlots[m_pPending[i].nSlot], nError);
        }
        m_nPending = 0;
    }

    void ReapReady()
    {
        io_uring_cqe* pCqe = nullptr;
        while (io_uring_peek_cqe(&m_ring, &pCqe) == 0 && pCqe)
            Reap(pCqe);
    }

    // Handles one completion whole and marks it seen.
    void Reap(io_uring_cqe* pCqe)
    {
        const uint64_t tag = io_uring_cqe_get_data64(pCqe);
        const int res = pCqe->res;
        // Seen before any resubmission, so the completion queue never fills.
        io_uring_cqe_seen(&m_ring, pCqe);
        if (tag >= m_nDepth)
            return;
        Slot& slot = m_pSlots[tag];
        if (!slot.bInFlight)
            return;
        if (res == -EAGAIN || res == -EINTR) {
            Resubmit(static_cast<unsigned>(tag));
            return;
        }
        if (res < 0) {
            Complete(slot, res);
            return;
        }
        slot.nDone += static_cast<uint32_t>(res);
        if (slot.bWrite && slot.nDone < slot.nBytes) {
            // A short write is continued, so a full disk shows as ENOSPC
            // instead of a file that silently lacks its end.
            if (res == 0)
                Complete(slot, -EIO);
            else
                Resubmit(static_cast<unsigned>(tag));
            return;
        }
        // A short read ends at the end of the file and counts as done.
        Complete(slot, slot.nDone);
    }

    void Resubmit(unsigned nSlot)
    {
        int ret = Queue(nSlot);
        if (ret < 0)
            Complete(m_pSlots[nSlot], ret);
    }

    static void Complete(Slot& slot, int64_t nResult)
    {
        slot.nResult = nResult;
        slot.bInFlight = false;
    }

    io_uring m_ring{};
    bool m_bRing = false;
    bool m_bFixedFile = false;
    int m_fd = -1;
    std::unique_ptr<Slot[]> m_pSlots;
    // Entries queued since the last submission, oldest first.
    struct Pending
    {
        io_uring_sqe* pSqe;
        unsigned nSlot;
    };
    std::unique_ptr<Pending[]> m_pPending;
    unsigned m_nPending = 0;
    unsigned m_nDepth = 0;
};

}

std::unique_ptr<CIoQueue> CreateIoUringQueue()
{
    return std::make_unique<CIoUringQueue>();
}

bool IoUringAvailable()
{
    io_uring ring{};
    if (io_uring_queue_init(2, &ring, 0) < 0)
        return false;
    io_uring_queue_exit(&ring);
    return true;
}
