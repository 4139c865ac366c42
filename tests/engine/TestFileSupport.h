#pragma once

// What the test file's tests share: a temp dir, command-line options for one
// test, a window that records what it is sent, and a queue double that does
// the real I/O but keeps every request "in flight" until it is waited for,
// counting how many are, and that can fail a chosen request.

#include "engine/BenchMessages.h"
#include "engine/EngineGlobals.h"
#include "platform/IoQueue.h"
#include "util/CommandLineOptions.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace filetest {

constexpr uint32_t KiB = 1024;
constexpr uint32_t MiB = 1024 * 1024;

class CTempDir
{
public:
    explicit CTempDir(const std::filesystem::path& parent = std::filesystem::temp_directory_path())
    {
        std::string pattern = (parent / "tarnwick-file-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~CTempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::string& Path() const { return m_path; }
    std::string TestFile() const { return m_path + "/benchtst.$$$"; }
    // Names left in the directory.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_path))
            names.push_back(e.path().filename().string());
        return names;
    }

private:
    std::string m_path;
};

// The command line of one test; restores what was there before.
class COptionsScope
{
public:
    COptionsScope(bool bUnattended = false, bool bKeep = false) : m_pPrevious(g_pCommandLineOptions)
    {
        m_options.bUnattended = bUnattended;
        m_options.bKeepTestFile = bKeep;
        g_pCommandLineOptions = &m_options;
        g_pszLastMessage = nullptr;
        g_nDataErrors = 0;
    }
    ~COptionsScope() { g_pCommandLineOptions = m_pPrevious; }

private:
    CommandLineOptions m_options{};
    CommandLineOptions* m_pPrevious;
};

class CWindowRecorder final : public IBenchWindow
{
public:
    void Post(BenchMessage msg) override { m_messages.push_back(std::move(msg)); }
    std::vector<BenchMessage> OfKind(uint32_t nKind) const
    {
        std::vector<BenchMessage> result;
        for (const auto& m : m_messages)
            if (m.kind == nKind)
                result.push_back(m);
        return result;
    }
    std::vector<BenchMessage> m_messages;
};

struct Request
{
    unsigned nSlot;
    uint64_t nOffset;
    uint32_t nBytes;
    bool bWrite;
    unsigned nInFlightAfter;   // requests in flight once this one was started
};

// Shared between a test and the double that CTestFile owns.
struct QueueLog
{
    int nCreated = 0;
    unsigned nDepth = 0;
    std::vector<Request> submitted;
    std::vector<unsigned> waited;   // slots, in the order their requests were waited for
    unsigned nInFlight = 0;
    unsigned nMaxInFlight = 0;
    int nSetupResult = 0;           // what Setup answers
    int nFailSubmission = -1;       // index of the submission refused with nSubmitErrno
    int nSubmitErrno = 0;
    int nFailCompletion = -1;       // index of the submission whose completion fails
    int nCompletionErrno = 0;
    // Flips word nCorruptWord of what the read with index nCorruptRead returns.
    int nCorruptRead = -1;
    uint32_t nCorruptWord = 0;
    int nReads = 0;
};

class CQueueRecorder final : public CIoQueue
{
public:
    explicit CQueueRecorder(std::shared_ptr<QueueLog> pLog) : m_pLog(std::move(pLog)) { ++m_pLog->nCreated; }
    const char* Name() const override { return "recorder"; }
    int Setup(int fd, unsigned nDepth) override
    {
        m_fd = fd;
        m_pLog->nDepth = nDepth;
        m_results.assign(nDepth, 0);
        m_inFlight.assign(nDepth, false);
        return m_pLog->nSetupResult;
    }
    int SubmitWrite(unsigned nSlot, const void* p, uint32_t n, uint64_t off) override
    {
        return Start(nSlot, const_cast<void*>(p), n, off, true);
    }
    int SubmitRead(unsigned nSlot, void* p, uint32_t n, uint64_t off) override { return Start(nSlot, p, n, off, false); }
    int64_t Wait(unsigned nSlot) override
    {
        EXPECT_LT(nSlot, m_inFlight.size());
        EXPECT_TRUE(m_inFlight[nSlot]) << "waited for slot " << nSlot << " that has no request";
        if (m_inFlight[nSlot]) {
            m_inFlight[nSlot] = false;
            --m_pLog->nInFlight;
            m_pLog->waited.push_back(nSlot);
        }
        return m_results[nSlot];
    }
    void Teardown() override
    {
        EXPECT_EQ(m_pLog->nInFlight, 0u) << "torn down with requests in flight";
    }

private:
    int Start(unsigned nSlot, void* p, uint32_t n, uint64_t off, bool bWrite)
    {
        EXPECT_LT(nSlot, m_inFlight.size());
        EXPECT_FALSE(m_inFlight[nSlot]) << "slot " << nSlot << " reused while in flight";
        const int index = static_cast<int>(m_pLog->submitted.size());
        if (index == m_pLog->nFailSubmission) {
            m_pLog->submitted.push_back({nSlot, off, n, bWrite, m_pLog->nInFlight});
            m_pLog->nFailSubmission = -2;   // only once; later indexes shift
            return -m_pLog->nSubmitErrno;
        }
        ssize_t r = bWrite ? pwrite(m_fd, p, n, static_cast<off_t>(off)) : pread(m_fd, p, n, static_cast<off_t>(off));
        int64_t result = r < 0 ? -errno : r;
        if (!bWrite && m_pLog->nReads++ == m_pLog->nCorruptRead && r > 0)
            static_cast<uint32_t*>(p)[m_pLog->nCorruptWord] ^= 0x00010000;
        if (index == m_pLog->nFailCompletion)
            result = -m_pLog->nCompletionErrno;
        m_results[nSlot] = result;
        m_inFlight[nSlot] = true;
        ++m_pLog->nInFlight;
        if (m_pLog->nInFlight > m_pLog->nMaxInFlight)
            m_pLog->nMaxInFlight = m_pLog->nInFlight;
        m_pLog->submitted.push_back({nSlot, off, n, bWrite, m_pLog->nInFlight});
        return 0;
    }

    std::shared_ptr<QueueLog> m_pLog;
    int m_fd = -1;
    std::vector<int64_t> m_results;
    std::vector<bool> m_inFlight;
};

}
