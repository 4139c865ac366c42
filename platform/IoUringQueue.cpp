// The io_uring backend: one submission per request with user_data = slot,
// completions recorded in the slot until the ring's owner waits for it.
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
        if (!m_pSlots)
            return -ENOMEM;
        m_nDepth = nDepth;

        // Cooperative task running spares the worker an interrupt per
        // completion; kernels before 5.19 refuse the flag, so ask again without.
        io_uring_params params{};
        params.flags = IORING_SETUP_COOP_TASKRUN;
        int ret = io_uring_queue_init_params(nDepth, &m_ring, &params);
        if (ret == -EINVAL) {
            params = {};
            ret = io_uring_queue_init_params(nDepth, &m_ring, &params);
        }
        if (ret < 0) {
            m_pSlots.reset();
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
        if (slot.bInFlight)
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
        return 0;
    }

    // Submits what is left of the slot's request.
    int Queue(unsigned nSlot)
    {
        Slot& slot = m_pSlots[nSlot];
        io_uring_sqe* pSqe = io_uring_get_sqe(&m_ring);
        if (!pSqe) {
            // The ring holds as many entries as slots, so this needs entries
            // still waiting from an earlier call; hand them over and retry.
            io_uring_submit(&m_ring);
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

        int ret;
        do
            ret = io_uring_submit(&m_ring);
        while (ret == -EINTR);
        if (ret > 0)
            return 0;
        // The entry is in the ring but the kernel has not taken it; make it a
        // no-op so that the next submission does not start a request that was
        // reported as failed.
        io_uring_prep_nop(pSqe);
        io_uring_sqe_set_data64(pSqe, IGNORED_COMPLETION);
        return ret < 0 ? ret : -EAGAIN;
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
