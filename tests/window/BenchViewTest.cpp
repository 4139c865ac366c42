#include "document/BenchDoc.h"
#include "platform/MessageBox.h"
#include "platform/qt/FileDialogs.h"
#include "window/BenchView.h"
#include "window/FormTemplate.h"
#include "window/RateFormat.h"
#include "window/ResultsTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

struct Recorded { std::string text; unsigned type; };

const QColor WRITE_COLOUR(230, 25, 25);
const QColor READ_COLOUR(128, 128, 128);
const QColor WHITE_COLOUR(255, 255, 255);

// A control's rectangle in the form's coordinates, as the chart measures it.
ChartRect FormRect(const CBenchView& view, int id)
{
    const QWidget* p = view.GetDlgItem(id);
    const QPoint tl = p->mapTo(&view, QPoint(0, 0));
    return ChartRect{tl.x(), tl.y(), tl.x() + p->width(), tl.y() + p->height()};
}

// The bar the chart paints for slot k, from the chart's own layout and scale.
ChartRect SlotBar(const CBenchView& view, uint64_t value, int direction, int k)
{
    const ChartRect label = FormRect(view, IDC_TABLE_SIZE + k);
    return BarRect(view.Chart().GetChartLayout(), value, view.Chart().FullScale(), direction, label.top, label.bottom);
}

QColor Pixel(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

// Every label and check box of the form shows its whole text.
void ExpectTextsFit(const CBenchView& view)
{
    for (QLabel* p : view.findChildren<QLabel*>()) {
        if (p->text().isEmpty())
            continue;
        SCOPED_TRACE(p->objectName().toStdString() + " " + p->text().toStdString());
        EXPECT_LE(p->sizeHint().width(), p->width());
        EXPECT_LE(p->fontMetrics().height(), p->height());
    }
    for (QCheckBox* p : view.findChildren<QCheckBox*>()) {
        SCOPED_TRACE(p->text().toStdString());
        EXPECT_LE(p->sizeHint().width(), p->width());
        EXPECT_LE(p->fontMetrics().height(), p->height());
    }
}

class BenchViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = SetMessageBoxHandler([this](const char* psz, unsigned n) {
            m_boxes.push_back({psz, n});
            return IDOK;
        });
        m_doc.OnNewDocument();
        m_view.SetDocument(&m_doc);
        m_view.SetMountSource([this] { return m_mounts; });
    }
    void TearDown() override { SetMessageBoxHandler(m_previous); }

    QComboBox* Combo(int id) { return m_view.findChild<QComboBox*>(QString::number(id)); }
    QCheckBox* Check(int id) { return m_view.findChild<QCheckBox*>(QString::number(id)); }
    QWidget* Item(int id) { return m_view.findChild<QWidget*>(QString::number(id)); }
    std::string Text(int id) { return m_view.GetDlgItemText(id); }
    // What a user's choice in a list does: the selection, then its notification.
    void Choose(int id, int index)
    {
        Combo(id)->setCurrentIndex(index);
        emit Combo(id)->activated(index);
    }

    // Rows 3..5 hold a 100 MB/s write and a 1.5 KB/s read, row 6 a 2 KB/s
    // read only: the table and the chart both start at row 3 (4 KiB).
    void ExpectFirstMeasuredRowInSlotZero()
    {
        EXPECT_EQ(Text(IDC_TABLE_SIZE + 0), "4 KiB");
        EXPECT_EQ(Text(IDC_TABLE_WRITE + 0), "100 MB/s");
        EXPECT_EQ(Text(IDC_TABLE_READ + 0), "1.50 KB/s");
        EXPECT_EQ(Text(IDC_TABLE_SIZE + 2), "16 KiB");
        EXPECT_EQ(Text(IDC_TABLE_SIZE + 3), "32 KiB");
        EXPECT_EQ(Text(IDC_TABLE_WRITE + 3), "");
        EXPECT_EQ(Text(IDC_TABLE_READ + 3), "2 KB/s");
        EXPECT_EQ(Text(IDC_TABLE_SIZE + 4), "");

        // The chart: write bars in slots 0..2 up to the scale's length, none
        // in slots 3 and 4; the reads are too small to show.
        const QImage image = m_view.grab().toImage();
        const ChartLayout layout = m_view.Chart().GetChartLayout();
        ASSERT_GT(layout.barHeight, 0);
        const int x = layout.left + layout.width / 20;   // between the left edge and the first gridline
        for (int k = 0; k <= 4; ++k) {
            SCOPED_TRACE("slot " + std::to_string(k));
            const ChartRect label = FormRect(m_view, IDC_TABLE_SIZE + k);
            const int y = label.top + 1 + layout.barHeight / 2;
            if (k > 2) {
                EXPECT_EQ(Pixel(image, x, y), WHITE_COLOUR);
                continue;
            }
            const ChartRect bar = SlotBar(m_view, 100000000, 1, k);
            ASSERT_FALSE(bar.IsEmpty());
            EXPECT_EQ(Pixel(image, x, y), WRITE_COLOUR);
            EXPECT_EQ(Pixel(image, bar.right - 1, y), WRITE_COLOUR);
            if (bar.right + 2 < layout.left + layout.width - 1) {
                EXPECT_NE(Pixel(image, bar.right + 1, y), WRITE_COLOUR);
            }
        }
    }

    CBenchDoc m_doc;
    CBenchView m_view;
    std::vector<MountEntry> m_mounts;
    std::vector<Recorded> m_boxes;
    MessageBoxHandler m_previous;
};

