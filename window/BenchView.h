#pragma once

#include "engine/BenchmarkThread.h"
#include "engine/TestFile.h"
#include "platform/MountList.h"
#include "platform/qt/Commands.h"
#include "window/Chart.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class CBenchDoc;
class CClock;
class QCheckBox;
class QComboBox;
class QEventLoop;
class QProgressBar;
struct BenchMessage;

// The benchmark form: every setting of the document, the results table, the
// chart area and the Start button. The frame hosts it as its central widget
// and fixes itself to the form's size.
class CBenchView : public CCommandTarget<QWidget>
{
public:
    explicit CBenchView(QWidget* pParent = nullptr);
    ~CBenchView() override;

    void SetDocument(CBenchDoc* pDoc) { m_pDocument = pDoc; }
    CBenchDoc* GetDocument() const { return m_pDocument; }

    // Each time a document is attached (start-up, New, Open): the Drive list
    // is rebuilt, the target checked, the controls filled.
    virtual void OnInitialUpdate();
    // Fills every control from the document.
    virtual void OnUpdate();

    // Drive list: the mounts of this system, then folders appended later.
    int FillDriveList();
    // Selects the document's target, appending it when no entry has it;
    // false when it was appended and does not exist.
    bool SelectDocumentDrive();

    // The results table: slot k from row iosize1 + k, then as the chart's paint
    // leaves it (slot 0 the first row with a result).
    void FillResultsTable();
    void ShowTableAsPainted();

    // Control texts by id; the worker's text messages land here.
    QWidget* GetDlgItem(int nId) const;
    void SetDlgItemText(int nId, const std::string& strText);
    std::string GetDlgItemText(int nId) const;

    // The description and minutes boxes, read when the document is saved.
    std::string GetDescriptionText() const;
    std::string GetMinutesText() const;

    int GetUnits() const { return m_nUnits; }

    // Where the Drive list's mounts come from (tests hand in a fixture).
    using MountSource = std::function<std::vector<MountEntry>()>;
    void SetMountSource(MountSource source) { m_mountSource = std::move(source); }

    // The main frame, to which Exit is posted when an unattended run cannot
    // start, and Save then Exit when it has ended.
    void SetMainFrame(QObject* pFrame) { m_pMainFrame = pFrame; }

    // Run control. Start prepares the run on this thread and starts the
    // worker; Stop sets the stop flag and waits for the worker while still
    // handling what it posts, so the form repaints and nothing is lost.
    void Start();
    void Stop();
    void ShowInitializing();
    void ShowInProgress();
    void DisableControls();
    void EnableControls();
    // Back to idle, the test file closed; harmless when already idle.
    void EndBenchmark();
    // Appends one entry to the run log: the text, or the error list for null.
    void WriteLog(const char* pszText);

    // The worker's messages, applied in posting order on this thread.
    void OnBenchMessage(const BenchMessage& msg);
    // "Data Integrity Errors", modal; its result.
    int OnBenchShowErrors();

    // What a run reads from the system, replaceable for tests: the sector
    // size of the target, and the phase clock (null: the system clock).
    using SectorSizeLookup = std::function<uint32_t(const char* pszTarget)>;
    void SetSectorSizeLookup(SectorSizeLookup lookup) { m_pfnSectorSize = std::move(lookup); }
    void SetRunClock(CClock* pClock) { m_pRunClock = pClock; }
    CTestFile& TestFile() { return m_TestFile; }

    // A run is under way, from Start until the window is idle again; the frame
    // refuses to close meanwhile.
    bool IsRunning() const { return m_bRunUnderWay; }
    // Set by the frame: false greys its File and Help menus during a run,
    // true enables them again.
    std::function<void(bool)> m_pfnEnableMenus;

    // The chart (its own work fills the scale choice): repaint the chart area
    // and the table it leaves; choose the full scale.
    virtual void RedrawChart();
    virtual void FitScaleToValue(uint64_t nValue);
    virtual void FitScaleToRange();
    // The worker's drawing during a run: the chart emptied for a sweep, the
    // scale fitted against the maximum the worker compared with, one bar with
    // its rate text (direction 1 write, 2 read; slot = table row); and the
    // run over, when the chart shows the document again.
    virtual void OnRedrawChartMessage();
    virtual void OnFitScaleMessage(uint64_t nValue, uint64_t nDocMax);
    virtual void DrawRateBar(uint64_t nValue, int nDirection, int nSlot);
    virtual void OnChartRunEnded();
    // "Scale &Factor..." (command ID_VIEW_SCALE_FACTOR): the full scale fixed
    // at a step of the unit shown, or automatic again.
    void OnScaleFactor();
    // The chart itself (Chart.h): its full scale, choice and layout.
    const CChart& Chart() const { return m_Chart; }

    QSize sizeHint() const override { return m_formSize; }
    QSize minimumSizeHint() const override { return m_formSize; }

    // Handlers of the form's controls.
    void OnDriveChange();
    void OnFirstSizeChange();
    void OnLastSizeChange();
    void OnFileSizeChange();
    void OnQueueDepthChange();
    void OnPatternChange();
    void OnDirectIo();
    void OnBypassWriteCache();
    void OnVerifyData();
    void OnRunContinuously();
    void OnDescriptionChange();
    void OnUnitsChange();
    void OnBrowse();
    void OnStart();

protected:
    void OnCommand(uint32_t nId) override;
    bool event(QEvent* pEvent) override;

    int32_t m_nUpdating = 0;
    int32_t m_nUnits = 0;
    CChart m_Chart;               // full scale, scale choice, layout, legend boxes (ChartView.cpp)
    bool m_bRunning = false;      // measuring: the Start button acts as Cancel
    bool m_bRunUnderWay = false;  // from Start until EndBenchmark

private:
    // The chart with this form's document and unit (ChartView.cpp).
    CChart& SyncChart();
    void AttachChart();
    void ResetChart();
    void ConnectControls();
    void FillFixedLists();
    void ApplyTable(const struct TableSlotTexts* pTexts);
    void AddDriveEntry(const std::string& strText, const std::string& strTarget);
    void ReportMissingTarget();
    QComboBox* Combo(int nId) const;
    QCheckBox* Check(int nId) const;
    void ShowControl(int nId, bool bShow);

    CBenchDoc* m_pDocument = nullptr;
    std::map<int, QWidget*> m_controls;
    QSize m_formSize;
    MountSource m_mountSource;
    QObject* m_pMainFrame = nullptr;

    // Run control (BenchRunControl.cpp, BenchMessagesHandler.cpp).
    QProgressBar* Progress() const;
    void StepProgress();
    void JoinWorker();
    void OnUnattendedCommand(uint32_t nId);

    CTestFile m_TestFile;
    BenchRun m_run;                              // what the worker of the current run reads
    std::unique_ptr<IBenchWindow> m_pPoster;     // posts the worker's messages to this window
    std::unique_ptr<std::thread> m_pWorkerThread;
    bool m_bWorkerEnded = true;                  // the worker's last message has been handled
    bool m_bStopping = false;                    // Stop is waiting for the worker
    bool m_bAutoStarted = false;                 // the unattended run has been asked to start
    QEventLoop* m_pStopWait = nullptr;
    int m_nProgressStep = 1;
    int32_t m_nRunSerial = 0;                    // tells this run's end from an earlier worker's
    std::vector<uint32_t> m_deferredCommands;    // frame commands that arrived while Stop waited
    SectorSizeLookup m_pfnSectorSize;
    CClock* m_pRunClock = nullptr;
};
