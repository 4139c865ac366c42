#pragma once

// What the run tests share: a window that records every message, clocks that
// tests can hook, a queue double that injects faults without touching a
// disk, and a scope that gives each test clean engine state and a temp dir.

#include "document/BenchDoc.h"
#include "engine/BenchMessages.h"
#include "engine/EngineGlobals.h"
#include "platform/Clock.h"
#include "platform/IoQueue.h"
#include "util/CommandLineOptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace benchtest {

// The window as the worker sees it: every message, in posting order. Post may
// run on the worker thread; readers take a copy under the lock.
class CRecordingWindow final : public IBenchWindow
{
public:
    void Post(BenchMessage msg) override
    {
        std::function<void(const BenchMessage&)> hook;
        {
            std::lock_guard lock(m_mutex);
            m_messages.push_back(msg);
            hook = m_onPost;
        }
        m_changed.notify_all();
        if (hook)
            hook(msg);
    }

    // Runs on the posting thread after each message is recorded.
    void SetOnPost(std::function<void(const BenchMessage&)> hook) { m_onPost = std::move(hook); }

    std::vector<BenchMessage> Messages() const
    {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }

    std::vector<BenchMessage> OfKind(uint32_t nKind) const
    {
        std::vector<BenchMessage> result;
        for (const BenchMessage& msg : Messages())
            if (msg.kind == nKind)
                result.push_back(msg);
        return result;
    }

    // Texts of message boxes and log lines; "<error list>" for a null log.
    std::vector<std::string> Notices() const
    {
        std::vector<std::string> result;
        for (const BenchMessage& msg : Messages())
        {
            if (msg.kind == WM_BENCH_MESSAGEBOX)
                result.push_back("box:" + msg.text);
            else if (msg.kind == WM_BENCH_LOG)
                result.push_back(msg.hasText ? "log:" + msg.text : "log:<error list>");
            else if (msg.kind == WM_BENCH_SHOWERRORS)
                result.push_back("showerrors");
            else if (msg.kind == WM_BENCH_COMMAND)
                result.push_back(msg.param == ID_FILE_SAVE ? "command:save"
                                 : msg.param == ID_APP_EXIT ? "command:exit" : "command:?");
            else if (msg.kind == WM_BENCH_DONE)
                result.push_back("done");
            else if (msg.kind == WM_BENCH_ENDBENCHMARK)
                result.push_back("endbenchmark");
        }
        return result;
    }

    // Bounded wait for a message of a kind.
    bool WaitFor(uint32_t nKind, std::chrono::seconds timeout)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] {
            for (const BenchMessage& msg : m_messages)
                if (msg.kind == nKind)
                    return true;
            return false;
        });
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<BenchMessage> m_messages;
    std::function<void(const BenchMessage&)> m_onPost;
};

// A fake clock whose readings a test can watch (or act on) as they are taken.
class CHookClock final : public CClock
{
public:
    explicit CHookClock(uint32_t nStepMs, int64_t nCalendarStep = 0) : m_fake(nStepMs, nCalendarStep) {}
    ClockReading Now() override
    {
        const ClockReading reading = m_fake.Now();
        if (m_onRead)
            m_onRead(reading);
        return reading;
    }
    int64_t CalendarSeconds() override { return m_fake.CalendarSeconds(); }
    void SetOnRead(std::function<void(const ClockReading&)> hook) { m_onRead = std::move(hook); }
    CFakeClock& Fake() { return m_fake; }

private:
    CFakeClock m_fake;
    std::function<void(const ClockReading&)> m_onRead;
};

