// The About box's texts and the version-information lookup behind its
// legal notice; the banner link on the form.
#include "app/AboutDlg.h"
#include "app/VersionInfo.h"

#include "FrameTestSupport.h"
#include "window/FormTemplate.h"
#include "window/Hyperlink.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(AboutBoxTest, ShowsNameVersionAndLegalNotice)
{
    CAboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("About Vessary Tarnwick"));
    auto* pVersion = dlg.findChild<QLabel*>(QStringLiteral("1075"));
    auto* pNotice = dlg.findChild<QLabel*>(QStringLiteral("1076"));
    auto* pOk = dlg.findChild<QPushButton*>(QStringLiteral("1"));
    ASSERT_TRUE(pVersion && pNotice && pOk);
    EXPECT_EQ(pVersion->text(), QStringLiteral("5.00.2"));
    EXPECT_EQ(pNotice->text(), QString::fromStdString(GetLegalNotice()));
    EXPECT_NE(pNotice->text(), QStringLiteral("UNKNOWN"));
    EXPECT_EQ(pOk->text(), QStringLiteral("OK"));
    QStringList texts;
    for (QLabel* p : dlg.findChildren<QLabel*>())
        texts << p->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Tarnwick")));
    // The picture is our bitmap, shown whole.
    auto* pPicture = dlg.findChild<QLabel*>(QStringLiteral("156"));
    ASSERT_NE(pPicture, nullptr);
    EXPECT_FALSE(pPicture->pixmap().isNull());
    EXPECT_EQ(pPicture->size(), pPicture->pixmap().size());
    // Every text is readable whole inside the box.
    for (QWidget* p : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(dlg.rect().contains(p->geometry())) << p->objectName().toStdString();
        if (auto* pLabel = qobject_cast<QLabel*>(p); pLabel && !pLabel->text().isEmpty()) {
            EXPECT_GE(pLabel->width(), pLabel->sizeHint().width()) << pLabel->text().toStdString();
        }
    }
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());
}

TEST(VersionInfoTest, LegalNoticeComesFromTheFirstTranslation)
{
    const VersionString english[] = {{"LegalCopyright", "English notice"}, {"ProductName", "Tarnwick"}};
    const VersionString german[] = {{"LegalCopyright", "Deutscher Hinweis"}};
    const VersionString noNotice[] = {{"ProductName", "Tarnwick"}};
    const VersionStringTable tables[] = {
        {"040904b0", english, 2},
        {"040704b0", german, 1},
        {"041104e4", noNotice, 1},
    };
    const VersionTranslation englishFirst[] = {{0x0409, 0x04b0}, {0x0407, 0x04b0}};
    const VersionTranslation germanFirst[] = {{0x0407, 0x04b0}, {0x0409, 0x04b0}};
    const VersionTranslation japanese[] = {{0x0411, 0x04e4}};
    const VersionTranslation absent[] = {{0x040c, 0x04b0}};

    const struct
    {
        const char* name;
        VersionInfoRecord record;
        const char* notice;
    } cases[] = {
        {"no translation table", {nullptr, 0, tables, 3}, "UNKNOWN"},
        {"an empty translation table", {englishFirst, 0, tables, 3}, "UNKNOWN"},
        {"one language", {englishFirst, 1, tables, 3}, "English notice"},
        {"several, English first", {englishFirst, 2, tables, 3}, "English notice"},
        {"several, German first", {germanFirst, 2, tables, 3}, "Deutscher Hinweis"},
        {"a table without the notice", {japanese, 1, tables, 3}, "UNKNOWN"},
        {"no table for the language", {absent, 1, tables, 3}, "UNKNOWN"},
        {"no string tables", {englishFirst, 1, nullptr, 0}, "UNKNOWN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetLegalNotice(&c.record), c.notice);
    }
    EXPECT_EQ(GetLegalNotice(nullptr), "UNKNOWN");
    EXPECT_STREQ(GetVersionText(), "5.00.2");
}

TEST_F(FrameTest, BannerIsTheLinkWithOurPicture)
{
    auto* pBanner = qobject_cast<CHyperlink*>(m_pView->GetDlgItem(IDC_BANNER));
    ASSERT_NE(pBanner, nullptr);
    EXPECT_FALSE(pBanner->pixmap().isNull());
    EXPECT_EQ(pBanner->pixmap().size(), QSize(512, 47));
    EXPECT_EQ(pBanner->cursor().shape(), Qt::PointingHandCursor);
    // Only the banner has the hand.
    EXPECT_NE(m_pView->cursor().shape(), Qt::PointingHandCursor);
}

}
