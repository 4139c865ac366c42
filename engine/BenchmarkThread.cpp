#include "engine/BenchmarkThread.h"

#include "document/BenchDoc.h"
#include "engine/BenchMessages.h"
#include "engine/BenchPhase.h"
#include "engine/EngineGlobals.h"
#include "engine/TestFile.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "util/CommandLineOptions.h"

#include <algorithm>
#include <cstdlib>

namespace {

BenchMessage Message(uint32_t nKind, int32_t nParam = 0, int32_t nRow = 0, uint64_t nValue = 0, uint64_t nDocMax = 0)
{
    BenchMessage msg;
    msg.kind = nKind;
    msg.param = nParam;
    msg.row = nRow;
    msg.value = nValue;
    msg.docMax = nDocMax;
    return msg;
}

void PostText(IBenchWindow& window, int32_t nControlId, std::string strText)
{
    BenchMessage msg = Message(WM_BENCH_SETTEXT, nControlId);
    msg.hasText = true;
    msg.text = std::move(strText);
    window.Post(std::move(msg));
}

// The empty table and chart every sweep starts from.
void ClearResults(CBenchDoc& doc, IBenchWindow& window)
{
    g_nDataErrors = 0;
    doc.maxbps = 0;
    doc.maxiops = 0;
    window.Post(Message(WM_BENCH_SETPOS, 0));
    doc.ResetRates();
    window.Post(Message(WM_BENCH_REDRAWCHART));
    for (int32_t k = 0; k < NUM_TRANSFER_SIZES; ++k)
    {
        PostText(window, IDC_TABLE_LABEL + k, "");
        PostText(window, IDC_TABLE_WRITE + k, "");
        PostText(window, IDC_TABLE_READ + k, "");
    }
}

// Stores one phase's rates in row i (shown as table row k) and has the
// window show them. The scale is fitted against the maxima before they rise.
void Publish(const BenchRun& run, int32_t i, int32_t k, bool bRead, const PhaseRates& rates)
{
    CBenchDoc& doc = *run.pDoc;
    IBenchWindow& window = *run.pWindow;
    RateEntry& row = doc.rates[i];
    if (bRead)
    {
        row.readbps = rates.nBytesPerSecond;
        row.readiops = rates.nIoPerSecond;
        row.flags |= RATE_READBPS | RATE_READIOPS;
    }
    else
    {
        row.writebps = rates.nBytesPerSecond;
        row.writeiops = rates.nIoPerSecond;
        row.flags |= RATE_WRITEBPS | RATE_WRITEIOPS;
        PostText(window, IDC_TABLE_LABEL + k, row.label);
    }

    const bool bIops = run.nUnits == 2;
    const uint64_t v = bIops ? rates.nIoPerSecond : rates.nBytesPerSecond;
    window.Post(Message(WM_BENCH_FITSCALE, 0, k, v, bIops ? doc.maxiops : doc.maxbps));
    window.Post(Message(WM_BENCH_DRAWBAR, bRead ? 2 : 1, k, v));
    doc.maxiops = std::max(doc.maxiops, rates.nIoPerSecond);
    doc.maxbps = std::max(doc.maxbps, rates.nBytesPerSecond);
    window.PostStep();
}

// One phase and its publishing. False when the sweep must end here.
bool MeasureAndPublish(const BenchRun& run, CClock& clock, int32_t i, int32_t k, bool bRead, bool& bIoError)
{
    PhaseRates rates;
    const PhaseResult result = RunPhase(*run.pTestFile, *run.pWindow, clock, bRead, run.pDoc->filesize, rates);
    if (result == PhaseResult::IoError)
        bIoError = true;
    if (result == PhaseResult::IoError || g_bStopTest.load())
        return false;
    if (result == PhaseResult::Measured)
        Publish(run, i, k, bRead, rates);
    else
        run.pWindow->PostStep();   // no time measured: nothing stored, the progress still moves on
    return true;
}

}