// A clock that plays back given millisecond readings, then steps a second
// per reading: for clocks that misbehave.
class CScriptedClock final : public CClock
{
public:
    explicit CScriptedClock(std::vector<uint64_t> readingsMs) : m_readings(std::move(readingsMs)) {}
    ClockReading Now() override
    {
        m_nLastMs = m_nNext < m_readings.size() ? m_readings[m_nNext++] : m_nLastMs + 1000;
        return {static_cast<int64_t>(m_nLastMs / 1000), static_cast<uint32_t>(m_nLastMs % 1000)};
    }
    int64_t CalendarSeconds() override { return 1'700'000'000; }

private:
    std::vector<uint64_t> m_readings;
    size_t m_nNext = 0;
    uint64_t m_nLastMs = 0;
};

// What the queue double saw. Shared, so it outlives the queue that the test
// file destroys at Close.
struct QueueLog
{
    struct Request
    {
        bool bRead;
        uint32_t nBytes;
        uint64_t nOffset;
    };
    std::vector<Request> requests;
    int nFailSubmitAt = -1;     // index of the submission that fails at once
    int nFailCompleteAt = -1;   // index of the submission whose completion fails
    int nError = 5;             // EIO
    unsigned nMaxInFlight = 0;
};

// A queue that completes every request at once without touching the file, so
// large transfers cost nothing, and fails the requests it is told to.
class CQueueDouble final : public CIoQueue
{
public:
    explicit CQueueDouble(std::shared_ptr<QueueLog> pLog) : m_pLog(std::move(pLog)) {}
    const char* Name() const override { return "double"; }
    int Setup(int, unsigned nDepth) override
    {
        m_results.assign(nDepth + 1, 0);
        m_busy.assign(nDepth + 1, false);
        return 0;
    }
    int SubmitWrite(unsigned nSlot, const void*, uint32_t nBytes, uint64_t nOffset) override
    {
        return Submit(nSlot, false, nBytes, nOffset);
    }
    int SubmitRead(unsigned nSlot, void*, uint32_t nBytes, uint64_t nOffset) override
    {
        return Submit(nSlot, true, nBytes, nOffset);
    }
    int64_t Wait(unsigned nSlot) override
    {
        if (nSlot < m_busy.size() && m_busy[nSlot])
        {
            m_busy[nSlot] = false;
            --m_nInFlight;
        }
        return nSlot < m_results.size() ? m_results[nSlot] : -22;
    }
    void Teardown() override {}

private:
    int Submit(unsigned nSlot, bool bRead, uint32_t nBytes, uint64_t nOffset)
    {
        const int nIndex = static_cast<int>(m_pLog->requests.size());
        m_pLog->requests.push_back({bRead, nBytes, nOffset});
        if (nIndex == m_pLog->nFailSubmitAt)
            return -m_pLog->nError;
        if (nSlot >= m_results.size())
            return -22;
        m_results[nSlot] = nIndex == m_pLog->nFailCompleteAt ? -m_pLog->nError : static_cast<int64_t>(nBytes);
        if (!m_busy[nSlot])
        {
            m_busy[nSlot] = true;
            ++m_nInFlight;
        }
        m_pLog->nMaxInFlight = std::max(m_pLog->nMaxInFlight, m_nInFlight);
        return 0;
    }

    std::shared_ptr<QueueLog> m_pLog;
    std::vector<int64_t> m_results;
    std::vector<bool> m_busy;
    unsigned m_nInFlight = 0;
};

// Clean engine state, a command-line record the test may change, and a
// temporary target directory removed afterwards.
class CRunScope
{
public:
    CRunScope()
    {
        char szTemplate[] = "/tmp/tarnwick-run-XXXXXX";
        const char* pszDir = mkdtemp(szTemplate);
        EXPECT_NE(pszDir, nullptr);
        m_dir = pszDir ? pszDir : "/tmp";
        m_pOldOptions = g_pCommandLineOptions;
        g_pCommandLineOptions = &options;
        g_bStopTest = false;
        g_nDataErrors = 0;
        g_dwTransferSize = 0;
        g_pszLastMessage = nullptr;
        g_szTestFile = (m_dir / "benchtst.$$$").string();
    }
    ~CRunScope()
    {
        g_pCommandLineOptions = m_pOldOptions;
        g_bStopTest = false;
        g_nDataErrors = 0;
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    const std::filesystem::path& Dir() const { return m_dir; }

    CommandLineOptions options{};

private:
    std::filesystem::path m_dir;
    CommandLineOptions* m_pOldOptions = nullptr;
};

// A small buffered test: one size on a 64 KiB file at queue depth 1.
inline void SmallTest(CBenchDoc& doc, int32_t nFirst, int32_t nLast)
{
    doc.filesize = 65536;
    doc.iosize1 = nFirst;
    doc.iosize2 = nLast;
    doc.directio = 0;
    doc.bypasswritecache = 0;
    doc.verifydata = 0;
    doc.continuousio = 0;
    doc.queuedepth = 1;
    doc.chosenqueuedepth = 1;
    doc.pattern = 0;
}

}
