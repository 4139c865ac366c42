// The help page: found beside the program or written from the copy inside
// it, and covering what a user needs.
#include "app/HelpPage.h"
#include "app/Resources.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

TEST(HelpPageTest, APageIsAlwaysAtHandAndSaysHowToUseTheProgram)
{
    // The test program has no page beside it: the compiled-in copy is written out.
    ASSERT_TRUE(InstalledHelpPagePath().empty());
    const std::string path = HelpPagePath();
    ASSERT_FALSE(path.empty());
    QFile page(QString::fromStdString(path));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray text = page.readAll();
    QFile compiled(QString::fromLatin1(RESOURCE_HELP_PAGE));
    ASSERT_TRUE(compiled.open(QIODevice::ReadOnly));
    EXPECT_EQ(text, compiled.readAll());
    for (const char* pszTopic : {"Choosing a target", "The settings", "Reading the results",
                                 "Verifying data and the run log", "Command line and unattended runs",
                                 "-f FILE", "-x", "-g LOG", "-k", "DataError.log", "Export Image"}) {
        SCOPED_TRACE(pszTopic);
        EXPECT_TRUE(text.contains(pszTopic));
    }
}

TEST(HelpPageTest, DesktopEntryStartsTheProgramWithItsIcon)
{
    QFile entry(QStringLiteral(TARNWICK_SOURCE_DIR "/resources/tarnwick.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n');
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("[Desktop Entry]"));
    for (const char* pszLine : {"Type=Application", "Name=Vessary Tarnwick", "Exec=tarnwick", "Icon=tarnwick"}) {
        SCOPED_TRACE(pszLine);
        EXPECT_TRUE(lines.contains(QString::fromLatin1(pszLine)));
    }
    // The icon it names is the one installed under that name.
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral(TARNWICK_SOURCE_DIR "/resources/tarnwick.png")));
}

}
