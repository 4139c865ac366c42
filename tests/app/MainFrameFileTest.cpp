// The main frame over real result files: the caption after Open, the
// recent files, the Save and Exit an unattended run posts, and the form's
// texts going into the saved document.
#include "AppTestSupport.h"
#include "FrameTestSupport.h"

#include "platform/qt/Commands.h"
#include "platform/qt/FileDialogs.h"

#include <QAction>
#include <QFile>
#include <QMenu>

namespace {

const QString SUFFIX = QStringLiteral(" - Vessary Tarnwick 5.00.2");

TEST_F(FrameTest, CaptionAfterOpenIsTheFileName)
{
    CBoxRecorder boxes;
    CScriptedFileDialogs dialogs;
    const std::string path = Path("run1.bmk");
    dialogs.Answer(path);
    m_pFrame->OnCommand(ID_FILE_SAVE_AS);
    ASSERT_TRUE(QFile::exists(QString::fromStdString(path))) << "the document could not be saved";
    m_pFrame->OnCommand(ID_FILE_NEW);
    ASSERT_EQ(m_pFrame->windowTitle(), QStringLiteral("Untitled") + SUFFIX);

    dialogs.Answer(path);
    m_pFrame->OnCommand(ID_FILE_OPEN);
    EXPECT_EQ(m_pFrame->windowTitle(), QStringLiteral("run1.bmk") + SUFFIX);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(FrameTest, RecentFilesTakeThePlaceholdersPlaceAndOpen)
{
    CBoxRecorder boxes;
    CScriptedFileDialogs dialogs;
    for (const char* pszName : {"a.bmk", "b.bmk"}) {
        dialogs.Answer(Path(pszName));
        m_pFrame->OnCommand(ID_FILE_SAVE_AS);
    }
    ASSERT_EQ(m_pRecent->Paths().size(), 2u);
    QAction* pFirst = m_pFrame->CommandAction(ID_FILE_MRU_FILE1);
    QAction* pSecond = m_pFrame->CommandAction(ID_FILE_MRU_FILE1 + 1);
    ASSERT_TRUE(pFirst && pSecond);
    EXPECT_EQ(pFirst->text(), CRecentFileList::MenuText(0, Path("b.bmk")));
    EXPECT_EQ(pSecond->text(), CRecentFileList::MenuText(1, Path("a.bmk")));
    EXPECT_TRUE(pFirst->isEnabled());
    EXPECT_EQ(m_pFrame->CommandAction(ID_FILE_MRU_FILE1 + 2), nullptr);
    for (QAction* a : m_pFrame->FileMenu()->actions())
        EXPECT_NE(a->text(), QStringLiteral("Recent File"));

    pSecond->trigger();
    EXPECT_EQ(m_doc.GetPathName(), Path("a.bmk"));
    EXPECT_EQ(m_pFrame->windowTitle(), QStringLiteral("a.bmk") + SUFFIX);
}

TEST_F(FrameTest, PostedSaveThenExitSaveOverTheFileAndClose)
{
    CBoxRecorder boxes;
    CScriptedFileDialogs dialogs;
    const std::string path = Path("posted.bmk");
    dialogs.Answer(path);
    m_pFrame->OnCommand(ID_FILE_SAVE_AS);
    ASSERT_TRUE(QFile::exists(QString::fromStdString(path)));
    QFile::remove(QString::fromStdString(path));

    // As the end of an unattended run leaves it: modified, Save then Exit posted.
    m_doc.SetModifiedFlag(true);
    PostCommand(m_pFrame.get(), CMD_FILE_SAVE);
    PostCommand(m_pFrame.get(), CMD_APP_EXIT);
    EXPECT_TRUE(ProcessEventsUntil([&] { return !m_pFrame->isVisible(); }));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(m_pFrame->ExitCode(), 0);
}

TEST_F(FrameTest, SaveCopiesTheDescriptionBoxIntoTheDocument)
{
    CBoxRecorder boxes;
    CScriptedFileDialogs dialogs;
    m_pView->SetDlgItemText(1017, "disk under test");
    m_pView->SetDlgItemText(1023, "12");
    dialogs.Answer(Path("texts.bmk"));
    m_pFrame->OnCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(m_doc.description, "disk under test");
    EXPECT_EQ(m_doc.ioruntime, "12");
}

}
