#pragma once

#include "app/MainFrame.h"
#include "document/BenchDoc.h"
#include "platform/qt/RecentFiles.h"
#include "window/BenchView.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The form window as the frame shows it, with the run flag reachable so a
// test can stand in for a run under way.
class CTestBenchView final : public CBenchView
{
public:
    void SetRunning(bool bRunning) { m_bRunUnderWay = bRunning; }
    // The commands the frame routed to the form window, in order.
    std::vector<uint32_t> m_routed;

protected:
    void OnCommand(uint32_t nId) override
    {
        m_routed.push_back(nId);
        CBenchView::OnCommand(nId);
    }
};

// A frame over a new document, its recent files in a private settings file,
// its target the temporary folder.
class FrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_pRecent = std::make_unique<CRecentFileList>(m_dir.filePath(QStringLiteral("recent.ini")));
        m_pView = new CTestBenchView;
        m_pView->SetMountSource([] { return std::vector<MountEntry>{}; });
        m_pFrame = std::make_unique<CMainFrame>(m_doc, *m_pRecent, m_pView);
        ASSERT_TRUE(m_pFrame->StartDocument(nullptr));
        m_pFrame->show();
    }

    void TearDown() override
    {
        m_doc.SetModifiedFlag(false);
        m_pFrame.reset();
    }

    std::string Path(const char* pszName) const { return m_dir.filePath(QString::fromLatin1(pszName)).toStdString(); }

    QTemporaryDir m_dir;
    CBenchDoc m_doc;
    std::unique_ptr<CRecentFileList> m_pRecent;
    CTestBenchView* m_pView = nullptr;
    std::unique_ptr<CMainFrame> m_pFrame;
};
