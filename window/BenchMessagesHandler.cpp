// What the worker posts, applied on the window's thread in posting order.
#include "window/BenchView.h"

#include "document/BenchDoc.h"
#include "engine/BenchMessages.h"
#include "engine/RunLog.h"
#include "platform/MessageBox.h"
#include "util/CommandLineOptions.h"
#include "window/BenchEvent.h"
#include "window/ErrorDlg.h"
#include "window/FormTemplate.h"
#include "window/ResultsReport.h"

#include <QEventLoop>
#include <QProgressBar>

#include <cstdio>

bool CBenchView::event(QEvent* pEvent)
{
    if (pEvent->type() == CBenchEvent::EventType()) {
        OnBenchMessage(static_cast<CBenchEvent*>(pEvent)->Message());
        return true;
    }
    return CCommandTarget<QWidget>::event(pEvent);
}

void CBenchView::OnBenchMessage(const BenchMessage& msg)
{
    switch (msg.kind) {
    case WM_BENCH_MESSAGEBOX:
        AfxMessageBox(msg.text.c_str(), static_cast<unsigned>(msg.param));
        break;
    case WM_BENCH_STEP:
        StepProgress();
        break;
    case WM_BENCH_SHOWERRORS:
        OnBenchShowErrors();
        break;
    case WM_BENCH_LOG:
        WriteLog(msg.hasText ? msg.text.c_str() : nullptr);
        break;
    case WM_BENCH_DONE:
    case WM_BENCH_ENDBENCHMARK:
        EndBenchmark();
        break;
    case WM_BENCH_SETTEXT:
        SetDlgItemText(msg.param, msg.text);
        break;
    case WM_BENCH_SETPOS:
        Progress()->setValue(msg.param);
        break;
    case WM_BENCH_REDRAWCHART:
        OnRedrawChartMessage();
        break;
    case WM_BENCH_FITSCALE:
        OnFitScaleMessage(msg.value, msg.docMax);
        break;
    case WM_BENCH_DRAWBAR:
        DrawRateBar(msg.value, msg.param, msg.row);
        break;
    case WM_BENCH_INPROGRESS:
        ShowInProgress();
        break;
    case WM_BENCH_COMMAND:
        OnUnattendedCommand(static_cast<uint32_t>(msg.param));
        break;
    case WM_BENCH_WORKER_ENDED:
        // Only this run's worker ends Stop's wait; an earlier one has been joined.
        if (msg.param == m_nRunSerial) {
            m_bWorkerEnded = true;
            if (m_pStopWait)
                m_pStopWait->quit();
        }
        break;
    default:
        break;
    }
}

int CBenchView::OnBenchShowErrors()
{
    CErrorDlg dlg(this);
    IBenchWindow* pPoster = m_pPoster.get();
    // "&Log to File" posts the request: the log is written once the dialog has closed.
    dlg.SetLogRequest([pPoster] { pPoster->PostLog(nullptr); });
    return dlg.exec();
}

void CBenchView::WriteLog(const char* pszText)
{
    ::WriteLog(*m_pDocument, pszText);
}

void CBenchView::OnUnattendedCommand(uint32_t nId)
{
    // Save and Exit are the worker's last messages: the run is over. While
    // Stop waits they are kept until the wait has ended.
    if (m_bStopping) {
        m_deferredCommands.push_back(nId);
        return;
    }
    // The window goes idle first, so the test file is gone before the
    // program ends and the frame, which refuses to close during a run, lets
    // Exit through.
    if (m_bRunUnderWay)
        EndBenchmark();
    if (nId == ID_FILE_SAVE && IsUnattended()) {
        std::fputs(FormatResultsReport(*m_pDocument, m_nUnits).c_str(), stdout);
        std::fflush(stdout);
    }
    if (m_pMainFrame)
        PostCommand(m_pMainFrame, nId);
}
