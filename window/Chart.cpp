#include "window/Chart.h"

#include "document/BenchDoc.h"
#include "window/ChartWidget.h"
#include "window/RateFormat.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int ID_CHART = 1051;
constexpr int ID_AXIS_FIRST = 1053;
constexpr int ID_LEGEND_WRITE = 1064;
constexpr int ID_LEGEND_READ = 1065;
constexpr int ID_CAPTION = 1089;
constexpr int ID_TABLE_SIZE = 1100;
constexpr int ID_TABLE_WRITE = 1200;
constexpr int ID_TABLE_READ = 1300;
constexpr int NUM_SLOTS = 21;

const QColor COLOR_BACKGROUND(255, 255, 255);
const QColor COLOR_WRITE(230, 25, 25);
const QColor COLOR_READ(128, 128, 128);
const QColor COLOR_GRID(225, 225, 225);

QRect ToQRect(const ChartRect& rc) { return QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top); }

QWidget* MakeKey(QWidget* pForm, const QColor& color)
{
    auto* p = new QWidget(pForm);
    QPalette pal = p->palette();
    pal.setColor(QPalette::Window, color);
    p->setPalette(pal);
    p->setAutoFillBackground(true);
    return p;
}

}

void CChart::Attach(QWidget* pForm, ItemLookup lookup, TextSetter setText)
{
    m_pForm = pForm;
    m_lookup = std::move(lookup);
    m_setText = std::move(setText);
    if (QWidget* pArea = m_lookup(ID_CHART)) {
        m_pWidget = new CChartWidget(*this, pArea);
        m_pWidget->setGeometry(pArea->rect());
        m_pWidget->show();
    }
    m_pWriteKey = MakeKey(pForm, COLOR_WRITE);
    m_pReadKey = MakeKey(pForm, COLOR_READ);
    Reset();
}

ChartRect CChart::ItemRect(int nId) const
{
    QWidget* p = m_lookup ? m_lookup(nId) : nullptr;
    if (!p || !m_pForm)
        return {};
    const QPoint tl = p->mapTo(m_pForm, QPoint(0, 0));
    return ChartRect{tl.x(), tl.y(), tl.x() + p->width(), tl.y() + p->height()};
}

ChartLayout CChart::GetChartLayout() const
{
    return ::GetChartLayout(ItemRect(ID_CHART), ItemRect(ID_TABLE_SIZE).top, ItemRect(ID_TABLE_SIZE + 20).top);
}

void CChart::PlaceLegendBoxes()
{
    m_rcWriteKey = PlaceLegendBox(ItemRect(ID_LEGEND_WRITE), m_Layout.barHeight);
    m_rcReadKey = PlaceLegendBox(ItemRect(ID_LEGEND_READ), m_Layout.barHeight);
    if (m_pWriteKey) {
        m_pWriteKey->setGeometry(ToQRect(m_rcWriteKey));
        m_pWriteKey->show();
    }
    if (m_pReadKey) {
        m_pReadKey->setGeometry(ToQRect(m_rcReadKey));
        m_pReadKey->show();
    }
}

void CChart::Reset()
{
    m_nFullScale = 100000000;
    m_nScaleChoice = -1;
    m_bLive = false;
    m_live = {};
    m_Layout = GetChartLayout();
    PlaceLegendBoxes();
}

uint64_t CChart::DocMaximum() const
{
    if (!m_pDoc)
        return 0;
    return m_nUnits == UNITS_IOPS ? m_pDoc->maxiops : m_pDoc->maxbps;
}

void CChart::SetFullScale(uint64_t nFullScale)
{
    m_nFullScale = nFullScale;
    RedrawChart();
    if (!m_setText)
        return;
    const auto labels = AxisLabels(m_nUnits, nFullScale);
    for (int i = 0; i < 10; ++i)
        m_setText(ID_AXIS_FIRST + 1 + i, labels[i]);
    m_setText(ID_CAPTION, AxisCaption(m_nUnits, nFullScale));
}

void CChart::FitScaleToValue(uint64_t nValue) { FitScaleToValue(nValue, DocMaximum()); }

void CChart::FitScaleToValue(uint64_t nValue, uint64_t nDocMax)
{
    uint64_t nFullScale = 0;
    if (!FitScaleDecision(m_nUnits, nValue, nDocMax, nFullScale))
        return;
    m_nScaleChoice = -1;
    SetFullScale(nFullScale);
}

