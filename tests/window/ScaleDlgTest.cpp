#include "document/BenchDoc.h"
#include "engine/BenchMessages.h"
#include "platform/MessageBox.h"
#include "window/BenchView.h"
#include "window/FormTemplate.h"
#include "window/ScaleDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

namespace {

// Answers the next modal dialog: picks list position nPick (or leaves the
// selection) and presses OK or Cancel; records what the list showed.
struct DialogScript
{
    int nPick = -1;
    bool bOk = true;
    std::vector<std::string> shown;
    int nSelected = -2;

    void Arm()
    {
        QTimer::singleShot(0, qApp, [this] {
            auto* pDlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(pDlg, nullptr);
            auto* pList = pDlg->findChild<QComboBox*>("1066");
            ASSERT_NE(pList, nullptr);
            for (int i = 0; i < pList->count(); ++i)
                shown.push_back(pList->itemText(i).toStdString());
            nSelected = pList->currentIndex();
            if (nPick >= 0)
                pList->setCurrentIndex(nPick);
            pDlg->findChild<QPushButton*>(bOk ? "1" : "2")->click();
        });
    }
};

class ScaleFactor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = SetMessageBoxHandler([this](const char* psz, unsigned nType) {
            m_boxes.push_back(psz);
            m_types.push_back(nType);
            return IDOK;
        });
        m_doc.OnNewDocument();
        m_view.SetDocument(&m_doc);
        m_view.SetMountSource([] { return std::vector<MountEntry>{}; });
        m_view.OnInitialUpdate();
        m_doc.SetModifiedFlag(false);
    }
    void TearDown() override { SetMessageBoxHandler(m_previous); }

    void Choose(int nPick, bool bOk = true)
    {
        m_script = DialogScript{};
        m_script.nPick = nPick;
        m_script.bOk = bOk;
        m_script.Arm();
        // As the frame routes the menu command to the form window.
        m_view.OnScaleFactor();
    }
    // The units list as the user changes it.
    void ChooseUnits(int nUnits)
    {
        auto* pUnits = m_view.findChild<QComboBox*>(QString::number(IDC_UNITS));
        pUnits->setCurrentIndex(nUnits);
        emit pUnits->activated(nUnits);
    }
    uint64_t FullScale() const { return m_view.Chart().FullScale(); }
    int ScaleChoice() const { return m_view.Chart().ScaleChoice(); }
    std::string Caption() const { return m_view.GetDlgItemText(1089); }

    CBenchDoc m_doc;
    CBenchView m_view;
    DialogScript m_script;
    std::vector<std::string> m_boxes;
    std::vector<unsigned> m_types;
    MessageBoxHandler m_previous;
};

TEST_F(ScaleFactor, AfterNewEveryStepIsAccepted)
{
    for (int c = 1; c <= 12; ++c) {
        SCOPED_TRACE(c);
        Choose(c);
        EXPECT_EQ(ScaleChoice(), c - 1);
        EXPECT_EQ(FullScale(), FullScaleStep(0, c - 1));
    }
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(ScaleFactor, TooSmallAStepIsRefusedAndAutoFitsTheMaximum)
{
    m_doc.maxbps = 650000000;
    m_view.FitScaleToValue(m_doc.maxbps);
    Choose(4);   // 600 MB/s
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], "You have selected too small a scale for the displayed data.");
    EXPECT_EQ(m_types[0], unsigned(MB_OK));
    EXPECT_EQ(FullScale(), 800000000u);
    EXPECT_EQ(ScaleChoice(), -1);

    Choose(5);   // 800 MB/s
    EXPECT_EQ(ScaleChoice(), 4);
    EXPECT_EQ(FullScale(), 800000000u);

    Choose(-1);  // the dialog shows the step picked; the texts are the MB/s ladder
    EXPECT_EQ(m_script.nSelected, 5);
    ASSERT_EQ(m_script.shown.size(), 13u);
    EXPECT_EQ(m_script.shown[0], "Auto");
    EXPECT_EQ(m_script.shown[1], "100 MB/s");
    EXPECT_EQ(m_script.shown[6], "1 GB/s");
    EXPECT_EQ(m_script.shown[12], "20 GB/s");

    Choose(0);   // Auto
    EXPECT_EQ(ScaleChoice(), -1);
    EXPECT_EQ(FullScale(), 800000000u);
}

TEST_F(ScaleFactor, MaximumEqualToAStepAcceptsItWhileAutoTakesTheNext)
{
    m_doc.maxbps = 600000000;
    Choose(4);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(FullScale(), 600000000u);
    Choose(0);
    EXPECT_EQ(FullScale(), 800000000u);
}

TEST_F(ScaleFactor, CancelChangesNothingAndOkAloneMarksModified)
{
    Choose(3, false);
    EXPECT_EQ(ScaleChoice(), -1);
    EXPECT_FALSE(m_doc.IsModified());
    Choose(-1);
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(m_script.nSelected, 0);
}

TEST_F(ScaleFactor, IoUnitShowsIoTextsAndComparesTheIoMaximum)
{
    ChooseUnits(2);
    m_doc.maxbps = 650000000;
    m_doc.maxiops = 700;
    Choose(3);   // 500 IO/s: below 700
    ASSERT_EQ(m_boxes.size(), 1u);
    const std::vector<std::string> expected = {"Auto", "50 IO/s", "100 IO/s", "500 IO/s", "1K IO/s", "5K IO/s",
                                               "10K IO/s", "50K IO/s", "100K IO/s", "500K IO/s", "1M IO/s",
                                               "5M IO/s", "10M IO/s"};
    EXPECT_EQ(m_script.shown, expected);
    Choose(4);   // 1K IO/s
    EXPECT_EQ(FullScale(), 1000u);
    EXPECT_EQ(Caption(), "Transfer Rate - IO/s (Thousands)");
    EXPECT_EQ(m_view.GetDlgItemText(1063), "1");
}

TEST_F(ScaleFactor, PickedStepLastsUntilARunValueReachesTheMaximum)
{
    Choose(6);   // 1 GB/s
    ASSERT_EQ(ScaleChoice(), 5);
    // What the worker posts: the value and the maximum it was compared with.
    struct Case { uint64_t nValue; uint64_t nDocMax; uint64_t nFullScale; int nChoice; };
    const Case cases[] = {
        {300000000, 500000000, 1000000000, 5},   // below the maximum: the pick stays
        {499999999, 500000000, 1000000000, 5},
        {500000000, 500000000, 600000000, -1},   // reaches it: automatic again
        {100000000, 500000000, 600000000, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nValue);
        BenchMessage msg;
        msg.kind = WM_BENCH_FITSCALE;
        msg.value = c.nValue;
        msg.docMax = c.nDocMax;
        m_view.OnBenchMessage(msg);
        EXPECT_EQ(FullScale(), c.nFullScale);
        EXPECT_EQ(ScaleChoice(), c.nChoice);
    }
}

TEST_F(ScaleFactor, NewOrOpenShowsAutoAgain)
{
    Choose(3);
    Choose(-1);
    EXPECT_EQ(m_script.nSelected, 3);
    m_doc.OnNewDocument();
    m_view.OnInitialUpdate();
    EXPECT_EQ(ScaleChoice(), -1);
    EXPECT_EQ(FullScale(), 100000000u);
    Choose(-1);
    EXPECT_EQ(m_script.nSelected, 0);
}

}
