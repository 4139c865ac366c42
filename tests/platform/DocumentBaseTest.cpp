#include "platform/DocumentBase.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(DocumentBase, PathNameTitlesTheDocumentWithTheFileName)
{
    CDocumentBase doc;
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    doc.SetPathName("/data/runs/run1.bmk");
    EXPECT_EQ(doc.GetTitle(), "run1.bmk");
    doc.SetModifiedFlag();
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    EXPECT_TRUE(doc.GetPathName().empty());
    EXPECT_FALSE(doc.IsModified());
}

TEST(MessageBox, InstalledHandlerReceivesTextAndStyle)
{
    std::vector<std::pair<std::string, unsigned>> seen;
    auto old = SetMessageBoxHandler([&](const char* text, unsigned type) {
        seen.emplace_back(text, type);
        return IDNO;
    });
    EXPECT_EQ(AfxMessageBox("Failed to save results.", MB_ICONERROR), IDNO);
    SetMessageBoxHandler(std::move(old));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].first, "Failed to save results.");
    EXPECT_EQ(seen[0].second, unsigned{MB_ICONERROR});
}

TEST(MessageBox, WithoutHandlerTheDefaultAnswerIsGiven)
{
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNOCANCEL | MB_ICONWARNING), IDYES);
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox("No display here.", MB_ICONINFORMATION), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "No display here.\n");
}
