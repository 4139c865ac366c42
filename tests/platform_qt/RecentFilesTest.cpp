#include "platform/qt/RecentFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
using Paths = std::vector<std::string>;
}

TEST(RecentFiles, FourAreKeptMostRecentFirst)
{
    QTemporaryDir dir;
    CRecentFileList recent(dir.filePath("recent.ini"));
    for (const char* path : {"/r/a.bmk", "/r/b.bmk", "/r/c.bmk", "/r/d.bmk", "/r/e.bmk"})
        recent.Add(path);
    EXPECT_EQ(recent.Paths(), (Paths{"/r/e.bmk", "/r/d.bmk", "/r/c.bmk", "/r/b.bmk"}));
}

TEST(RecentFiles, ReopeningAFileMovesItFirstWithoutADuplicate)
{
    QTemporaryDir dir;
    CRecentFileList recent(dir.filePath("recent.ini"));
    for (const char* path : {"/r/a.bmk", "/r/b.bmk", "/r/c.bmk", "/r/a.bmk"})
        recent.Add(path);
    EXPECT_EQ(recent.Paths(), (Paths{"/r/a.bmk", "/r/c.bmk", "/r/b.bmk"}));
}

TEST(RecentFiles, ListSurvivesTheProgram)
{
    QTemporaryDir dir;
    {
        CRecentFileList recent(dir.filePath("recent.ini"));
        recent.Add("/r/a.bmk");
        recent.Add("/r/b b.bmk");
        recent.Remove(1);
        recent.Add("/r/c.bmk");
    }
    CRecentFileList again(dir.filePath("recent.ini"));
    EXPECT_EQ(again.Paths(), (Paths{"/r/c.bmk", "/r/b b.bmk"}));
}

TEST(RecentFiles, ChangesAreAnnounced)
{
    QTemporaryDir dir;
    CRecentFileList recent(dir.filePath("recent.ini"));
    int nChanges = 0;
    recent.SetChangedHandler([&] { ++nChanges; });
    recent.Add("/r/a.bmk");
    recent.Remove(5);
    recent.Remove(0);
    EXPECT_EQ(nChanges, 2);
}

TEST(RecentFiles, MenuTextNumbersTheEntryAndKeepsAmpersands)
{
    EXPECT_EQ(CRecentFileList::MenuText(0, "/r/run1.bmk"), QString("&1 /r/run1.bmk"));
    EXPECT_EQ(CRecentFileList::MenuText(3, "/r/R&D.bmk"), QString("&4 /r/R&&D.bmk"));
}
