// The window's side of a run: Start and Cancel, the states the form passes
// through, and the return to idle.
#include "window/BenchView.h"

#include "document/BenchDoc.h"
#include "engine/EngineGlobals.h"
#include "platform/MessageBox.h"
#include "util/CommandLineOptions.h"
#include "window/BenchEvent.h"
#include "window/FormTemplate.h"

#include <QComboBox>
#include <QEventLoop>
#include <QProgressBar>

#include <system_error>

namespace {

constexpr uint32_t DEFAULT_SECTOR_SIZE = 512;

const char SECTOR_NOTICE[] = "Starting transfer size is less than drive's sector size.  It has been adjusted.";

// Greyed during a run, in this order.
constexpr int SETTINGS_CONTROLS[] = {
    IDC_BROWSE, IDC_DRIVE,  IDC_IOSIZE1,    IDC_IOSIZE2,  IDC_FILESIZE, IDC_WRITECACHE, IDC_PATTERN,
    IDC_CONTINUOUS, IDC_RUNTIME, IDC_QUEUEDEPTH, IDC_DIRECTIO, IDC_VERIFY, IDC_UNITS, IDC_DESCRIPTION,
};

}

QProgressBar* CBenchView::Progress() const
{
    return qobject_cast<QProgressBar*>(GetDlgItem(IDC_PROGRESS));
}

void CBenchView::OnStart()
{
    // While Stop waits, a second press (or a posted Start) must not start a
    // nested stop or a run beside the ending one. While the test file is
    // prepared the button is disabled; a posted Start then has nothing to do.
    if (m_bStopping)
        return;
    if (m_bRunning)
        Stop();
    else if (!m_bRunUnderWay)
        Start();
}

void CBenchView::Start()
{
    CBenchDoc& doc = *m_pDocument;
    // The last run's worker has posted its end; it is gone or about to be.
    JoinWorker();
    m_bRunUnderWay = true;

    uint32_t nSectorSize = DEFAULT_SECTOR_SIZE;
    g_bStopTest = false;
    doc.runiosize1 = doc.iosize1;
    doc.runiosize2 = doc.iosize2;
    doc.ResetRates();
    m_TestFile.Reset();

    std::string strTarget = doc.drive;
    if (strTarget.empty() || strTarget.back() != '/')
        strTarget += '/';
    if (m_pfnSectorSize)
        if (const uint32_t n = m_pfnSectorSize(strTarget.c_str()); n != 0)
            nSectorSize = n;

    if (doc.iosize1 >= 0 && doc.iosize1 < NUM_TRANSFER_SIZES && doc.rates[doc.iosize1].iosize < nSectorSize) {
        // Each size up to 8 MiB is twice the one before, and sector sizes are
        // smaller, so doubling walks the rows; the last row is as far as it goes.
        uint64_t nSize = doc.rates[doc.iosize1].iosize;
        while (nSize < nSectorSize && doc.iosize1 < NUM_TRANSFER_SIZES - 1) {
            ++doc.iosize1;
            nSize *= 2;
        }
        Combo(IDC_IOSIZE1)->setCurrentIndex(doc.iosize1);
        g_pszLastMessage = SECTOR_NOTICE;
        if (IsUnattended())
            WriteLog(SECTOR_NOTICE);
        else
            AfxMessageBox(SECTOR_NOTICE, MB_ICONINFORMATION);
    }

    g_szTestFile = strTarget + "benchtst.$$$";
    ShowInitializing();

    m_run = BenchRun{};
    m_run.pDoc = &doc;
    m_run.pTestFile = &m_TestFile;
    m_run.pWindow = m_pPoster.get();
    m_run.pClock = m_pRunClock;
    m_run.nUnits = m_nUnits;
    m_run.strMinutes = GetMinutesText();

    const int32_t nSerial = ++m_nRunSerial;
    m_bWorkerEnded = false;
    IBenchWindow* pPoster = m_pPoster.get();
    const BenchRun* pRun = &m_run;
    try {
        m_pWorkerThread = std::make_unique<std::thread>([pRun, pPoster, nSerial] {
            BenchmarkThread(*pRun);
            BenchMessage msg = IBenchWindow::Kind(WM_BENCH_WORKER_ENDED);
            msg.param = nSerial;
            pPoster->Post(std::move(msg));
        });
    } catch (const std::system_error&) {
        // No thread: back to idle, without a message.
        m_pWorkerThread.reset();
        m_bWorkerEnded = true;
        EndBenchmark();
    }
}