long ParseRunMinutes(const std::string& strMinutes)
{
    // strtol rather than atol: the same reading, but an out-of-range number
    // clamps instead of being undefined.
    return std::strtol(strMinutes.c_str(), nullptr, 10);
}

uint32_t BenchmarkThread(const BenchRun& run)
{
    CBenchDoc& doc = *run.pDoc;
    CTestFile& file = *run.pTestFile;
    IBenchWindow& window = *run.pWindow;
    CClock& clock = run.pClock ? *run.pClock : GetSystemClock();
    const bool bUnattended = IsUnattended();

    const uint32_t nBufferSize = doc.filesize < MAX_BUFFER_SIZE ? static_cast<uint32_t>(doc.filesize) : MAX_BUFFER_SIZE;
    if (!file.Open(&window, g_szTestFile.c_str(), doc.filesize, nBufferSize, doc.queuedepth, doc.pattern,
                   doc.directio != 0, doc.bypasswritecache != 0, doc.verifydata != 0))
    {
        if (bUnattended)
        {
            // Nothing is saved: the run never started.
            if (g_pszLastMessage)
                window.PostLog(g_pszLastMessage);
            window.PostCommand(ID_APP_EXIT);
        }
        else
        {
            window.Post(Message(WM_BENCH_ENDBENCHMARK));   // Open has posted its box already
        }
        return 1;
    }

    window.Post(Message(WM_BENCH_INPROGRESS));

    long nRunMinutes = 0;
    bool bIoError = false;
    const bool bContinuous = doc.verifydata && doc.continuousio;
    if (bContinuous)
    {
        doc.ioruntime = run.strMinutes;
        nRunMinutes = ParseRunMinutes(run.strMinutes);
    }

    const int64_t nRunStart = clock.CalendarSeconds();
    for (;;)
    {
        ClearResults(doc, window);
        // A range read from a file is not checked there: rows outside the
        // table are never touched.
        const int32_t nFirst = std::max(doc.iosize1, 0);
        const int32_t nLast = std::min(doc.iosize2, NUM_TRANSFER_SIZES - 1);
        for (int32_t i = nFirst, k = 0; i <= nLast; ++i, ++k)
        {
            g_dwTransferSize = doc.rates[i].iosize;
            if (!MeasureAndPublish(run, clock, i, k, false, bIoError))
                break;
            if (!MeasureAndPublish(run, clock, i, k, true, bIoError))
                break;
        }

        const int64_t nMinutes = (clock.CalendarSeconds() - nRunStart) / 60;
        if (doc.verifydata && file.GetError() == 0 && bUnattended && g_nDataErrors != 0)
            window.PostLog(nullptr);   // the error list goes to the log

        if (!(bContinuous && nMinutes < nRunMinutes && !g_bStopTest.load() && !bIoError && g_nDataErrors == 0))
            break;
    }

    if (doc.verifydata && file.GetError() == 0 && !bUnattended)
    {
        if (g_nDataErrors != 0)
        {
            if (doc.continuousio)
                window.PostMessageBox("Testing stopped due to error detection.", MB_ICONINFORMATION);
            window.Post(Message(WM_BENCH_SHOWERRORS));
        }
        else
        {
            window.PostMessageBox("No errors detected.", MB_ICONINFORMATION);
        }
    }

    if (bUnattended)
    {
        if (g_bStopTest.load())
            window.PostLog("Testing stopped by user.");
        else if (g_nDataErrors == 0 && file.GetError() == 0)
            window.PostLog("Testing completed sucessfully.");
        else if (doc.verifydata && doc.continuousio && g_nDataErrors != 0)
            window.PostLog("Testing stopped by Tarnwick due to error detection.");
    }

    doc.SetModifiedFlag(true);

    if (bUnattended)
    {
        window.PostCommand(ID_FILE_SAVE);
        window.PostCommand(ID_APP_EXIT);
    }
    else
    {
        window.Post(Message(WM_BENCH_DONE));
    }
    return 0;
}
