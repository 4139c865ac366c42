#pragma once

#include <cstdint>
#include <memory>

// A queue of file requests identified by slot numbers 0..depth-1: the ring of
// the test file submits a request for a slot and later waits for that slot.
// Results follow liburing's convention: bytes transferred, or -errno.
//
// The per-request calls (SubmitWrite, SubmitRead, Wait) allocate nothing.
class CIoQueue
{
public:
    virtual ~CIoQueue() = default;

    // The backend's name for logs and benchmarks ("io_uring", "threads").
    virtual const char* Name() const = 0;
    // Prepares for at most nDepth requests in flight on fd. 0 or -errno.
    virtual int Setup(int fd, unsigned nDepth) = 0;
    // Starts one request for slot. 0, or -errno when it could not be submitted
    // (the slot is then free again). A backend may hold the request until the
    // next Wait, which hands it over in the same call; a refusal found then is
    // the result of the requests it held. A slot stays taken (-EBUSY) from
    // its submission until Wait has returned its result, finished or not.
    virtual int SubmitWrite(unsigned nSlot, const void* pBuffer, uint32_t nBytes, uint64_t nOffset) = 0;
    virtual int SubmitRead(unsigned nSlot, void* pBuffer, uint32_t nBytes, uint64_t nOffset) = 0;
    // Waits until the request of slot has completed and returns its result.
    virtual int64_t Wait(unsigned nSlot) = 0;
    // Waits for anything still in flight and releases the backend's resources.
    virtual void Teardown() = 0;
};

enum class IoBackend
{
    Automatic,   // io_uring, or threads where io_uring cannot be set up
    IoUring,
    Threads,
};

// Creates a queue of the asked backend; null when that backend is unavailable.
std::unique_ptr<CIoQueue> CreateIoQueue(IoBackend backend = IoBackend::Automatic);