TEST_F(BenchViewTest, NewDocumentShowsEveryDefaultAndAnEmptyTable)
{
    m_view.OnInitialUpdate();
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(Text(IDC_DRIVE), m_doc.drive);
    EXPECT_EQ(Text(IDC_IOSIZE1), "512 B");
    EXPECT_EQ(Text(IDC_IOSIZE2), "64 MiB");
    EXPECT_EQ(Text(IDC_FILESIZE), "256 MiB");
    EXPECT_EQ(Text(IDC_QUEUEDEPTH), "4");
    EXPECT_EQ(Combo(IDC_QUEUEDEPTH)->count(), 15);
    EXPECT_EQ(Text(IDC_PATTERN), "00000000");
    EXPECT_TRUE(Check(IDC_DIRECTIO)->isChecked());
    EXPECT_FALSE(Check(IDC_WRITECACHE)->isChecked());
    EXPECT_FALSE(Check(IDC_VERIFY)->isChecked());
    EXPECT_FALSE(Check(IDC_CONTINUOUS)->isChecked());
    EXPECT_EQ(Text(IDC_RUNTIME), "30");
    EXPECT_EQ(Text(IDC_DESCRIPTION), "<< Description >>");
    EXPECT_EQ(Text(IDC_UNITS), "MB/s");
    EXPECT_FALSE(m_doc.IsModified());
    for (int k = 0; k < NUM_TABLE_SLOTS; ++k) {
        EXPECT_EQ(Text(IDC_TABLE_SIZE + k), "");
        EXPECT_EQ(Text(IDC_TABLE_WRITE + k), "");
        EXPECT_EQ(Text(IDC_TABLE_READ + k), "");
    }
}

TEST_F(BenchViewTest, SizeRangeAndFileSizeRules)
{
    m_view.OnInitialUpdate();
    Choose(IDC_FILESIZE, 0);   // 64 KiB over the full range
    EXPECT_EQ(m_doc.filesize, 65536u);
    EXPECT_EQ(m_doc.iosize1, 0);
    EXPECT_EQ(m_doc.iosize2, 7);
    EXPECT_EQ(Text(IDC_IOSIZE2), "64 KiB");

    Choose(IDC_IOSIZE1, 8);   // 128 KiB first size over a 64 KiB file
    EXPECT_EQ(m_doc.filesize, 131072u);
    EXPECT_EQ(Combo(IDC_FILESIZE)->currentIndex(), 1);
    EXPECT_EQ(m_doc.iosize2, 8);   // first above last raises last
    EXPECT_EQ(Text(IDC_IOSIZE2), "128 KiB");

    Choose(IDC_IOSIZE2, 3);   // last below first lowers first
    EXPECT_EQ(m_doc.iosize1, 3);
    EXPECT_EQ(Text(IDC_IOSIZE1), "4 KiB");
}

