#pragma once

#include "platform/IoQueue.h"

#include <cstdint>
#include <string>

// The settings of one runner invocation, as given on its command line.
struct RunnerOptions
{
    std::string strTarget = ".";
    int32_t nFirstSize = 3;             // row of 4 KiB
    int32_t nLastSize = 11;             // row of 1 MiB
    uint64_t nFileSize = 64ull << 20;
    uint16_t nQueueDepth = 4;
    bool bDirect = false;
    bool bWriteThrough = false;
    bool bVerify = false;
    int32_t nPattern = 0;
    IoBackend backend = IoBackend::Automatic;
    bool bKeep = false;
    int nUnits = 0;                     // 0 MB/s, 1 MiB/s, 2 IO/s
    bool bMachine = false;              // one "rate" line per size, for scripts
};

// A byte count: digits with an optional binary suffix (B, K, KB, KiB, M, ...,
// GiB; blanks allowed before it). False for anything else or an overflow.
bool ParseByteCount(const std::string& strText, uint64_t& nBytes);

// Fills options from argv. False with a message in strError (empty for --help,
// with the usage in strError).
bool ParseRunnerOptions(int argc, char** argv, RunnerOptions& options, std::string& strError);

const char* RunnerUsage();
