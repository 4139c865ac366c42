// Accelerators 128 pressed on the keyboard reach their commands wherever the
// focus is in the form, and not while the menus are greyed by a run.
#include "AppTestSupport.h"
#include "FrameTestSupport.h"

#include "platform/qt/FileDialogs.h"
#include "window/FormTemplate.h"

#include <QApplication>
#include <QTest>

namespace {

class AcceleratorTest : public FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        m_pFrame->activateWindow();
        QApplication::setActiveWindow(m_pFrame.get());
        ASSERT_TRUE(ProcessEventsUntil([&] { return QApplication::activeWindow() == m_pFrame.get(); }));
        // The focus somewhere in the form, as a user leaves it.
        m_pView->GetDlgItem(IDC_DESCRIPTION)->setFocus();
    }

    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : m_pFrame.get(), key, modifiers);
    }
};

TEST_F(AcceleratorTest, KeysReachTheirCommands)
{
    CBoxRecorder boxes;
    const struct
    {
        Qt::Key key;
        const char* dialogTitle;   // the dialog the command asks for
    } cases[] = {
        {Qt::Key_O, "Open"},
        {Qt::Key_S, "Save As"},    // a new document has no file yet
        {Qt::Key_E, "Export Image"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialogTitle);
        CScriptedFileDialogs dialogs;   // every dialog answers Cancel
        Press(c.key);
        ASSERT_EQ(dialogs.Requests().size(), 1u);
        EXPECT_EQ(dialogs.Requests()[0].title, c.dialogTitle);
    }
    m_doc.SetTitle("old.bmk");
    Press(Qt::Key_N);
    EXPECT_EQ(m_doc.GetTitle(), "Untitled");
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(AcceleratorTest, GreyedMenusTakeTheirKeysWithThem)
{
    m_pView->m_pfnEnableMenus(false);
    CScriptedFileDialogs dialogs;
    for (Qt::Key key : {Qt::Key_O, Qt::Key_S, Qt::Key_E})
        Press(key);
    m_doc.SetTitle("kept.bmk");
    Press(Qt::Key_N);
    EXPECT_TRUE(dialogs.Requests().empty());
    EXPECT_EQ(m_doc.GetTitle(), "kept.bmk");
    m_pView->m_pfnEnableMenus(true);
}

}