TEST_F(BenchViewTest, VerifyDataForcesDepthOneAndRestoresTheChosenDepth)
{
    m_view.OnInitialUpdate();
    Choose(IDC_QUEUEDEPTH, 11);
    ASSERT_EQ(m_doc.queuedepth, 32);
    EXPECT_FALSE(Item(IDC_PATTERN)->isVisibleTo(&m_view));
    Check(IDC_VERIFY)->click();
    EXPECT_EQ(m_doc.queuedepth, 1);
    EXPECT_EQ(Text(IDC_QUEUEDEPTH), "1");
    EXPECT_FALSE(Combo(IDC_QUEUEDEPTH)->isEnabled());
    EXPECT_TRUE(Item(IDC_PATTERN)->isVisibleTo(&m_view));
    EXPECT_TRUE(Item(IDC_PATTERN_LABEL)->isVisibleTo(&m_view));
    EXPECT_TRUE(Item(IDC_CONTINUOUS)->isVisibleTo(&m_view));
    Check(IDC_VERIFY)->click();
    EXPECT_EQ(m_doc.queuedepth, 32);
    EXPECT_EQ(Text(IDC_QUEUEDEPTH), "32");
    EXPECT_TRUE(Combo(IDC_QUEUEDEPTH)->isEnabled());
    EXPECT_FALSE(Item(IDC_PATTERN)->isVisibleTo(&m_view));
}

TEST_F(BenchViewTest, RunContinuouslyCaptionAndMinutes)
{
    m_view.OnInitialUpdate();
    EXPECT_EQ(Text(IDC_CONTINUOUS), "R&un Continuously");
    Check(IDC_VERIFY)->click();
    EXPECT_FALSE(Item(IDC_RUNTIME)->isVisibleTo(&m_view));
    Check(IDC_CONTINUOUS)->click();
    EXPECT_EQ(m_doc.continuousio, 1);
    EXPECT_EQ(Text(IDC_CONTINUOUS), "R&un Continuously for:");
    EXPECT_TRUE(Item(IDC_RUNTIME)->isVisibleTo(&m_view));
    EXPECT_TRUE(Item(IDC_MINUTES_LABEL)->isVisibleTo(&m_view));
    Check(IDC_VERIFY)->click();   // minutes need both
    EXPECT_FALSE(Item(IDC_RUNTIME)->isVisibleTo(&m_view));
    EXPECT_EQ(m_doc.continuousio, 1);
}

TEST_F(BenchViewTest, DriveListFromMountsAndExactTargetMatch)
{
    const std::string tmp = std::filesystem::temp_directory_path().string();
    m_mounts = {{"/", "(/) sda1 ext4", "/dev/sda1", "ext4"}, {tmp, "(" + tmp + ") tmpfs", "tmpfs", "tmpfs"}};
    m_doc.drive = tmp;
    m_view.OnInitialUpdate();
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(Combo(IDC_DRIVE)->count(), 2);
    EXPECT_EQ(Combo(IDC_DRIVE)->currentIndex(), 1);
    EXPECT_EQ(m_doc.drivecount, 2);
    Choose(IDC_DRIVE, 0);
    EXPECT_EQ(m_doc.drive, "/");
}

TEST_F(BenchViewTest, MissingTargetIsAppendedWithItsNotice)
{
    struct Case { const char* drive; const char* text; };
    const Case cases[] = {
        {"Q:", "Drive (Q:) not found.\n Information will be loaded."},
        {"\\\\srv\\share\\deep", "\\\\srv\\share\\deep is not a network share. Information will be loaded."},
        {"/no/such/dir", "Path /no/such/dir not found.\n Information will be loaded."},
        {"\\\\srv\\share", nullptr},   // a server share is taken on trust
    };
    m_mounts = {{"/", "(/) root", "", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drive);
        m_boxes.clear();
        m_doc.drive = c.drive;
        m_view.OnInitialUpdate();
        EXPECT_EQ(Combo(IDC_DRIVE)->count(), 2);
        EXPECT_EQ(Combo(IDC_DRIVE)->currentIndex(), 1);
        EXPECT_EQ(Text(IDC_DRIVE), c.drive);
        EXPECT_EQ(m_doc.drive, c.drive);
        if (c.text) {
            ASSERT_EQ(m_boxes.size(), 1u);
            EXPECT_EQ(m_boxes[0].text, c.text);
            EXPECT_EQ(m_boxes[0].type, unsigned(MB_ICONEXCLAMATION));
        } else {
            EXPECT_TRUE(m_boxes.empty());
        }
    }
}

