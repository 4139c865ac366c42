#pragma once

#include "platform/MountList.h"
#include "platform/qt/Commands.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class CBenchDoc;
class QCheckBox;
class QComboBox;

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

    // Hooks of the run control: Start and Cancel, and one line of the run log
    // (the unattended "Test aborted." notice). Without a log hook the line
    // goes to standard error.
    std::function<void()> m_pfnStart;
    std::function<void(const std::string&)> m_pfnLogLine;
    // The main frame, to which Exit is posted when an unattended run cannot start.
    void SetMainFrame(QObject* pFrame) { m_pMainFrame = pFrame; }

    // The chart (its own work fills the scale choice): repaint the chart area
    // and the table it leaves; choose the full scale.
    virtual void RedrawChart();
    virtual void FitScaleToValue(uint64_t nValue);
    virtual void FitScaleToRange();

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

    int32_t m_nUpdating = 0;
    int32_t m_nUnits = 0;
    uint64_t m_nFullScale = 100000000;
    int32_t m_nScaleChoice = -1;
    bool m_bRunning = false;

private:
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
};
