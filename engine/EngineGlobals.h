#pragma once

#include <atomic>
#include <cstdint>
#include <string>

constexpr int MAX_QUEUE_DEPTH = 256;
constexpr uint32_t MAX_BUFFER_SIZE = 64u * 1024 * 1024;
constexpr int MAX_DATA_ERRORS = 5000;

// One data-integrity error: where it was found, what was written, what came back.
struct DataErrorRecord
{
    uint32_t dwTransferSize;   // bytes of the transfer in which it was found
    uint32_t dwBufferIndex;    // 32-bit word within the transfer
    uint32_t dwExpected;       // word of the write buffer
    uint32_t dwActual;         // word read back
};

// Shared state of the run, one per process. The window sets the stop flag;
// the worker polls it after every request.
extern std::atomic<bool> g_bStopTest;
extern uint32_t g_dwTransferSize;
extern std::string g_szTestFile;
extern const char* g_pszLastMessage;
extern DataErrorRecord g_DataErrors[MAX_DATA_ERRORS];
extern int32_t g_nDataErrors;
