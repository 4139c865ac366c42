// The main frame: its caption rule, menu 128 and the accelerators, the
// recent files, greyed menus and refused closing during a run, and the
// commands an unattended run posts.
#include "AppTestSupport.h"
#include "FrameTestSupport.h"

#include "platform/qt/Commands.h"
#include "platform/qt/FileDialogs.h"
#include "app/CommandLine.h"
#include "util/MessageRecorder.h"
#include "util/OptionTable.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {

const QString SUFFIX = QStringLiteral(" - Vessary Tarnwick 5.00.2");

TEST_F(FrameTest, CaptionIsTheTitleThenTheProgramAndVersionWhoeverSetsIt)
{
    EXPECT_EQ(m_pFrame->windowTitle(), QStringLiteral("Untitled") + SUFFIX);
    // Somebody else setting the caption still gets the rule.
    m_pFrame->setWindowTitle(QStringLiteral("Something else"));
    EXPECT_EQ(m_pFrame->windowTitle(), QStringLiteral("Untitled") + SUFFIX);
    m_doc.SetTitle("run7.bmk");
    EXPECT_EQ(m_pFrame->windowTitle(), QStringLiteral("run7.bmk") + SUFFIX);
    // New gives the untitled caption back.
    m_pFrame->OnCommand(ID_FILE_NEW);
    EXPECT_EQ(m_pFrame->windowTitle(), QStringLiteral("Untitled") + SUFFIX);
}

TEST_F(FrameTest, MenusCarryTheirItemsInOrderWithTheirKeys)
{
    const auto texts = [](QMenu* pMenu) {
        QStringList list;
        for (QAction* a : pMenu->actions())
            list << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return list;
    };
    QStringList menus;
    for (QAction* a : m_pFrame->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Help"}));
    EXPECT_EQ(texts(m_pFrame->FileMenu()),
              (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S", "Save &As...",
                           "&Export Image...\tCtrl+E", "-", "Scale &Factor...", "-", "Recent File", "-", "E&xit"}));
    EXPECT_EQ(texts(m_pFrame->HelpMenu()),
              (QStringList{"&Help Topics", "-", "&About Vessary Tarnwick..."}));

    const struct
    {
        uint32_t id;
        QKeySequence key;
    } commands[] = {
        {ID_FILE_NEW, QKeySequence(QStringLiteral("Ctrl+N"))},
        {ID_FILE_OPEN, QKeySequence(QStringLiteral("Ctrl+O"))},
        {CMD_FILE_SAVE, QKeySequence(QStringLiteral("Ctrl+S"))},
        {ID_FILE_SAVE_AS, QKeySequence()},
        {ID_FILE_EXPORT_IMAGE, QKeySequence(QStringLiteral("Ctrl+E"))},
        {ID_VIEW_SCALE_FACTOR, QKeySequence()},
        {ID_FILE_MRU_FILE1, QKeySequence()},
        {CMD_APP_EXIT, QKeySequence()},
        {ID_HELP_FINDER, QKeySequence(QStringLiteral("F1"))},
        {ID_APP_ABOUT, QKeySequence()},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.id);
        QAction* pAction = m_pFrame->CommandAction(c.id);
        ASSERT_NE(pAction, nullptr);
        EXPECT_EQ(pAction->data().toUInt(), c.id);
        EXPECT_EQ(pAction->shortcut(), c.key);
    }
    // An empty recent list shows its greyed placeholder.
    EXPECT_FALSE(m_pFrame->CommandAction(ID_FILE_MRU_FILE1)->isEnabled());
}

