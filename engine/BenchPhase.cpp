#include "engine/BenchPhase.h"

#include "engine/BenchMessages.h"
#include "engine/EngineGlobals.h"
#include "engine/TestFile.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "util/CommandLineOptions.h"

#include <cstdio>

namespace {

// The request loop, one instantiation per direction so the loop itself holds
// one call, one flag test and a few additions.
template <bool bRead>
PhaseResult TimedPasses(CTestFile& file, CClock& clock, uint64_t nFileSize, uint32_t nSize,
                        int64_t nStartSeconds, uint32_t& nCount, uint64_t& nPhaseBytes)
{
    bool bOk = true;
    for (;;)
    {
        file.Seek(0);
        uint64_t nPassBytes = 0;
        uint32_t nCheckpoint = CLOCK_CHECKPOINT;
        if (nFileSize > 0)
        {
            do
            {
                if (!(bRead ? file.Read(nSize) : file.Write(nSize)))
                {
                    bOk = false;
                    break;
                }
                // The request in hand has completed or is queued; outstanding
                // ones are waited for by the caller.
                if (g_bStopTest.load(std::memory_order_relaxed))
                    return PhaseResult::Stopped;
                nPassBytes += nSize;
                ++nCount;
                if (--nCheckpoint == 0)
                {
                    nCheckpoint = CLOCK_CHECKPOINT;
                    if (clock.Now().seconds - nStartSeconds >= PHASE_SECONDS)
                        break;
                }
            } while (nPassBytes < nFileSize);
        }
        if (g_bStopTest.load(std::memory_order_relaxed))
            return PhaseResult::Stopped;
        nPhaseBytes += nPassBytes;
        const bool bTimeUp = clock.Now().seconds - nStartSeconds >= PHASE_SECONDS;
        if (!bOk || bTimeUp)
            return PhaseResult::Measured;   // a failure shows in WaitAll
    }
}

void ReportIoError(IBenchWindow& window, bool bRead, uint32_t nError)
{
    char szText[96];
    std::snprintf(szText, sizeof szText,
                  bRead ? "Error(s) on read file, code %ld (0x%08lx)." : "Error(s) on write file, code %ld (0x%08lx).",
                  static_cast<long>(nError), static_cast<unsigned long>(nError));
    if (IsUnattended())
        window.PostLog(szText);
    else
        window.PostMessageBox(szText, MB_ICONERROR);
}

}

PhaseResult RunPhase(CTestFile& file, IBenchWindow& window, CClock& clock, bool bRead,
                     uint64_t nFileSize, PhaseRates& rates)
{
    rates = PhaseRates{};
    const uint32_t nSize = g_dwTransferSize;

    // Start just after a change of second, so whole seconds measure the phase.
    const int64_t nFirstSeconds = clock.Now().seconds;
    ClockReading start = clock.Now();
    while (start.seconds == nFirstSeconds)
        start = clock.Now();

    uint32_t& nCount = bRead ? file.m_nReadCount : file.m_nWriteCount;
    nCount = 0;
    uint64_t nPhaseBytes = 0;
    PhaseResult result = bRead ? TimedPasses<true>(file, clock, nFileSize, nSize, start.seconds, nCount, nPhaseBytes)
                               : TimedPasses<false>(file, clock, nFileSize, nSize, start.seconds, nCount, nPhaseBytes);

    if (!file.WaitAll())
    {
        ReportIoError(window, bRead, file.GetError());
        return PhaseResult::IoError;
    }
    if (result == PhaseResult::Stopped || g_bStopTest.load(std::memory_order_relaxed))
        return PhaseResult::Stopped;

    const ClockReading end = clock.Now();
    // The start's milliseconds are left out on purpose: it was taken just
    // after a change of second.
    const int64_t nElapsed = (end.seconds - start.seconds) * 100 + end.milliseconds / 10;
    rates.nBytes = nPhaseBytes;
    rates.nCount = nCount;
    if (nElapsed <= 0)
        return PhaseResult::NoTime;   // a clock that went back: no rate to divide out
    rates.nElapsedHundredths = static_cast<uint64_t>(nElapsed);
    rates.nBytesPerSecond = static_cast<uint64_t>(static_cast<double>(nPhaseBytes) * 100.0 / static_cast<double>(nElapsed));
    rates.nIoPerSecond = static_cast<uint64_t>(static_cast<double>(nCount) * 100.0 / static_cast<double>(nElapsed));
    return PhaseResult::Measured;
}
