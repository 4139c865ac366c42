#include "document/BenchDoc.h"
#include "platform/MessageBox.h"
#include "platform/qt/FileDialogs.h"
#include "window/BenchView.h"
#include "window/FormTemplate.h"
#include "window/ResultsTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

struct Recorded { std::string text; unsigned type; };

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
    EXPECT_EQ(Text(IDC_TABLE_SIZE + 0), "4 KiB");
    EXPECT_EQ(Text(IDC_TABLE_WRITE + 0), "100 MB/s");
    EXPECT_EQ(Text(IDC_TABLE_READ + 0), "1.50 KB/s");
    EXPECT_EQ(Text(IDC_TABLE_SIZE + 3), "32 KiB");
    EXPECT_EQ(Text(IDC_TABLE_WRITE + 3), "");
    EXPECT_EQ(Text(IDC_TABLE_READ + 3), "2 KB/s");
    EXPECT_EQ(Text(IDC_TABLE_SIZE + 4), "");
}

TEST_F(BenchViewTest, LabelsFitTheirPlaces)
{
    m_view.OnInitialUpdate();
    for (QLabel* p : m_view.findChildren<QLabel*>()) {
        if (p->text().isEmpty())
            continue;
        SCOPED_TRACE(p->objectName().toStdString() + " " + p->text().toStdString());
        EXPECT_LE(p->sizeHint().width(), p->width());
        EXPECT_LE(p->fontMetrics().height(), p->height());
    }
    for (QCheckBox* p : m_view.findChildren<QCheckBox*>()) {
        SCOPED_TRACE(p->text().toStdString());
        EXPECT_LE(p->sizeHint().width(), p->width());
    }
    // Table rows sit in the chart area's height.
    const QRect chart = Item(IDC_CHART)->geometry();
    EXPECT_GE(Item(IDC_TABLE_SIZE)->y(), chart.top());
    EXPECT_LE(Item(IDC_TABLE_SIZE + 20)->geometry().bottom(), chart.bottom());
}

}
