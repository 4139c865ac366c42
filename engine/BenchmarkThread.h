#pragma once

#include <cstdint>
#include <string>

class CBenchDoc;
class CClock;
class CTestFile;
class IBenchWindow;

// Everything the worker needs, taken on the window's thread at Start while
// the settings are disabled, so the worker never reads a control.
struct BenchRun
{
    CBenchDoc* pDoc = nullptr;
    CTestFile* pTestFile = nullptr;   // reset by Start, closed by the window after the run
    IBenchWindow* pWindow = nullptr;  // receives every message of the run, in order
    CClock* pClock = nullptr;         // null: the system clock
    int nUnits = 0;                   // 0 "MB/s", 1 "MiB/s", 2 "IO/s"
    std::string strMinutes;           // text of the minutes box
};

// Control ids of the results table: row k is made of these plus k.
constexpr int32_t IDC_TABLE_LABEL = 1100;
constexpr int32_t IDC_TABLE_WRITE = 1200;
constexpr int32_t IDC_TABLE_READ = 1300;

// The run, on the worker thread: opens and fills the test file, times a
// write and a read phase per transfer size of the document's range, stores
// the rates and reports by posted messages. 0 after a run, 1 when the test
// file could not be opened.
uint32_t BenchmarkThread(const BenchRun& run);

// The run's minutes as typed: optional blanks, sign and digits; anything else 0.
long ParseRunMinutes(const std::string& strMinutes);