TEST_F(BenchViewTest, BrowsingTheSameFolderTwiceAddsOneEntry)
{
    m_view.OnInitialUpdate();
    const int before = Combo(IDC_DRIVE)->count();
    const std::string dir = std::filesystem::temp_directory_path().string();
    CScriptedFileDialogs dialogs;
    dialogs.Answer(dir);
    dialogs.Answer(dir);
    dialogs.Answer("");
    for (int i = 0; i < 3; ++i)
        qobject_cast<QPushButton*>(Item(IDC_BROWSE))->click();
    EXPECT_EQ(Combo(IDC_DRIVE)->count(), before + 1);
    EXPECT_EQ(Text(IDC_DRIVE), dir);
    EXPECT_EQ(m_doc.drive, dir);
    EXPECT_EQ(m_doc.drivecount, before + 1);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(BenchViewTest, PaintShowsTheFirstMeasuredRowInSlotZero)
{
    for (int r = 3; r <= 5; ++r) {
        m_doc.rates[r].writebps = 100000000;
        m_doc.rates[r].readbps = 1500;
        m_doc.rates[r].flags = RATE_WRITEBPS | RATE_READBPS | RATE_WRITEIOPS | RATE_READIOPS;
    }
    m_doc.rates[6].readbps = 2000;
    m_doc.rates[6].flags = RATE_READBPS;   // read values only
    m_view.OnInitialUpdate();
    ExpectFirstMeasuredRowInSlotZero();
}

// The same results through a real result file: saved, then opened into a
// fresh document, whose range starts before the first measured row.
TEST_F(BenchViewTest, PaintOfAnOpenedFileShowsItsFirstMeasuredRowInSlotZero)
{
    const int firstRows[] = {0, 2};   // 512 B and 2 KiB; results from 4 KiB (row 3)
    for (int first : firstRows) {
        SCOPED_TRACE("range from row " + std::to_string(first));
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const std::string path = dir.filePath(QStringLiteral("results.bmk")).toStdString();
        {
            CBenchDoc saved;
            ASSERT_TRUE(saved.OnNewDocument());
            saved.iosize1 = saved.runiosize1 = first;
            for (int r = 3; r <= 5; ++r) {
                saved.rates[r].writebps = 100000000;
                saved.rates[r].writeiops = 100000000 / saved.rates[r].iosize;
                saved.rates[r].readbps = 1500;
                saved.rates[r].readiops = 1;
                saved.rates[r].flags = RATE_WRITEBPS | RATE_READBPS | RATE_WRITEIOPS | RATE_READIOPS;
            }
            saved.rates[6].readbps = 2000;
            saved.rates[6].flags = RATE_READBPS;
            ASSERT_TRUE(saved.OnSaveDocument(path.c_str()));
        }
        CBenchDoc opened;
        ASSERT_TRUE(opened.OnNewDocument());
        ASSERT_TRUE(opened.OnOpenDocument(path.c_str()));
        ASSERT_EQ(opened.iosize1, first);
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(opened.rates[r].flags, 0) << "row " << r;
        m_boxes.clear();
        m_view.SetDocument(&opened);
        m_view.OnInitialUpdate();
        EXPECT_TRUE(m_boxes.empty());
        ExpectFirstMeasuredRowInSlotZero();
        m_view.SetDocument(&m_doc);
    }
}

TEST_F(BenchViewTest, LabelsFitTheirPlaces)
{
    m_view.OnInitialUpdate();
    ExpectTextsFit(m_view);
    // Table rows sit in the chart area's height.
    const QRect chart = Item(IDC_CHART)->geometry();
    EXPECT_GE(Item(IDC_TABLE_SIZE)->y(), chart.top());
    EXPECT_LE(Item(IDC_TABLE_SIZE + 20)->geometry().bottom(), chart.bottom());
}

// The form built under an application font of the given scale, every row
// measured so that the table's labels carry their widest texts.
class ScaledForm
{
public:
    explicit ScaledForm(int scale) : m_saved(QApplication::font())
    {
        QFont font = m_saved;
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * scale);
        else
            font.setPixelSize(font.pixelSize() * scale);
        QApplication::setFont(font);
        m_previous = SetMessageBoxHandler([this](const char* psz, unsigned n) {
            m_boxes.push_back({psz, n});
            return IDOK;
        });
        m_doc.OnNewDocument();
        for (RateEntry& row : m_doc.rates) {
            // "888.88 MB/s", "888.88K IO/s": the longest texts of their units, in wide digits.
            row.writebps = 888880000;
            row.readbps = 444440000;
            row.writeiops = 888880;
            row.readiops = 444440;
            row.flags = RATE_WRITEBPS | RATE_READBPS | RATE_WRITEIOPS | RATE_READIOPS;
        }
        m_doc.maxbps = 888880000;
        m_doc.maxiops = 888880;
        m_pView = std::make_unique<CBenchView>();
        m_pView->SetDocument(&m_doc);
        m_pView->SetMountSource([] { return std::vector<MountEntry>{}; });
        m_pView->OnInitialUpdate();
    }
    ~ScaledForm()
    {
        m_pView.reset();
        SetMessageBoxHandler(m_previous);
        QApplication::setFont(m_saved);
    }
    ScaledForm(const ScaledForm&) = delete;
    ScaledForm& operator=(const ScaledForm&) = delete;

    CBenchView& View() { return *m_pView; }
    std::vector<Recorded> m_boxes;

private:
    QFont m_saved;
    MessageBoxHandler m_previous;
    CBenchDoc m_doc;
    std::unique_ptr<CBenchView> m_pView;
};

