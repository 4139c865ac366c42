// Export Image on the offscreen platform: a real JPEG of the window, the
// dialog's request, cancelling, failures, and a fresh picture every time.
#include "AppTestSupport.h"
#include "FrameTestSupport.h"

#include "app/ExportGeometry.h"
#include "platform/qt/Commands.h"
#include "platform/qt/FileDialogs.h"
#include "window/FormTemplate.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QScreen>

namespace {

QImage ReadJpeg(const std::string& path)
{
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    return reader.read();
}

// The mean of a 5 x 5 square around the point; JPEG blurs single pixels.
QColor MeanColour(const QImage& image, QPoint pt)
{
    int r = 0, g = 0, b = 0, n = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const QColor c = image.pixelColor(pt + QPoint(dx, dy));
            r += c.red();
            g += c.green();
            b += c.blue();
            ++n;
        }
    return QColor(r / n, g / n, b / n);
}

class ImageExportTest : public FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        // The whole frame on the screen, so nothing is cut.
        m_pFrame->move(0, 0);
        ASSERT_TRUE(ProcessEventsUntil([&] { return m_pFrame->frameGeometry().topLeft() == QPoint(0, 0); }))
            << m_pFrame->frameGeometry().x() << "," << m_pFrame->frameGeometry().y() << " " << m_pFrame->geometry().x() << "," << m_pFrame->geometry().y();
    }

    // A point inside the chart area, in the frame's coordinates, away from
    // the chart's gridlines and bars.
    QPoint ChartPoint() const
    {
        QWidget* pChart = m_pView->GetDlgItem(IDC_CHART);
        return pChart->mapTo(m_pFrame.get(), QPoint(pChart->width() * 3 / 20, pChart->height() - 8));
    }

    // The frame's client area as far as the screen shows it (from 0,0).
    QSize VisibleFrameSize() const
    {
        const QRect screen(QPoint(0, 0), m_pFrame->screen()->virtualSize());
        return screen.intersected(m_pFrame->geometry()).size();
    }
};

TEST_F(ImageExportTest, ExportWritesAJpegOfTheWindowThatShowsTheForm)
{
    CBoxRecorder boxes;
    CScriptedFileDialogs dialogs;
    const std::string path = Path("picture.jpg");
    dialogs.Answer(path);
    m_pFrame->OnCommand(ID_FILE_EXPORT_IMAGE);

    ASSERT_EQ(dialogs.Requests().size(), 1u);
    const auto& request = dialogs.Requests()[0];
    EXPECT_EQ(request.kind, CScriptedFileDialogs::Kind::Save);
    EXPECT_EQ(request.title, "Export Image");
    EXPECT_EQ(request.filter, "JPEG (*.jpg)");
    EXPECT_EQ(request.defaultExt, "jpg");
    EXPECT_EQ(request.initialName, "Untitled.jpg");
    EXPECT_TRUE(boxes.Boxes().empty());

    const QImage image = ReadJpeg(path);
    ASSERT_FALSE(image.isNull());
    // The test's screen holds the whole frame: the picture is the window's size.
    ASSERT_TRUE(QRect(QPoint(0, 0), m_pFrame->screen()->virtualSize()).contains(m_pFrame->frameGeometry()));
    EXPECT_EQ(image.size(), m_pFrame->size());
    const QColor chart = MeanColour(image, ChartPoint());
    EXPECT_GT(chart.red(), 235);
    EXPECT_GT(chart.green(), 235);
    EXPECT_GT(chart.blue(), 235);
    // The picture is the form as drawn, not an empty page.
    const QImage rendered = m_pFrame->grab().toImage();
    const QPoint start = m_pView->GetDlgItem(IDC_START)->mapTo(m_pFrame.get(), QPoint(4, 4));
    const QColor expected = MeanColour(rendered, start);
    const QColor got = MeanColour(image, start);
    EXPECT_NEAR(got.red(), expected.red(), 24);
    EXPECT_NEAR(got.green(), expected.green(), 24);
    EXPECT_NEAR(got.blue(), expected.blue(), 24);
    // The capture went with the save.
    EXPECT_EQ(m_pFrame->ImageExport().Capture(), nullptr);
}

