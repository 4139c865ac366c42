#include "ConsoleWindow.h"

#include "document/BenchDoc.h"
#include "engine/EngineGlobals.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <cinttypes>

namespace {

constexpr int MAX_PRINTED_ERRORS = 20;

void PrintValue(bool bValid, uint64_t nValue, int nWidth)
{
    if (bValid)
        std::printf(" %*" PRIu64, nWidth, nValue);
    else
        std::printf(" %*s", nWidth, "-");
}

}

CConsoleWindow::CConsoleWindow(const CBenchDoc& doc, bool bMachine) : m_doc(doc), m_bMachine(bMachine) {}

void CConsoleWindow::Post(BenchMessage msg)
{
    switch (msg.kind)
    {
    case WM_BENCH_MESSAGEBOX:
        std::fflush(stdout);
        std::fprintf(stderr, "%s%s\n", msg.param == MB_ICONERROR ? "error: " : "", msg.text.c_str());
        if (msg.param == MB_ICONERROR)
            m_bFailed = true;
        break;
    case WM_BENCH_LOG:
        if (msg.hasText)
            std::printf("log: %s\n", msg.text.c_str());
        else
            PrintDataErrors();
        break;
    case WM_BENCH_SHOWERRORS:
        PrintDataErrors();
        break;
    case WM_BENCH_DRAWBAR:
        if (msg.param == 2)
        {
            const int nRow = m_doc.iosize1 + msg.row;
            if (nRow >= 0 && nRow < NUM_TRANSFER_SIZES)
                PrintRow(nRow);
        }
        break;
    case WM_BENCH_INPROGRESS:
        if (m_onInProgress)
            m_onInProgress();
        break;
    case WM_BENCH_ENDBENCHMARK:
        m_bFailed = true;
        m_bDone = true;
        break;
    case WM_BENCH_DONE:
        m_bDone = true;
        break;
    case WM_BENCH_COMMAND:
        if (msg.param == static_cast<int32_t>(ID_APP_EXIT))
            m_bExit = true;
        break;
    default:
        // Progress, texts and chart drawing have no console form.
        break;
    }
}

void CConsoleWindow::PrintHeader() const
{
    if (!m_bMachine)
        std::printf("%8s %10s %14s %11s %14s %11s\n", "size", "bytes", "write B/s", "write IO/s", "read B/s", "read IO/s");
}

void CConsoleWindow::PrintRow(int nRow) const
{
    const RateEntry& row = m_doc.rates[nRow];
    m_bPrinted[nRow] = true;
    if (m_bMachine)
    {
        std::printf("rate %" PRIu32 " %" PRIu64 " %" PRIu64 " %" PRIu64 " %" PRIu64 "\n", row.iosize,
                    row.writebps, row.writeiops, row.readbps, row.readiops);
    }
    else
    {
        std::printf("%8s %10" PRIu32, row.label, row.iosize);
        PrintValue(row.flags & RATE_WRITEBPS, row.writebps, 14);
        PrintValue(row.flags & RATE_WRITEIOPS, row.writeiops, 11);
        PrintValue(row.flags & RATE_READBPS, row.readbps, 14);
        PrintValue(row.flags & RATE_READIOPS, row.readiops, 11);
        std::printf("\n");
    }
    std::fflush(stdout);
}

void CConsoleWindow::PrintUnfinishedRows() const
{
    for (int i = 0; i < NUM_TRANSFER_SIZES; ++i)
        if (!m_bPrinted[i] && m_doc.rates[i].flags != 0)
            PrintRow(i);
}

void CConsoleWindow::PrintDataErrors() const
{
    std::printf("data errors: %d\n", g_nDataErrors);
    const int nShown = std::min(g_nDataErrors, MAX_PRINTED_ERRORS);
    for (int n = 0; n < nShown; ++n)
    {
        const DataErrorRecord& record = g_DataErrors[n];
        std::printf("  size %" PRIu32 " word %" PRIu32 ": expected 0x%08" PRIx32 ", read 0x%08" PRIx32 "\n",
                    record.dwTransferSize, record.dwBufferIndex, record.dwExpected, record.dwActual);
    }
}
