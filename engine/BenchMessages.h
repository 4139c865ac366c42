#pragma once

#include <cstdint>
#include <string>

// What the worker asks of the window. Everything is posted with its own data
// and applied by the window thread in posting order, so the worker never
// waits for the window and Stop can always join it.
enum : uint32_t
{
    WM_APP = 0x8000,
    WM_BENCH_MESSAGEBOX = WM_APP + 2,   // param: style, text
    WM_BENCH_STEP = WM_APP + 3,         // progress bar one step on
    WM_BENCH_SHOWERRORS = WM_APP + 4,   // "Data Integrity Errors" dialog
    WM_BENCH_LOG = WM_APP + 5,          // hasText: text to log; else the error list
    WM_BENCH_DONE = WM_APP + 6,         // EndBenchmark

    // What the worker does "synchronously" on the window's controls.
    WM_BENCH_SETTEXT = WM_APP + 16,     // param: control id, text
    WM_BENCH_SETPOS = WM_APP + 17,      // param: progress position
    WM_BENCH_REDRAWCHART = WM_APP + 18, // empty chart, repainted
    WM_BENCH_FITSCALE = WM_APP + 19,    // value, docMax: FitScaleToValue with the maximum compared
    WM_BENCH_DRAWBAR = WM_APP + 20,     // value, param: direction 1 write / 2 read, row
    WM_BENCH_INPROGRESS = WM_APP + 21,  // ShowInProgress
    WM_BENCH_ENDBENCHMARK = WM_APP + 22,// EndBenchmark after a failed Open
    WM_BENCH_COMMAND = WM_APP + 23,     // param: command id, posted to the main frame
};

// Command ids the worker posts to the main frame at the end of an unattended run.
enum : uint32_t
{
    ID_FILE_SAVE = 0xE103,
    ID_APP_EXIT = 0xE141,
};

struct BenchMessage
{
    uint32_t kind = 0;
    int32_t param = 0;
    int32_t row = 0;
    uint64_t value = 0;
    uint64_t docMax = 0;
    bool hasText = false;
    std::string text;
};

// The window as the worker sees it. The window layer posts to itself; tests
// and the console runner record or print.
class IBenchWindow
{
public:
    virtual ~IBenchWindow() = default;
    virtual void Post(BenchMessage msg) = 0;

    void PostMessageBox(std::string text, uint32_t style)
    {
        BenchMessage msg;
        msg.kind = WM_BENCH_MESSAGEBOX;
        msg.param = static_cast<int32_t>(style);
        msg.hasText = true;
        msg.text = std::move(text);
        Post(std::move(msg));
    }
    void PostStep() { Post(Kind(WM_BENCH_STEP)); }
    // A null text asks for the error list.
    void PostLog(const char* pszText)
    {
        BenchMessage msg = Kind(WM_BENCH_LOG);
        if (pszText) {
            msg.hasText = true;
            msg.text = pszText;
        }
        Post(std::move(msg));
    }
    void PostCommand(uint32_t id)
    {
        BenchMessage msg = Kind(WM_BENCH_COMMAND);
        msg.param = static_cast<int32_t>(id);
        Post(std::move(msg));
    }

    static BenchMessage Kind(uint32_t kind)
    {
        BenchMessage msg;
        msg.kind = kind;
        return msg;
    }
};
