// The banner link: the texts of the result codes, the second try with the
// default action, the warning when both fail, and a click on the banner.
#include "AppTestSupport.h"
#include "FrameTestSupport.h"

#include "window/FormTemplate.h"
#include "window/Hyperlink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

namespace {

TEST(HyperlinkTest, ResultCodesHaveTheirTexts)
{
    const struct
    {
        int code;
        const char* text;
    } cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transation could not\nbe completed because other DDE transations\n were being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {4, "Unknown error (4) occurred."},
        {-7, "Unknown error (-7) occurred."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(HyperlinkErrorText(c.code), c.text);
    }
}

struct Call
{
    bool bVerb;
    std::string url;
};

TEST(HyperlinkTest, SecondTryWithTheDefaultActionThenTheWarning)
{
    const struct
    {
        const char* name;
        std::vector<int> results;   // what the opener returns, call by call
        size_t calls;
        const char* warning;        // null: no box
    } cases[] = {
        {"opened at once", {42}, 1, nullptr},
        {"opened by the default action", {31, 33}, 2, nullptr},
        {"no application either way", {31, 31}, 2, "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension."},
        {"the second call's code is shown", {31, 2}, 2, "Unable to open hyperlink:\n\nThe specified file was not found."},
        {"an unlisted code", {5, 4}, 2, "Unable to open hyperlink:\n\nUnknown error (4) occurred."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CBoxRecorder boxes;
        CHyperlink link;
        std::vector<Call> calls;
        link.SetOpener([&](const char* pszVerb, const std::string& strUrl) {
            calls.push_back({pszVerb != nullptr, strUrl});
            if (pszVerb) {
                EXPECT_STREQ(pszVerb, "open");
            }
            return c.results[calls.size() - 1];
        });
        link.OnClicked();
        ASSERT_EQ(calls.size(), c.calls);
        EXPECT_TRUE(calls[0].bVerb);
        if (calls.size() > 1) {
            EXPECT_FALSE(calls[1].bVerb);
        }
        for (const Call& call : calls)
            EXPECT_EQ(call.url, link.Url());
        if (c.warning) {
            ASSERT_EQ(boxes.Boxes().size(), 1u);
            EXPECT_EQ(boxes.Boxes()[0].text, c.warning);
            EXPECT_EQ(boxes.Boxes()[0].type, MB_ICONWARNING);
        } else {
            EXPECT_TRUE(boxes.Boxes().empty());
        }
    }
}

// The default opener over a stand-in xdg-open first on PATH: its exit status
// becomes the result code, and a launcher still busy counts as opened.
TEST(HyperlinkTest, OpenRunsXdgOpenAndHearsItsExitStatus)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit() + ":" + oldPath);
    const QString script = dir.filePath(QStringLiteral("xdg-open"));
    const QString argsFile = dir.filePath(QStringLiteral("args"));
    const struct
    {
        const char* body;
        int result;
    } cases[] = {
        {"exit 0", 33},
        {"exit 2", 2},
        {"exit 3", 31},
        {"exit 4", 31},
        {"exit 1", 1},
        {"sleep 5", 33},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        QFile::remove(argsFile);
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("#!/bin/sh\nprintf '%s' \"$*\" > '" + argsFile.toLocal8Bit() + "'\n" + c.body + "\n");
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        EXPECT_EQ(OpenLinkWithDesktop("open", "www.example.com/tarnwick"), c.result);
        QFile args(argsFile);
        ASSERT_TRUE(args.open(QIODevice::ReadOnly));
        EXPECT_EQ(args.readAll(), QByteArray("http://www.example.com/tarnwick"));
    }
    // No xdg-open at all: the file is not found.
    qputenv("PATH", dir.filePath(QStringLiteral("empty")).toLocal8Bit());
    EXPECT_EQ(OpenLinkWithDesktop("open", "www.example.com/tarnwick"), 2);
    qputenv("PATH", oldPath);
}

TEST_F(FrameTest, ClickOnTheBannerOpensTheMakersSite)
{
    auto* pBanner = qobject_cast<CHyperlink*>(m_pView->GetDlgItem(IDC_BANNER));
    ASSERT_NE(pBanner, nullptr);
    std::vector<std::string> opened;
    pBanner->SetOpener([&](const char*, const std::string& strUrl) {
        opened.push_back(strUrl);
        return 33;
    });
    EXPECT_FALSE(pBanner->Url().empty());
    QTest::mouseClick(pBanner, Qt::LeftButton, Qt::NoModifier, pBanner->rect().center());
    EXPECT_EQ(opened, std::vector<std::string>{pBanner->Url()});
    // A click elsewhere on the form opens nothing.
    QTest::mouseClick(m_pView, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    EXPECT_EQ(opened.size(), 1u);
}

}
