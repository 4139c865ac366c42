#include "engine/TestFile.h"

#include "engine/BenchMessages.h"
#include "platform/FileIo.h"
#include "platform/IoBuffer.h"
#include "platform/MessageBox.h"
#include "util/CommandLineOptions.h"

#include <cerrno>

CTestFile::CTestFile() = default;

CTestFile::~CTestFile()
{
    Close();
}

void CTestFile::Reset()
{
    // A reset of an object still holding a run's resources gives them back
    // first rather than losing them.
    Close();
    m_nBufferSize = 0;
    m_nHead = 0;
    m_nTail = 0;
    m_nQueueDepth = 0;
    m_bDirectIo = false;
    m_bWriteThrough = false;
    m_bOverlapped = false;
    m_bVerify = false;
    m_nOffset = 0;
    m_nError = 0;
    m_nWriteCount = 0;
    m_nReadCount = 0;
}

bool CTestFile::Fail(IBenchWindow* pWindow, const char* pszText)
{
    g_pszLastMessage = pszText;
    if (!IsUnattended() && pWindow)
        pWindow->PostMessageBox(pszText, MB_ICONERROR);
    return false;
}

bool CTestFile::Open(IBenchWindow* pWindow, const char* pszPath, uint64_t nFileSize, uint32_t nBufferSize,
                     uint16_t nQueueDepth, int32_t nPattern, bool bDirectIo, bool bWriteThrough, bool bVerify)
{
    // The run starts from the initial state even when the caller skipped the
    // reset, so an error or offset of an earlier run cannot leak into it.
    Reset();

    m_nBufferSize = nBufferSize;
    m_pWriteBuffer = static_cast<uint8_t*>(AllocBuffer(nBufferSize));
    if (!m_pWriteBuffer)
        return Fail(pWindow, "Unable to allocate write memory.");
    m_pReadBuffer = static_cast<uint8_t*>(AllocBuffer(nBufferSize));
    if (!m_pReadBuffer)
        return Fail(pWindow, "Unable to allocate read memory.");
    if (bVerify && !LoadPattern(nPattern, nBufferSize))
        return Fail(pWindow, "Unable to load test pattern.");

    // Depths beyond the slots there are cannot be honoured; 0 means one.
    const int nDepth = nQueueDepth == 0 ? 1 : (nQueueDepth > MAX_QUEUE_DEPTH ? MAX_QUEUE_DEPTH : nQueueDepth);
    m_nQueueDepth = nDepth;
    m_bVerify = bVerify;
    m_bOverlapped = nDepth != 1;
    m_bDirectIo = bDirectIo;
    m_bWriteThrough = bWriteThrough;

    const int fd = CreateTestFile(pszPath, bDirectIo, bWriteThrough);
    if (fd < 0)
        return Fail(pWindow, "Cannot open file benchtst.$$$.");
    // Delete-on-close: without a name the file goes with its last descriptor,
    // however the process ends.
    if (!KeepTestFile() && RemoveFile(pszPath) != 0) {
        CloseFile(fd);
        return Fail(pWindow, "Cannot open file benchtst.$$$.");
    }
    m_fd = fd;

    // Unchecked like the rest of the sizing: a file that cannot grow fails
    // at the fill below.
    SetFileSize(m_fd, nFileSize);
    SeekFile(m_fd, 0);

    if (m_bOverlapped) {
        m_pQueue = m_queueFactory ? m_queueFactory() : CreateIoQueue(IoBackend::Automatic);
        if (!m_pQueue)
            return Fail(pWindow, "CreateEvent failed.");
        if (m_pQueue->Setup(m_fd, static_cast<unsigned>(nDepth)) != 0) {
            m_pQueue.reset();
            return Fail(pWindow, "CreateEvent failed.");
        }
    }

    for (uint64_t nOffset = 0; nOffset < nFileSize; nOffset += nBufferSize) {
        if (pWindow)
            pWindow->PostStep();
        if (!Write(nBufferSize))
            break;
    }
    if (!WaitAll())
        return Fail(pWindow, "Unable to write file.");
    return true;
}

