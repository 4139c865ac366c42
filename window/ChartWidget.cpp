#include "window/ChartWidget.h"

#include "window/Chart.h"

#include <QPainter>

CChartWidget::CChartWidget(const CChart& chart, QWidget* pParent)
    : QWidget(pParent), m_chart(chart)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CChartWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The chart's geometry is in form coordinates.
    if (QWidget* pForm = m_chart.Form())
        painter.translate(-mapTo(pForm, QPoint(0, 0)));
    m_chart.Paint(painter);
}
