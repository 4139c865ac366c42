#include "platform/IoQueue.h"

#include "platform/IoQueueBackends.h"

#include <cerrno>

namespace {

// Sets up io_uring and, where the kernel or a seccomp filter refuses it,
// the thread backend instead; then passes every call through.
class CAutoIoQueue final : public CIoQueue
{
public:
    const char* Name() const override { return m_pActive ? m_pActive->Name() : "automatic"; }

    int Setup(int fd, unsigned nDepth) override
    {
        Teardown();
        m_pActive = CreateIoUringQueue();
        int ret = m_pActive->Setup(fd, nDepth);
        if (ret == 0)
            return 0;
        m_pActive = CreateThreadIoQueue();
        ret = m_pActive->Setup(fd, nDepth);
        if (ret != 0)
            m_pActive.reset();
        return ret;
    }

    int SubmitWrite(unsigned nSlot, const void* pBuffer, uint32_t nBytes, uint64_t nOffset) override
    {
        return m_pActive ? m_pActive->SubmitWrite(nSlot, pBuffer, nBytes, nOffset) : -EBADF;
    }

    int SubmitRead(unsigned nSlot, void* pBuffer, uint32_t nBytes, uint64_t nOffset) override
    {
        return m_pActive ? m_pActive->SubmitRead(nSlot, pBuffer, nBytes, nOffset) : -EBADF;
    }

    int64_t Wait(unsigned nSlot) override { return m_pActive ? m_pActive->Wait(nSlot) : -EBADF; }

    void Teardown() override
    {
        if (m_pActive)
            m_pActive->Teardown();
    }

private:
    std::unique_ptr<CIoQueue> m_pActive;
};

}

std::unique_ptr<CIoQueue> CreateIoQueue(IoBackend backend)
{
    switch (backend) {
    case IoBackend::IoUring:
        return IoUringAvailable() ? CreateIoUringQueue() : nullptr;
    case IoBackend::Threads:
        return CreateThreadIoQueue();
    case IoBackend::Automatic:
        break;
    }
    return std::make_unique<CAutoIoQueue>();
}