// At the default font and at twice its size, in the unit with the longest
// rate texts too: no text is cut, and every table row sits on the chart row
// the chart's layout paints for it.
TEST(BenchViewFontTest, LabelsFitAndTableRowsLineUpWithTheChartRows)
{
    struct Case { int scale; int unit; uint64_t write; uint64_t read; const char* writeText; };
    const Case cases[] = {
        {1, UNITS_DECIMAL, 888880000, 444440000, "888.88 MB/s"},
        {2, UNITS_DECIMAL, 888880000, 444440000, "888.88 MB/s"},
        {1, UNITS_IOPS, 888880, 444440, "888.88K IO/s"},
        {2, UNITS_IOPS, 888880, 444440, "888.88K IO/s"},
    };
    int defaultChartHeight = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE("font x" + std::to_string(c.scale) + " unit " + std::to_string(c.unit));
        ScaledForm form(c.scale);
        CBenchView& view = form.View();
        EXPECT_TRUE(form.m_boxes.empty());
        if (c.unit != UNITS_DECIMAL) {
            auto* pUnits = view.findChild<QComboBox*>(QString::number(IDC_UNITS));
            pUnits->setCurrentIndex(c.unit);
            emit pUnits->activated(c.unit);
        }
        ASSERT_EQ(view.GetUnits(), c.unit);
        ASSERT_EQ(view.GetDlgItemText(IDC_TABLE_SIZE + 20), "64 MiB");
        ASSERT_EQ(view.GetDlgItemText(IDC_TABLE_WRITE + 0), c.writeText);

        // The font took effect: the form grew with it.
        const int chartHeight = view.GetDlgItem(IDC_CHART)->height();
        if (c.scale == 1) {
            defaultChartHeight = chartHeight;
        } else {
            EXPECT_GE(chartHeight * 2, defaultChartHeight * 3);
        }

        ExpectTextsFit(view);

        const ChartLayout layout = view.Chart().GetChartLayout();
        const ChartRect chart = FormRect(view, IDC_CHART);
        ASSERT_GT(layout.barHeight, 0);
        const QImage image = view.grab().toImage();
        for (int k = 0; k < NUM_TABLE_SLOTS; ++k) {
            SCOPED_TRACE("row " + std::to_string(k));
            const ChartRect label = FormRect(view, IDC_TABLE_SIZE + k);
            // The three labels of a row share its line.
            for (int id : {IDC_TABLE_WRITE + k, IDC_TABLE_READ + k}) {
                EXPECT_EQ(FormRect(view, id).top, label.top);
                EXPECT_EQ(FormRect(view, id).bottom, label.bottom);
            }
            const ChartRect write = SlotBar(view, c.write, 1, k);
            const ChartRect read = SlotBar(view, c.read, 2, k);
            ASSERT_FALSE(write.IsEmpty());
            ASSERT_FALSE(read.IsEmpty());
            // Both bars inside the label's line and inside the chart, write above read.
            EXPECT_GE(write.top, label.top);
            EXPECT_LE(write.bottom, read.top);
            EXPECT_LE(read.bottom, label.bottom);
            EXPECT_GT(write.top, chart.top);
            EXPECT_LT(read.bottom, chart.bottom);
            if (k + 1 < NUM_TABLE_SLOTS) {
                EXPECT_LE(read.bottom, FormRect(view, IDC_TABLE_SIZE + k + 1).top);
            }
            // And the paint put them there.
            const int x = chart.left + (chart.right - chart.left) / 20;
            EXPECT_EQ(Pixel(image, x, (write.top + write.bottom - 1) / 2), WRITE_COLOUR);
            EXPECT_EQ(Pixel(image, x, (read.top + read.bottom - 1) / 2), READ_COLOUR);
            EXPECT_EQ(Pixel(image, x, label.top), WHITE_COLOUR);
        }
    }
}

}