void CTestFile::Close()
{
    WaitAll();
    if (m_pQueue) {
        m_pQueue->Teardown();
        m_pQueue.reset();
    }
    FreeBuffer(m_pWriteBuffer, m_nBufferSize);
    FreeBuffer(m_pReadBuffer, m_nBufferSize);
    m_pWriteBuffer = nullptr;
    m_pReadBuffer = nullptr;
    if (m_fd >= 0) {
        CloseFile(m_fd);
        m_fd = -1;
    }
    // Nothing is outstanding any more; a later WaitAll must not wait for
    // slots of a queue that is gone.
    m_nTail = m_nHead;
}

void CTestFile::Seek(uint64_t nOffset)
{
    m_nOffset = nOffset;
    m_nError = 0;
    if (!m_bOverlapped && m_fd >= 0)
        SeekFile(m_fd, nOffset);
}

bool CTestFile::Write(uint32_t nSize)
{
    return Transfer(nSize, true);
}

bool CTestFile::Read(uint32_t nSize)
{
    return Transfer(nSize, false);
}

bool CTestFile::Transfer(uint32_t nSize, bool bWrite)
{
    if (m_nError != 0)
        return false;
    // Every request starts at the start of its buffer; one larger than the
    // buffer would reach past it, so it fails as an invalid argument.
    if (nSize > m_nBufferSize || !m_pWriteBuffer || !m_pReadBuffer) {
        SetError(EINVAL);
        return false;
    }

    if (!m_bOverlapped) {
        const int64_t n = bWrite ? FileWrite(m_fd, m_pWriteBuffer, nSize) : FileRead(m_fd, m_pReadBuffer, nSize);
        if (n < 0) {
            SetError(static_cast<uint32_t>(-n));
            return false;
        }
        // The read count is kept by the run loop after Read returns, so this
        // read's number in the phase is one more than it.
        if (!bWrite && m_bVerify && m_nReadCount + 1 <= m_nWriteCount)
            CompareBuffers();
        return true;
    }

    if (!m_pQueue) {
        SetError(EBADF);
        return false;
    }
    const int nSlot = NextRequest();
    if (nSlot < 0)
        return false;
    const uint64_t nOffset = m_nOffset;
    m_nOffset += nSize;
    const int ret = bWrite ? m_pQueue->SubmitWrite(static_cast<unsigned>(nSlot), m_pWriteBuffer, nSize, nOffset)
                           : m_pQueue->SubmitRead(static_cast<unsigned>(nSlot), m_pReadBuffer, nSize, nOffset);
    if (ret < 0) {
        // The slot was never started: give it back. The offset stays
        // advanced; the next Seek sets it again.
        ReleaseRequest();
        SetError(static_cast<uint32_t>(-ret));
        return false;
    }
    return true;
}

bool CTestFile::WaitAll()
{
    while (m_nTail != m_nHead) {
        // A failure is recorded and the rest are still waited for.
        WaitRequest(m_nTail);
        m_nTail = m_nTail + 1 == m_nQueueDepth ? 0 : m_nTail + 1;
    }
    return m_nError == 0;
}

int CTestFile::NextRequest()
{
    if (m_nError != 0)
        return -1;
    const int32_t nOldHead = m_nHead;
    m_nHead = m_nHead + 1 == m_nQueueDepth ? 0 : m_nHead + 1;
    if (m_nHead == m_nTail) {
        // Full: the oldest request must finish before its slot is reused,
        // which keeps at most depth - 1 in flight.
        const int32_t nOldTail = m_nTail;
        m_nTail = m_nTail + 1 == m_nQueueDepth ? 0 : m_nTail + 1;
        if (!WaitRequest(nOldTail)) {
            m_nHead = nOldHead;
            return -1;
        }
    }
    return nOldHead;
}

void CTestFile::ReleaseRequest()
{
    m_nHead = m_nHead == 0 ? m_nQueueDepth - 1 : m_nHead - 1;
}

bool CTestFile::WaitRequest(int nSlot)
{
    if (!m_pQueue)
        return m_nError == 0;
    // The transferred count is not examined: a short transfer is done.
    const int64_t n = m_pQueue->Wait(static_cast<unsigned>(nSlot));
    if (n < 0) {
        SetError(static_cast<uint32_t>(-n));
        return false;
    }
    return true;
}