TEST_F(ImageExportTest, ProposedNameFollowsTheDocumentTitle)
{
    const struct
    {
        const char* title;
        const char* name;
    } cases[] = {
        {"run1.bmk", "run1.jpg"},
        {"Untitled", "Untitled.jpg"},
        {"RUN1.BMK", "RUN1.BMK.jpg"},
        {"run1", "run1.jpg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        CScriptedFileDialogs dialogs;
        m_doc.SetTitle(c.title);
        m_pFrame->OnCommand(ID_FILE_EXPORT_IMAGE);
        ASSERT_EQ(dialogs.Requests().size(), 1u);
        EXPECT_EQ(dialogs.Requests()[0].initialName, c.name);
    }
}

TEST_F(ImageExportTest, CancelledDialogWritesNothingAndSaysNothing)
{
    CBoxRecorder boxes;
    CScriptedFileDialogs dialogs;   // no answer: Cancel
    m_pFrame->OnCommand(ID_FILE_EXPORT_IMAGE);
    EXPECT_EQ(dialogs.Requests().size(), 1u);
    EXPECT_TRUE(boxes.Boxes().empty());
    const QStringList written = QDir(m_dir.path()).entryList({QStringLiteral("*.jpg")}, QDir::Files);
    EXPECT_TRUE(written.isEmpty()) << written.join(' ').toStdString();
    // The capture stays until the next one.
    ASSERT_NE(m_pFrame->ImageExport().Capture(), nullptr);
    EXPECT_EQ(m_pFrame->ImageExport().Capture()->size(), VisibleFrameSize());
}

TEST_F(ImageExportTest, TwoExportsInARowEachTakeAFreshPicture)
{
    CBoxRecorder boxes;
    CScriptedFileDialogs dialogs;
    const std::string first = Path("first.jpg");
    const std::string second = Path("second.jpg");
    dialogs.Answer(first);
    m_pFrame->OnCommand(ID_FILE_EXPORT_IMAGE);

    // Cover the chart area with black: only a new picture can show it.
    QWidget* pChart = m_pView->GetDlgItem(IDC_CHART);
    QWidget cover(pChart);
    cover.setGeometry(pChart->rect());
    cover.setAutoFillBackground(true);
    QPalette pal = cover.palette();
    pal.setColor(QPalette::Window, Qt::black);
    cover.setPalette(pal);
    cover.show();
    dialogs.Answer(second);
    m_pFrame->OnCommand(ID_FILE_EXPORT_IMAGE);
    EXPECT_TRUE(boxes.Boxes().empty());

    const QImage a = ReadJpeg(first);
    const QImage b = ReadJpeg(second);
    ASSERT_FALSE(a.isNull());
    ASSERT_FALSE(b.isNull());
    EXPECT_GT(MeanColour(a, ChartPoint()).lightness(), 235);
    EXPECT_LT(MeanColour(b, ChartPoint()).lightness(), 40);
}

TEST_F(ImageExportTest, ExistingFileChosenAgainIsReplaced)
{
    CScriptedFileDialogs dialogs;
    const std::string path = Path("again.jpg");
    {
        QFile old(QString::fromStdString(path));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("not a picture");
    }
    // The dialog has asked before overwriting; the answer was yes.
    dialogs.Answer(path);
    m_pFrame->OnCommand(ID_FILE_EXPORT_IMAGE);
    EXPECT_FALSE(ReadJpeg(path).isNull());
}

TEST_F(ImageExportTest, AJpegThatCannotBeWrittenSaysSoAndReleasesTheCapture)
{
    CBoxRecorder boxes;
    CScriptedFileDialogs dialogs;
    const std::string path = Path("missing-folder/picture.jpg");
    dialogs.Answer(path);
    m_pFrame->OnCommand(ID_FILE_EXPORT_IMAGE);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Unable to save image.");
    EXPECT_EQ(boxes.Boxes()[0].type, MB_ICONERROR);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    EXPECT_EQ(m_pFrame->ImageExport().Capture(), nullptr);
}

TEST_F(ImageExportTest, WindowPartlyOffTheScreenIsCapturedFromTheOrigin)
{
    CScriptedFileDialogs dialogs;   // Cancel: only the capture matters
    m_pFrame->move(-100, -60);
    ASSERT_TRUE(ProcessEventsUntil([&] { return m_pFrame->frameGeometry().topLeft() == QPoint(-100, -60); }));
    m_pFrame->OnCommand(ID_FILE_EXPORT_IMAGE);
    const QImage* pCapture = m_pFrame->ImageExport().Capture();
    ASSERT_NE(pCapture, nullptr);
    // The frame's border and caption take the first pixels that are cut.
    const QRect client = m_pFrame->geometry();
    const QSize expected(client.right() + 1, client.bottom() + 1);
    EXPECT_EQ(pCapture->size(), expected);
}

TEST_F(ImageExportTest, WindowEntirelyOffTheScreenCannotBeCaptured)
{
    CBoxRecorder boxes;
    CScriptedFileDialogs dialogs;   // no answer: the first export is cancelled
    // A capture kept from an earlier export must not stand in for the new one.
    m_pFrame->OnCommand(ID_FILE_EXPORT_IMAGE);
    ASSERT_EQ(dialogs.Requests().size(), 1u);
    ASSERT_NE(m_pFrame->ImageExport().Capture(), nullptr);

    m_pFrame->move(-5000, -5000);
    ASSERT_TRUE(ProcessEventsUntil([&] { return m_pFrame->frameGeometry().topLeft() == QPoint(-5000, -5000); }));
    ASSERT_FALSE(QRect(QPoint(0, 0), m_pFrame->screen()->virtualSize()).intersects(m_pFrame->frameGeometry()));
    m_pFrame->OnCommand(ID_FILE_EXPORT_IMAGE);

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Unable to create image.");
    EXPECT_EQ(boxes.Boxes()[0].type, MB_ICONERROR);
    EXPECT_EQ(dialogs.Requests().size(), 1u);   // no second file dialog
    EXPECT_EQ(m_pFrame->ImageExport().Capture(), nullptr);
    const QStringList written = QDir(m_dir.path()).entryList({QStringLiteral("*.jpg")}, QDir::Files);
    EXPECT_TRUE(written.isEmpty()) << written.join(' ').toStdString();
}

TEST(ExportGeometryTest, ClampKeepsTheVisiblePartFromTheOrigin)
{
    const struct
    {
        CaptureRect in;
        CaptureRect out;
    } cases[] = {
        {{10, 20, 610, 520}, {10, 20, 610, 520}},
        {{-30, -40, 570, 460}, {0, 0, 570, 460}},
        {{1500, 900, 2100, 1400}, {1500, 900, 1920, 1080}},
        {{-10, 700, 2000, 1200}, {0, 700, 1920, 1080}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in.left);
        const CaptureRect rc = ClampCaptureRect(c.in, 1920, 1080);
        EXPECT_EQ(rc.left, c.out.left);
        EXPECT_EQ(rc.top, c.out.top);
        EXPECT_EQ(rc.right, c.out.right);
        EXPECT_EQ(rc.bottom, c.out.bottom);
    }
}

}
