#pragma once

#include <QWidget>

class CChart;

// The chart's drawing surface: covers the chart area and paints it whole on
// every paint event, so a chart uncovered by another window comes back.
class CChartWidget final : public QWidget
{
public:
    CChartWidget(const CChart& chart, QWidget* pParent);
    CChartWidget(const CChartWidget&) = delete;
    CChartWidget& operator=(const CChartWidget&) = delete;

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    const CChart& m_chart;
};
