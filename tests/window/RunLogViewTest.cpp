#include "RunControlSupport.h"

#include "engine/EngineGlobals.h"
#include "engine/TestFile.h"
#include "window/ErrorDlg.h"

#include <QAbstractButton>
#include <QListWidget>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

using namespace runtest;

namespace {

// What a test does with the "Data Integrity Errors" dialog once it is up:
// reads its lines and presses a button. Runs from a timer inside the
// dialog's own event loop.
struct DialogScript
{
    QStringList lines;
    QString caption;
    bool bSeen = false;

    void Arm(const char* pszButton)
    {
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout, [this, pszButton] {
            auto* pDlg = qobject_cast<CErrorDlg*>(QApplication::activeModalWidget());
            if (!pDlg || bSeen)
                return;
            bSeen = true;
            caption = pDlg->windowTitle();
            auto* pList = pDlg->findChild<QListWidget*>(QStringLiteral("1067"));
            for (int i = 0; pList && i < pList->count(); ++i)
                lines << pList->item(i)->text();
            pDlg->findChild<QAbstractButton*>(QString::fromLatin1(pszButton))->click();
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
};

std::string Hex8(uint32_t n)
{
    char sz[16];
    std::snprintf(sz, sizeof sz, "%.8X", n);
    return sz;
}

}

// A verifying run that reads back damaged data: the dialog lists each record
// as "size<TAB>index<TAB>expected<TAB>actual", "&Log to File" closes it and
// the error list is appended to the untitled document's log in the test
// directory, after which a box names the log.
TEST_F(RunControlTest, DataErrorShowsTheDialogAndLogToFileWritesTheLog)
{
    m_scope.options.bKeepTestFile = 1;   // so the damage can reach the file by name
    benchtest::SmallTest(m_doc, 3, 3);
    m_doc.SetVerifyData(true);
    m_doc.pattern = 12;
    m_view.OnInitialUpdate();

    // Once the write phase has issued its last request (two clock readings
    // on the worker thread see the same count) and before the read phase
    // begins, the first word on disk changes.
    uint32_t nWritten = 0;
    uint32_t nLastCount = 0;
    bool bDamaged = false;
    CTestFile& file = m_view.TestFile();
    m_clock.SetOnRead([&](const ClockReading&) {
        const uint32_t nCount = file.m_nWriteCount;
        const bool bWritesDone = nCount != 0 && nCount == nLastCount && file.m_nReadCount == 0;
        nLastCount = nCount;
        if (bDamaged || !bWritesDone)
            return;
        bDamaged = true;
        nWritten = *reinterpret_cast<const uint32_t*>(file.WriteBuffer());
        const uint32_t nWord = ~nWritten;
        const int fd = open(g_szTestFile.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd >= 0) {
            EXPECT_EQ(pwrite(fd, &nWord, sizeof nWord, 0), static_cast<ssize_t>(sizeof nWord));
            close(fd);
        }
    });

    DialogScript script;
    script.Arm("1068");
    ClickStart();
    ASSERT_TRUE(WaitIdle());
    const std::filesystem::path log = m_scope.Dir() / "DataError.log";
    ASSERT_TRUE(PumpUntil([&] { return m_boxes.size() == 1; }));

    ASSERT_TRUE(bDamaged);
    ASSERT_TRUE(script.bSeen);
    EXPECT_EQ(script.caption, "Data Integrity Errors");
    ASSERT_GT(g_nDataErrors, 0);
    ASSERT_EQ(script.lines.size(), g_nDataErrors);
    const std::string expectedLine = "4 KB\t0\t" + Hex8(nWritten) + "\t" + Hex8(~nWritten);
    for (const QString& line : script.lines)
        EXPECT_EQ(line.toStdString(), expectedLine);

    // Not continuous: no box before the dialog; after the log, the one naming it.
    EXPECT_EQ(m_boxes[0].text, "Errors have been logged to\r\n" + log.string());
    EXPECT_EQ(m_boxes[0].type, MB_ICONINFORMATION);

    const std::string text = ReadFile(log);
    const std::string heading = "Running Untitled....\r\nTarnwick logged " + std::to_string(g_nDataErrors) +
                                " errors for drive (" + m_doc.drive + ")\r\n\r\n" +
                                "Transfer Size:\tBuffer Index:\tExpected Value:\tActual Value:\r\n";
    EXPECT_NE(text.find(heading), std::string::npos) << text;
    char szRow[128];
    std::snprintf(szRow, sizeof szRow, "%-14s\t%-13d\t%-15.8X\t%-13.8X\r\n", "4 KB", 0, nWritten, ~nWritten);
    size_t nRows = 0;
    for (size_t pos = text.find(szRow); pos != std::string::npos; pos = text.find(szRow, pos + 1))
        ++nRows;
    EXPECT_EQ(nRows, static_cast<size_t>(g_nDataErrors));
    std::filesystem::remove(TestFilePath());
}

// The dialog on its own: caption, headings and one line per record, "&OK"
// closes it without a log request.
TEST_F(RunControlTest, ErrorDialogListsTheRecordsExactly)
{
    m_view.OnInitialUpdate();
    g_nDataErrors = 2;
    g_DataErrors[0] = {4096, 3, 0xAA55AA55, 0xAA55AA54};
    g_DataErrors[1] = {512, 127, 0x00000001, 0xFFFFFFFF};
    DialogScript script;
    script.Arm("1");
    EXPECT_EQ(m_view.OnBenchShowErrors(), 1);
    ASSERT_TRUE(script.bSeen);
    EXPECT_EQ(script.lines, (QStringList{"4 KB\t3\tAA55AA55\tAA55AA54", "512  B\t127\t00000001\tFFFFFFFF"}));
    QCoreApplication::processEvents();
    EXPECT_FALSE(std::filesystem::exists(m_scope.Dir() / "DataError.log"));
    EXPECT_TRUE(m_boxes.empty());
}

// Where the log goes: an untitled document logs in its test directory
// (with or without -g), a saved one to -g when given, else beside itself.
TEST_F(RunControlTest, LogFileNameFollowsTheDocument)
{
    const std::filesystem::path dir = m_scope.Dir();
    const std::string other = (dir / "other.txt").string();
    struct Case
    {
        const char* name;
        const char* path;   // null: untitled
        const char* logOption;
        std::filesystem::path expected;
    } cases[] = {
        {"untitled", nullptr, nullptr, dir / "DataError.log"},
        {"untitled with -g", nullptr, other.c_str(), dir / "DataError.log"},
        {"saved with -g", "run1.bmk", other.c_str(), dir / "other.txt"},
        {"saved", "run1.bmk", nullptr, dir / "run1.log"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(c.expected);
        m_doc.OnNewDocument();
        m_doc.drive = dir.string();
        if (c.path)
            m_doc.SetPathName((dir / c.path).string());
        m_scope.options.pszLogFile = c.logOption;
        m_boxes.clear();
        m_view.WriteLog("first");
        m_view.WriteLog("second");
        const std::string text = ReadFile(c.expected);
        const std::string title = c.path ? c.path : "Untitled";
        const size_t nFirst = text.find("Running " + title + "....\r\nfirst\r\n");
        const size_t nSecond = text.find("Running " + title + "....\r\nsecond\r\n");
        EXPECT_NE(nFirst, std::string::npos) << text;
        EXPECT_NE(nSecond, std::string::npos) << text;
        EXPECT_LT(nFirst, nSecond);
        // Each entry opens with two empty lines and its time line.
        EXPECT_EQ(text.rfind("\r\n\r\n", nFirst), 0u);
        EXPECT_GT(text.rfind("\r\n\r\n", nSecond), nFirst);
        ASSERT_EQ(m_boxes.size(), 2u);
        EXPECT_EQ(m_boxes[0].text, "Errors have been logged to\r\n" + c.expected.string());
    }
}

// A log that cannot be opened says so, and the run still completes and the
// unattended run still saves.
TEST_F(RunControlTest, AnUnwritableLogDoesNotStopTheRun)
{
    m_scope.options.bUnattended = 1;
    m_scope.options.pszLogFile = "/nonexistent-dir/run.log";
    m_doc.SetPathName((m_scope.Dir() / "t.bmk").string());
    testing::internal::CaptureStdout();
    m_view.OnInitialUpdate();
    ASSERT_TRUE(PumpUntil([this] { return m_frame.commands.size() == 2; }));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(m_frame.commands, (std::vector<uint32_t>{CMD_FILE_SAVE, CMD_APP_EXIT}));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "Could not open log file.");
    EXPECT_EQ(m_boxes[0].type, MB_ICONERROR);
    EXPECT_EQ(m_doc.rates[3].flags, 15);
}

// The unattended road through the form: it starts by itself, logs its
// closing line, goes idle (the test file gone), prints the results table and
// posts Save then Exit to the frame; a missing target logs " Test aborted."
// and posts only Exit; a test file that cannot be created logs why and posts
// only Exit.
TEST_F(RunControlTest, UnattendedRunsEndWithSaveAndExitOrOnlyExit)
{
    m_scope.options.bUnattended = 1;
    struct Case
    {
        const char* name;
        bool bMissingTarget;
        bool bUnwritableTarget;
        std::vector<uint32_t> commands;
        const char* logLine;
        bool bTable;
    } cases[] = {
        {"completed", false, false, {CMD_FILE_SAVE, CMD_APP_EXIT}, "Testing completed sucessfully.", true},
        {"missing target", true, false, {CMD_APP_EXIT}, " Test aborted.", false},
        {"file cannot be created", false, true, {CMD_APP_EXIT}, "Cannot open file benchtst.$$$.", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFrameRecorder frame;
        CBenchView view;
        view.SetDocument(&m_doc);
        view.SetMountSource([] { return std::vector<MountEntry>{}; });
        view.SetRunClock(&m_clock);
        view.SetMainFrame(&frame);
        const std::filesystem::path dir = m_scope.Dir() / c.name;
        std::filesystem::create_directories(dir);
        m_doc.drive = (c.bMissingTarget ? dir / "gone" : dir).string();
        m_doc.SetPathName((dir / "t.bmk").string());
        if (c.bUnwritableTarget)
            std::filesystem::create_directory(dir / "benchtst.$$$");   // the name is taken by a directory
        m_doc.ResetRates();
        m_boxes.clear();

        testing::internal::CaptureStdout();
        view.OnInitialUpdate();
        const bool bEnded = PumpUntil([&] { return frame.commands.size() == c.commands.size() && !view.IsRunning(); });
        PumpUntil([] { return false; }, 20);   // nothing follows
        const std::string out = testing::internal::GetCapturedStdout();
        ASSERT_TRUE(bEnded);
        EXPECT_EQ(frame.commands, c.commands);
        EXPECT_TRUE(m_boxes.empty());
        const std::string log = ReadFile(dir / "t.log");
        EXPECT_NE(log.find(c.logLine), std::string::npos) << log;
        EXPECT_NE(out.find(c.logLine), std::string::npos) << out;
        EXPECT_EQ(out.find("Transfer Size") != std::string::npos, c.bTable) << out;
        if (c.bTable) {
            EXPECT_NE(out.find("4 KiB"), std::string::npos);
            EXPECT_NE(out.find("8 KiB"), std::string::npos);
            EXPECT_EQ(m_doc.rates[3].flags, 15);
        } else {
            for (const RateEntry& row : m_doc.rates)
                EXPECT_EQ(row.flags, 0);
        }
        if (!c.bUnwritableTarget) {
            EXPECT_FALSE(std::filesystem::exists(dir / "benchtst.$$$"));
        }
        EXPECT_FALSE(view.IsRunning());
    }
}