void CChart::FitScaleToRange()
{
    uint64_t nMax = 0;
    if (m_pDoc) {
        const int nFirst = std::max(0, m_pDoc->iosize1);
        const int nLast = std::min(NUM_TRANSFER_SIZES - 1, m_pDoc->iosize2);
        for (int r = nFirst; r <= nLast; ++r) {
            const RateEntry& row = m_pDoc->rates[r];
            if (m_nUnits == UNITS_IOPS)
                nMax = std::max({nMax, row.writeiops, row.readiops});
            else
                nMax = std::max({nMax, row.writebps, row.readbps});
        }
    }
    SetFullScale(FullScaleAtLeast(m_nUnits, nMax));
}

void CChart::RedrawChart()
{
    m_Layout = GetChartLayout();
    if (m_pWidget)
        m_pWidget->repaint();
}

void CChart::OnRedrawChartMessage()
{
    m_bLive = true;
    m_live = {};
    RedrawChart();
}

void CChart::OnDrawBarMessage(uint64_t nValue, int nDirection, int nSlot)
{
    if (nSlot < 0 || nSlot >= NUM_SLOTS || (nDirection != 1 && nDirection != 2))
        return;
    m_bLive = true;
    m_live[nSlot][nDirection - 1] = LiveBar{true, nValue};
    if (m_setText)
        m_setText((nDirection == 1 ? ID_TABLE_WRITE : ID_TABLE_READ) + nSlot, FormatRateText(nValue, m_nUnits));
    if (m_pWidget)
        m_pWidget->update();
}

void CChart::EndRun()
{
    m_bLive = false;
    m_live = {};
    RedrawChart();
}

void CChart::PaintBar(QPainter& painter, uint64_t nValue, int nDirection, int nSlot) const
{
    const ChartRect rcLabel = ItemRect(ID_TABLE_SIZE + nSlot);
    const ChartRect rc = BarRect(m_Layout, nValue, m_nFullScale, nDirection, rcLabel.top, rcLabel.bottom);
    if (!rc.IsEmpty())
        painter.fillRect(ToQRect(rc), nDirection == 1 ? COLOR_WRITE : COLOR_READ);
}

void CChart::Paint(QPainter& painter) const
{
    const int nLeft = m_Layout.left - m_Layout.clipLeft;
    const int nTop = m_Layout.top - m_Layout.clipTop;
    const ChartRect rcChart{nLeft, nTop, nLeft + m_Layout.width, nTop + m_Layout.height};
    // The black 1-pixel frame, white inside it.
    painter.fillRect(ToQRect(rcChart), Qt::black);
    painter.fillRect(ToQRect(ChartRect{rcChart.left + 1, rcChart.top + 1, rcChart.right - 1, rcChart.bottom - 1}),
                     COLOR_BACKGROUND);
    painter.setPen(QPen(COLOR_GRID, 1));
    for (int i = 1; i <= 9; ++i) {
        const int x = rcChart.left + (i * m_Layout.width) / 10;
        painter.drawLine(x, rcChart.top + 1, x, rcChart.bottom - 2);
    }

    if (m_bLive) {
        for (int k = 0; k < NUM_SLOTS; ++k)
            for (int d = 0; d < 2; ++d)
                if (m_live[k][d].bSet)
                    PaintBar(painter, m_live[k][d].nValue, d + 1, k);
        return;
    }
    if (!m_pDoc)
        return;
    // The slot rule of the table: slot 0 is the first row of the range with a result.
    const CBenchDoc& doc = *m_pDoc;
    const int nLast = std::min(NUM_TRANSFER_SIZES - 1, doc.iosize2);
    int s = std::max(0, doc.iosize1);
    while (s <= nLast && doc.rates[s].flags == 0)
        ++s;
    const bool bIops = m_nUnits == UNITS_IOPS;
    for (int k = 0; k < NUM_SLOTS && s + k <= nLast; ++k) {
        const RateEntry& row = doc.rates[s + k];
        if (row.flags & (bIops ? RATE_READIOPS : RATE_READBPS))
            PaintBar(painter, bIops ? row.readiops : row.readbps, 2, k);
        if (row.flags & (bIops ? RATE_WRITEIOPS : RATE_WRITEBPS))
            PaintBar(painter, bIops ? row.writeiops : row.writebps, 1, k);
    }
}