void CBenchView::Stop()
{
    m_bStopping = true;
    g_bStopTest = true;
    // The greyed button shows that the run is stopping; it cannot be pressed twice.
    GetDlgItem(IDC_START)->setEnabled(false);
    if (!m_bWorkerEnded) {
        // The requests in flight may take long on a slow disk: the form keeps
        // painting and everything the worker posts is handled as it comes.
        QEventLoop loop;
        m_pStopWait = &loop;
        loop.exec();
        m_pStopWait = nullptr;
    }
    JoinWorker();
    m_bStopping = false;
    EndBenchmark();

    // An unattended run that was cancelled still saves and exits, now that
    // this wait no longer stands between the frame and its commands.
    std::vector<uint32_t> commands;
    commands.swap(m_deferredCommands);
    for (uint32_t nId : commands)
        OnUnattendedCommand(nId);
}

void CBenchView::JoinWorker()
{
    if (m_pWorkerThread && m_pWorkerThread->joinable())
        m_pWorkerThread->join();
    m_pWorkerThread.reset();
}

void CBenchView::ShowInitializing()
{
    SetDlgItemText(IDC_STATUS, "Initializing test file...");
    ShowControl(IDC_STATUS, true);
    ShowControl(IDC_PROGRESS, true);
    GetDlgItem(IDC_START)->setEnabled(false);
    DisableControls();
    // One step per 64 MiB filled.
    const auto nMax = static_cast<uint16_t>(m_pDocument->filesize / MAX_BUFFER_SIZE);
    Progress()->setRange(0, nMax);
    m_nProgressStep = 1;
}

void CBenchView::ShowInProgress()
{
    CBenchDoc& doc = *m_pDocument;
    QWidget* pStart = GetDlgItem(IDC_START);
    pStart->setEnabled(true);
    SetDlgItemText(IDC_START, "Cancel");
    SetDlgItemText(IDC_STATUS, "Benchmark in progress...");
    ShowControl(IDC_STATUS, true);
    // One step per measured phase. A range left empty by the sector-size
    // adjustment measures nothing and gets an empty bar.
    const int nPhases = 2 * (doc.iosize2 - doc.iosize1 + 1);
    Progress()->setRange(0, nPhases > 0 ? static_cast<uint16_t>(nPhases) : 0);
    Progress()->setValue(0);
    m_nProgressStep = 1;
    m_bRunning = true;
}

void CBenchView::StepProgress()
{
    // As a progress control steps: past the maximum it starts over.
    QProgressBar* p = Progress();
    const int nMin = p->minimum();
    const int nMax = p->maximum();
    int nPos = std::max(p->value(), nMin) + m_nProgressStep;
    if (nPos > nMax)
        nPos = nMax > nMin ? nMin + (nPos - nMin) % (nMax - nMin) : nMin;
    p->setValue(nPos);
}

void CBenchView::DisableControls()
{
    if (m_pfnEnableMenus)
        m_pfnEnableMenus(false);
    for (int nId : SETTINGS_CONTROLS)
        if (QWidget* p = GetDlgItem(nId))
            p->setEnabled(false);
}

void CBenchView::EnableControls()
{
    if (m_pfnEnableMenus)
        m_pfnEnableMenus(true);
    for (int nId : SETTINGS_CONTROLS)
        if (QWidget* p = GetDlgItem(nId))
            // Verification runs at queue depth 1: the box stays greyed.
            p->setEnabled(nId != IDC_QUEUEDEPTH || m_pDocument->verifydata == 0);
}

void CBenchView::EndBenchmark()
{
    g_bStopTest = true;
    m_bRunning = false;
    SetDlgItemText(IDC_START, "Start");
    ShowControl(IDC_STATUS, false);
    ShowControl(IDC_PROGRESS, false);
    GetDlgItem(IDC_START)->setEnabled(true);
    m_TestFile.Close();
    Progress()->setValue(0);
    const bool bWasUnderWay = m_bRunUnderWay;
    m_bRunUnderWay = false;
    EnableControls();
    if (bWasUnderWay)
        OnChartRunEnded();
}
