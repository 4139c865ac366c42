#include "document/BenchDoc.h"
#include "window/Chart.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QWidget>

#include <map>
#include <memory>

namespace {

// A form with the chart's neighbours at fixed pixel places: the chart area
// 1051, the 21 size labels 14 pixels apart, the legend and axis labels.
class ChartForm
{
public:
    ChartForm()
    {
        m_form.setFixedSize(500, 420);
        auto* pArea = new QFrame(&m_form);
        pArea->setGeometry(40, 40, 300, 310);
        Add(1051, pArea);
        for (int k = 0; k < 21; ++k) {
            auto* p = new QLabel(&m_form);
            p->setGeometry(5, 45 + 14 * k, 30, 13);
            Add(1100 + k, p);
            Add(1200 + k, new QLabel(&m_form));
            Add(1300 + k, new QLabel(&m_form));
        }
        auto* pWrite = new QLabel("Write", &m_form);
        pWrite->setGeometry(100, 20, 30, 13);
        Add(1064, pWrite);
        auto* pRead = new QLabel("Read", &m_form);
        pRead->setGeometry(200, 20, 30, 13);
        Add(1065, pRead);
        for (int id = 1053; id <= 1063; ++id)
            Add(id, new QLabel(&m_form));
        Add(1089, new QLabel(&m_form));
        m_chart.SetDocument(&m_doc);
        m_chart.Attach(
            &m_form, [this](int nId) { return m_items.count(nId) ? m_items[nId] : nullptr; },
            [this](int nId, const std::string& s) {
                if (auto* p = qobject_cast<QLabel*>(m_items[nId]))
                    p->setText(QString::fromStdString(s));
            });
        m_form.show();
    }

    QString Text(int nId) const { return qobject_cast<QLabel*>(m_items.at(nId))->text(); }
    QImage Grab() { return m_form.grab().toImage(); }

    QWidget m_form;
    CBenchDoc m_doc;
    CChart m_chart;

private:
    void Add(int nId, QWidget* p)
    {
        p->setObjectName(QString::number(nId));
        m_items[nId] = p;
    }
    std::map<int, QWidget*> m_items;
};

const QColor WRITE(230, 25, 25);
const QColor READ(128, 128, 128);
const QColor GRID(225, 225, 225);
const QColor WHITE(255, 255, 255);

TEST(ChartPaint, BarsSitOnTheirRowsInTheirColours)
{
    ChartForm f;
    f.m_doc.iosize1 = 0;
    f.m_doc.iosize2 = 20;
    f.m_doc.rates[0].writebps = 400000000;
    f.m_doc.rates[0].readbps = 200000000;
    f.m_doc.rates[0].flags = RATE_WRITEBPS | RATE_READBPS;
    f.m_doc.maxbps = 400000000;
    f.m_chart.FitScaleToRange();   // 400 MB/s: the write bar spans the chart

    const QImage img = f.Grab();
    const ChartLayout layout = f.m_chart.GetChartLayout();
    ASSERT_EQ(layout.barHeight, 5);
    // Write bar at the top of row 0's label (top 45): y 46..50; read at its bottom.
    EXPECT_EQ(QColor(img.pixel(60, 47)), WRITE);
    EXPECT_EQ(QColor(img.pixel(338, 47)), WRITE);
    EXPECT_EQ(QColor(img.pixel(60, 53)), READ);
    EXPECT_EQ(QColor(img.pixel(188, 53)), READ);
    // Past the read bar's end (half the width) lies white, between the
    // gridlines (x = 40 + 30 i); the gridline at the first tenth runs through
    // an empty row.
    EXPECT_EQ(QColor(img.pixel(255, 53)), WHITE);
    EXPECT_EQ(QColor(img.pixel(250, 53)), GRID);
    EXPECT_EQ(QColor(img.pixel(40 + 30, 200)), GRID);
    EXPECT_EQ(QColor(img.pixel(41 + 30, 200)), WHITE);
    // The legend boxes beside "Write" and "Read".
    EXPECT_EQ(QColor(img.pixel(140, 26)), WRITE);
    EXPECT_EQ(QColor(img.pixel(240, 26)), READ);
    EXPECT_EQ(f.Text(1063), "400");
    EXPECT_EQ(f.Text(1089), "Transfer Rate - MB/s");
}

TEST(ChartPaint, EachSweepStartsEmptyAndLiveBarsFollowTheMessages)
{
    ChartForm f;
    f.m_doc.rates[0].writebps = 400000000;
    f.m_doc.rates[0].flags = RATE_WRITEBPS;
    f.m_chart.FitScaleToRange();
    f.m_chart.OnRedrawChartMessage();
    EXPECT_EQ(QColor(f.Grab().pixel(60, 47)), WHITE);

    // The first value rescales against the maximum carried (0) and is drawn.
    f.m_chart.OnFitScaleMessage(200000000, 0);
    EXPECT_EQ(f.m_chart.FullScale(), 400000000u);
    f.m_chart.OnDrawBarMessage(200000000, 1, 3);
    const QImage img = f.Grab();
    EXPECT_EQ(QColor(img.pixel(60, 45 + 14 * 3 + 2)), WRITE);
    EXPECT_EQ(QColor(img.pixel(255, 45 + 14 * 3 + 2)), WHITE);
    EXPECT_EQ(f.Text(1203), "200 MB/s");

    // A value below the maximum the worker compared with keeps the scale.
    f.m_chart.SetScaleChoice(4);
    f.m_chart.OnFitScaleMessage(100000000, 200000000);
    EXPECT_EQ(f.m_chart.FullScale(), 400000000u);
    EXPECT_EQ(f.m_chart.ScaleChoice(), 4);
    f.m_chart.OnFitScaleMessage(250000000, 200000000);
    EXPECT_EQ(f.m_chart.ScaleChoice(), -1);
}

TEST(ChartPaint, ChangingTheUnitRescalesAtOnce)
{
    ChartForm f;
    f.m_doc.rates[2].writeiops = 4000;
    f.m_doc.rates[2].writebps = 4000 * 4096;
    f.m_doc.rates[2].flags = RATE_WRITEBPS | RATE_WRITEIOPS;
    f.m_chart.SetUnits(2);
    f.m_chart.RedrawChart();
    f.m_chart.FitScaleToRange();
    EXPECT_EQ(f.m_chart.FullScale(), 5000u);
    EXPECT_EQ(f.Text(1089), "Transfer Rate - IO/s (Thousands)");
    EXPECT_EQ(f.Text(1054), "0.5");
    // Slot 0 shows the first row with a result: a bar of 4/5 of the width.
    EXPECT_EQ(QColor(f.Grab().pixel(40 + 230, 47)), WRITE);
    EXPECT_EQ(QColor(f.Grab().pixel(40 + 250, 47)), WHITE);
}

}
