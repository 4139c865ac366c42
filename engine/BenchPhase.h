#pragma once

#include <cstdint>

class CClock;
class CTestFile;
class IBenchWindow;

// How a timed phase ended.
enum class PhaseResult
{
    Measured,   // ran its four seconds; the rates are valid
    Stopped,    // the stop flag ended it early; nothing to store
    IoError,    // a request failed; the error text has been posted
    NoTime,     // the clock showed no elapsed time; no rate can be computed
};

struct PhaseRates
{
    uint64_t nBytesPerSecond = 0;
    uint64_t nIoPerSecond = 0;
    uint64_t nBytes = 0;           // bytes counted in the phase
    uint32_t nCount = 0;           // requests counted in the phase
    uint64_t nElapsedHundredths = 0;
};

// Phase time in whole seconds of the clock, and how often the clock is read.
constexpr int64_t PHASE_SECONDS = 4;
constexpr uint32_t CLOCK_CHECKPOINT = 1000;

// One write phase (bRead false) or read phase of g_dwTransferSize bytes per
// request over a file of nFileSize bytes: passes from offset 0 until four
// whole seconds of the clock have gone, a stop, or an I/O error.
PhaseResult RunPhase(CTestFile& file, IBenchWindow& window, CClock& clock, bool bRead,
                     uint64_t nFileSize, PhaseRates& rates);
