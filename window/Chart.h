#pragma once

#include "window/ChartMath.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class CBenchDoc;
class QPainter;
class QWidget;
class CChartWidget;

// The transfer-rate chart of the benchmark form: its scale, its paint, and
// the live drawing of a run. The view owns one and forwards to it; the
// arithmetic is in ChartMath.
class CChart final
{
public:
    CChart() = default;
    CChart(const CChart&) = delete;
    CChart& operator=(const CChart&) = delete;

    // The form's controls by id and its text setter.
    using ItemLookup = std::function<QWidget*(int nId)>;
    using TextSetter = std::function<void(int nId, const std::string& strText)>;
    // Puts the chart's widget into the chart area (1051) and the two legend
    // boxes beside "Write" and "Read"; measures the layout.
    void Attach(QWidget* pForm, ItemLookup lookup, TextSetter setText);

    void SetDocument(const CBenchDoc* pDoc) { m_pDoc = pDoc; }
    void SetUnits(int nUnits) { m_nUnits = nUnits; }

    // Initial update: full scale 100000000, automatic choice, layout and
    // legend boxes measured again, no live bars.
    void Reset();

    ChartLayout GetChartLayout() const;
    void PlaceLegendBoxes();
    void SetFullScale(uint64_t nFullScale);
    // Automatic scale for a value, against the document's maximum now.
    void FitScaleToValue(uint64_t nValue);
    // The same against the maximum the worker compared with when it posted.
    void FitScaleToValue(uint64_t nValue, uint64_t nDocMax);
    void FitScaleToRange();
    // Repaints the chart area before it returns.
    void RedrawChart();

    // The worker's messages during a run. The first empties the chart and
    // makes the paint draw the bars of these messages, not the document the
    // worker is writing; EndRun (the run is over) paints the document again.
    void OnRedrawChartMessage();
    void OnFitScaleMessage(uint64_t nValue, uint64_t nDocMax) { FitScaleToValue(nValue, nDocMax); }
    void OnDrawBarMessage(uint64_t nValue, int nDirection, int nSlot);
    void EndRun();

    uint64_t FullScale() const { return m_nFullScale; }
    int32_t ScaleChoice() const { return m_nScaleChoice; }
    void SetScaleChoice(int32_t nChoice) { m_nScaleChoice = nChoice; }
    int Units() const { return m_nUnits; }
    bool IsLive() const { return m_bLive; }
    QWidget* Form() const { return m_pForm; }

    // Called by the widget's paint: draws what the arithmetic gives, with the
    // painter in form coordinates.
    void Paint(QPainter& painter) const;

private:
    struct LiveBar
    {
        bool bSet = false;
        uint64_t nValue = 0;
    };

    uint64_t DocMaximum() const;
    ChartRect ItemRect(int nId) const;
    void PaintBar(QPainter& painter, uint64_t nValue, int nDirection, int nSlot) const;

    QWidget* m_pForm = nullptr;
    CChartWidget* m_pWidget = nullptr;
    QWidget* m_pWriteKey = nullptr;
    QWidget* m_pReadKey = nullptr;
    ItemLookup m_lookup;
    TextSetter m_setText;
    const CBenchDoc* m_pDoc = nullptr;
    int m_nUnits = 0;
    uint64_t m_nFullScale = 100000000;
    int32_t m_nScaleChoice = -1;
    ChartLayout m_Layout;
    ChartRect m_rcWriteKey;
    ChartRect m_rcReadKey;
    bool m_bLive = false;
    std::array<std::array<LiveBar, 2>, 21> m_live{};
};
