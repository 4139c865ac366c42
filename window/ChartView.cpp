// The benchmark form's chart operations: the form hands the chart its
// controls, document and unit, and the chart does the drawing.
#include "window/BenchView.h"

#include "document/BenchDoc.h"
#include "platform/MessageBox.h"
#include "window/ScaleDlg.h"

#include <algorithm>

void CBenchView::AttachChart()
{
    m_Chart.Attach(
        this, [this](int nId) { return GetDlgItem(nId); },
        [this](int nId, const std::string& strText) { SetDlgItemText(nId, strText); });
}

CChart& CBenchView::SyncChart()
{
    m_Chart.SetDocument(m_pDocument);
    m_Chart.SetUnits(m_nUnits);
    return m_Chart;
}

void CBenchView::ResetChart()
{
    SyncChart().Reset();
}

void CBenchView::RedrawChart()
{
    SyncChart().RedrawChart();
    // The table as the paint leaves it. During a run the worker's messages
    // set the texts, and the document is the worker's to write.
    if (!m_Chart.IsLive() && m_pDocument)
        ShowTableAsPainted();
}

void CBenchView::FitScaleToValue(uint64_t nValue)
{
    SyncChart().FitScaleToValue(nValue);
}

void CBenchView::FitScaleToRange()
{
    SyncChart().FitScaleToRange();
}

void CBenchView::OnRedrawChartMessage()
{
    SyncChart().OnRedrawChartMessage();
}

void CBenchView::OnFitScaleMessage(uint64_t nValue, uint64_t nDocMax)
{
    SyncChart().OnFitScaleMessage(nValue, nDocMax);
}

void CBenchView::DrawRateBar(uint64_t nValue, int nDirection, int nSlot)
{
    SyncChart().OnDrawBarMessage(nValue, nDirection, nSlot);
}

void CBenchView::OnChartRunEnded()
{
    SyncChart().EndRun();
    if (m_pDocument)
        ShowTableAsPainted();
}

void CBenchView::OnScaleFactor()
{
    CChart& chart = SyncChart();
    // No parent: the dialog belongs to the application's main window.
    CScaleDlg dlg(nullptr);
    dlg.m_nChoice = chart.ScaleChoice() + 1;
    dlg.m_pView = this;
    const uint64_t M = m_pDocument ? (m_nUnits == 2 ? m_pDocument->maxiops : m_pDocument->maxbps) : 0;
    if (dlg.exec() != IDOK)
        return;
    if (dlg.m_nChoice <= 0) {
        chart.SetScaleChoice(-1);
        FitScaleToValue(M);
        return;
    }
    const int nRow = std::min(dlg.m_nChoice, NUM_SCALE_STEPS) - 1;
    const uint64_t S = FullScaleStep(m_nUnits, nRow);
    if (M > S) {
        AfxMessageBox("You have selected too small a scale for the displayed data.", MB_OK);
        return;
    }
    chart.SetScaleChoice(nRow);
    chart.SetFullScale(S);
}
