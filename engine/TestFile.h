#pragma once

#include "engine/EngineGlobals.h"
#include "platform/IoQueue.h"

#include <cstdint>
#include <functional>
#include <memory>

class IBenchWindow;

// The test file, its two buffers and the ring of request slots. Queue depth 1
// is synchronous; above it at most depth - 1 requests are in flight.
class CTestFile
{
public:
    CTestFile();
    ~CTestFile();
    CTestFile(const CTestFile&) = delete;
    CTestFile& operator=(const CTestFile&) = delete;

    // Back to the initial state; done by Start before every run.
    void Reset();

    bool Open(IBenchWindow* pWindow, const char* pszPath, uint64_t nFileSize, uint32_t nBufferSize,
              uint16_t nQueueDepth, int32_t nPattern, bool bDirectIo, bool bWriteThrough, bool bVerify);
    void Close();
    void Seek(uint64_t nOffset);
    // One request of nSize bytes from the start of the buffer. A size beyond
    // the buffer fails with EINVAL, sticky like any other error, so no
    // request ever reaches past its buffer.
    bool Write(uint32_t nSize);
    bool Read(uint32_t nSize);
    bool WaitAll();
    uint32_t GetError() const { return m_nError; }

    // Fills the write buffer with pattern nPattern (0..12); false for any other index.
    bool LoadPattern(int32_t nPattern, uint32_t nSize);
    // Compares the first g_dwTransferSize bytes of the read buffer with the write buffer.
    void CompareBuffers();

    // Requests issued in the current phase; kept by the run loop.
    uint32_t m_nWriteCount = 0;
    uint32_t m_nReadCount = 0;

    // Tests choose the queue backend, or hand in a double; null means automatic.
    using QueueFactory = std::function<std::unique_ptr<CIoQueue>()>;
    void SetQueueFactory(QueueFactory factory) { m_queueFactory = std::move(factory); }

    const uint8_t* WriteBuffer() const { return m_pWriteBuffer; }
    uint8_t* ReadBuffer() { return m_pReadBuffer; }
    uint32_t BufferSize() const { return m_nBufferSize; }
    bool IsOpen() const { return m_fd >= 0; }

private:
    int NextRequest();          // slot index, or -1
    void ReleaseRequest();
    bool WaitRequest(int nSlot);
    bool Transfer(uint32_t nSize, bool bWrite);
    // The first failure since the last Seek is the one reported.
    void SetError(uint32_t nError)
    {
        if (m_nError == 0)
            m_nError = nError;
    }
    static bool Fail(IBenchWindow* pWindow, const char* pszText);

    uint8_t* m_pWriteBuffer = nullptr;
    uint8_t* m_pReadBuffer = nullptr;
    uint32_t m_nBufferSize = 0;
    int m_fd = -1;
    std::unique_ptr<CIoQueue> m_pQueue;
    QueueFactory m_queueFactory;
    int32_t m_nHead = 0;
    int32_t m_nTail = 0;
    int32_t m_nQueueDepth = 0;
    bool m_bDirectIo = false;
    bool m_bWriteThrough = false;
    bool m_bOverlapped = false;
    bool m_bVerify = false;
    uint64_t m_nOffset = 0;
    uint32_t m_nError = 0;
};
