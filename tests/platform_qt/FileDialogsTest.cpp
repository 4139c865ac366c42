#include "platform/qt/FileDialogs.h"

#include <gtest/gtest.h>

TEST(FileDialogs, DefaultExtensionIsAddedOnlyToANameWithoutOne)
{
    const struct { const char* path; const char* result; } cases[] = {
        {"/data/run1", "/data/run1.bmk"},
        {"/data/run1.bmk", "/data/run1.bmk"},
        {"/data/run1.xml", "/data/run1.xml"},
        {"/data.d/run1", "/data.d/run1.bmk"},
        {"/data/.hidden", "/data/.hidden.bmk"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(AddDefaultExtension(c.path, "bmk"), c.result);
    }
}

TEST(FileDialogs, ScriptedDialogsAnswerInOrderAndRecordTheRequests)
{
    {
        CScriptedFileDialogs dialogs;
        EXPECT_EQ(&FileDialogs(), &dialogs);
        dialogs.Answer("/tmp/a.bmk");
        dialogs.Answer("/tmp/saved");
        EXPECT_EQ(FileDialogs().GetOpenFileName("Open", "Benchmark Results (*.bmk)"), "/tmp/a.bmk");
        EXPECT_EQ(FileDialogs().GetSaveFileName("Save As", "Benchmark Results (*.bmk)", "bmk", "Untitled"),
                  "/tmp/saved.bmk");
        EXPECT_EQ(FileDialogs().GetExistingDirectory("", "/home"), "") << "an empty script cancels";
        ASSERT_EQ(dialogs.Requests().size(), 3u);
        EXPECT_EQ(dialogs.Requests()[1].kind, CScriptedFileDialogs::Kind::Save);
        EXPECT_EQ(dialogs.Requests()[1].filter, "Benchmark Results (*.bmk)");
        EXPECT_EQ(dialogs.Requests()[1].defaultExt, "bmk");
        EXPECT_EQ(dialogs.Requests()[1].initialName, "Untitled");
    }
    EXPECT_NE(dynamic_cast<CQtFileDialogs*>(&FileDialogs()), nullptr) << "the Qt dialogs are back";
}