TEST_F(FrameTest, FrameIsFixedWithoutMaximiseToolbarOrStatusBar)
{
    EXPECT_FALSE(m_pFrame->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(m_pFrame->minimumSize(), m_pFrame->maximumSize());
    EXPECT_EQ(m_pFrame->centralWidget(), m_pView);
    EXPECT_GE(m_pFrame->height(), m_pView->height() + m_pFrame->menuBar()->height());
    EXPECT_EQ(m_pFrame->findChild<QStatusBar*>(), nullptr);
    EXPECT_EQ(m_pFrame->findChild<QToolBar*>(), nullptr);
}

TEST_F(FrameTest, MenusGreyAndClosingIsRefusedWhileARunIsUnderWay)
{
    ASSERT_TRUE(m_pView->m_pfnEnableMenus);
    m_pView->SetRunning(true);
    m_pView->m_pfnEnableMenus(false);
    EXPECT_FALSE(m_pFrame->FileMenu()->menuAction()->isEnabled());
    EXPECT_FALSE(m_pFrame->HelpMenu()->menuAction()->isEnabled());
    // The keys go with the menus.
    for (uint32_t nId : std::initializer_list<uint32_t>{ID_FILE_NEW, ID_FILE_OPEN, CMD_FILE_SAVE, ID_FILE_EXPORT_IMAGE, ID_HELP_FINDER, CMD_APP_EXIT})
        EXPECT_FALSE(m_pFrame->CommandAction(nId)->isEnabled()) << nId;

    EXPECT_FALSE(m_pFrame->close());
    EXPECT_TRUE(m_pFrame->isVisible());
    PostCommand(m_pFrame.get(), CMD_APP_EXIT);
    QCoreApplication::sendPostedEvents(m_pFrame.get());
    EXPECT_TRUE(m_pFrame->isVisible());

    m_pView->SetRunning(false);
    m_pView->m_pfnEnableMenus(true);
    EXPECT_TRUE(m_pFrame->FileMenu()->menuAction()->isEnabled());
    EXPECT_TRUE(m_pFrame->CommandAction(ID_FILE_NEW)->isEnabled());
    // The placeholder of the empty list stays grey.
    EXPECT_FALSE(m_pFrame->CommandAction(ID_FILE_MRU_FILE1)->isEnabled());
    EXPECT_TRUE(m_pFrame->close());
}

TEST_F(FrameTest, ClosingWithUnsavedChangesAsksFirst)
{
    CBoxRecorder boxes;
    m_doc.SetModifiedFlag(true);
    boxes.Answer(IDCANCEL);
    EXPECT_FALSE(m_pFrame->close());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Save changes to Untitled?");
    EXPECT_TRUE(m_pFrame->isVisible());

    boxes.Answer(IDNO);
    EXPECT_TRUE(m_pFrame->close());
    EXPECT_EQ(boxes.Boxes().size(), 2u);
}


TEST_F(FrameTest, UnattendedSaveThatFailsStillEndsTheProgramAndSaysSoInTheStatus)
{
    CBoxRecorder boxes;
    CMessageRecorder messages;
    const std::string path = Path("missing-folder/run.bmk");
    const char* const argv[] = {"tarnwick", "-f", path.c_str(), "-x"};
    ASSERT_TRUE(ReadCommandLine(4, argv));
    m_doc.SetPathName(path);
    // As the end of an unattended run leaves it: modified, Save then Exit posted.
    m_doc.SetModifiedFlag(true);
    PostCommand(m_pFrame.get(), CMD_FILE_SAVE);
    PostCommand(m_pFrame.get(), CMD_APP_EXIT);
    // Nobody can answer a save-changes question: Exit closes all the same.
    EXPECT_TRUE(ProcessEventsUntil([&] { return !m_pFrame->isVisible(); }));
    EXPECT_EQ(m_pFrame->ExitCode(), 1);
    for (const auto& box : boxes.Boxes())
        EXPECT_EQ(box.text.find("Save changes"), std::string::npos) << box.text;
    FreeOptionTables();
}


TEST_F(FrameTest, ScaleFactorGoesToTheFormWindow)
{
    m_pView->m_routed.clear();
    // The form window answers with its modal Scale Factor dialog; cancel it once it shows.
    bool bDialogShown = false;
    QTimer::singleShot(0, qApp, [&] {
        if (auto* pDlg = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            bDialogShown = pDlg->windowTitle() == QStringLiteral("Scale Factor");
            pDlg->reject();
        }
    });
    m_pFrame->CommandAction(ID_VIEW_SCALE_FACTOR)->trigger();
    EXPECT_EQ(m_pView->m_routed, std::vector<uint32_t>{ID_VIEW_SCALE_FACTOR});
    EXPECT_TRUE(bDialogShown);
    EXPECT_FALSE(m_doc.IsModified());
}

}
