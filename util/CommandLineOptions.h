#pragma once

// What the command line asked for, filled once at start-up. Absent options
// leave zero. The two texts point into the process's argument vector.
struct CommandLineOptions
{
    const char* pszTestFile;   // -f: the result file to open
    const char* pszLogFile;    // -g: the run log's file name
    int bQuiet;                // raised by the XML reader around a parse; silences error boxes
    int bUnattended;           // -x: run the -f test, log instead of boxes, save and exit
    int bKeepTestFile;         // -k: the test file stays after the run
};

// Null before start-up has created the record and after ExitProgram.
extern CommandLineOptions* g_pCommandLineOptions;

// Readers that must work before start-up and in tests without a record.
inline bool IsUnattended() { return g_pCommandLineOptions && g_pCommandLineOptions->bUnattended; }
inline bool KeepTestFile() { return g_pCommandLineOptions && g_pCommandLineOptions->bKeepTestFile; }
