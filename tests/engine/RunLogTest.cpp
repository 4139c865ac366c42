#include "engine/RunLog.h"

#include "../support/CompiledLocale.h"

#include "document/BenchDoc.h"
#include "platform/MessageBox.h"
#include "util/CommandLineOptions.h"

#include <gtest/gtest.h>

#include <clocale>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct BoxRecorder
{
    std::vector<std::pair<std::string, unsigned>> boxes;
    MessageBoxHandler old;
    BoxRecorder()
    {
        old = SetMessageBoxHandler([this](const char* text, unsigned type) {
            boxes.emplace_back(text, type);
            return IDOK;
        });
    }
    ~BoxRecorder() { SetMessageBoxHandler(std::move(old)); }
};

struct OptionsScope
{
    CommandLineOptions options{};
    CommandLineOptions* old = g_pCommandLineOptions;
    OptionsScope() { g_pCommandLineOptions = &options; }
    ~OptionsScope() { g_pCommandLineOptions = old; }
};

class TempDir
{
public:
    TempDir()
    {
        char templ[] = "/tmp/tarnwick-log-XXXXXX";
        m_path = mkdtemp(templ);
    }
    ~TempDir() { fs::remove_all(m_path); }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}

TEST(RunLog, FileNameFollowsTheDocument)
{
    OptionsScope scope;
    CBenchDoc doc;
    doc.drive = "/mnt/bench";
    EXPECT_EQ(LogFileName(doc), "/mnt/bench/DataError.log");
    doc.drive = "/mnt/bench/";   // a separator already there is not doubled
    EXPECT_EQ(LogFileName(doc), "/mnt/bench/DataError.log");

    scope.options.pszLogFile = "/var/log/other.txt";   // untitled: -g is not used
    EXPECT_EQ(LogFileName(doc), "/mnt/bench/DataError.log");

    doc.SetPathName("/tests/run1.bmk");
    EXPECT_EQ(LogFileName(doc), "/var/log/other.txt");
    scope.options.pszLogFile = nullptr;
    EXPECT_EQ(LogFileName(doc), "/tests/run1.log");
    doc.SetPathName("/tests/old.tst");
    EXPECT_EQ(LogFileName(doc), "/tests/old.log");
}

TEST(RunLog, SizeTexts)
{
    const struct {
        uint64_t bytes;
        const char* text;
    } cases[] = {
        {512, "512  B"},        {0, "0  B"},           {1023, "1023  B"},         {1024, "1 KB"},
        {4096, "4 KB"},         {524288, "512 KB"},    {1048576, "1 MB"},         {67108864, "64 MB"},
        {12582912, "12 MB"},    {1280000, "1.22 MB"},  {1280, "1.25 KB"},         {12800, "12.50 KB"},
        {1034, "1.01 KB"},      {uint64_t{1} << 30, "1 GB"}, {uint64_t{3} << 40, "3 TB"},
        {1536, "1.50 KB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        char buffer[20];
        ASSERT_TRUE(FormatSize(buffer, sizeof buffer, c.bytes));
        EXPECT_STREQ(buffer, c.text);
    }
    char tiny[4];
    EXPECT_FALSE(FormatSize(tiny, sizeof tiny, 4096 + 512));
}

TEST(RunLog, ErrorRecordLinesAreFormattedExactly)
{
    const DataErrorRecord record{4096, 3, 0xAA55AA55, 0xAA55AA54};
    EXPECT_EQ(FormatErrorDialogLine(record), "4 KB\t3\tAA55AA55\tAA55AA54");
    const std::string list = FormatLogErrorList("run1.bmk", "/mnt/bench", &record, 1);
    EXPECT_EQ(list,
              "Running run1.bmk....\r\nTarnwick logged 1 errors for drive (/mnt/bench)\r\n\r\n"
              "Transfer Size:\tBuffer Index:\tExpected Value:\tActual Value:\r\n"
              "4 KB          \t3            \tAA55AA55       \tAA55AA54     \r\n");
}

TEST(RunLog, TimeLineHasTwoEmptyLinesAndNoLeadingZeros)
{
    setenv("TZ", "UTC", 1);
    tzset();
    // Thursday, March 5, 2026 at 09:07 UTC.
    EXPECT_EQ(FormatLogTimeLine(1772701620), "\r\n\r\nThursday, March 5, 2026   9:07 AM\r\n");
    EXPECT_EQ(FormatLogMessage("Untitled", " Test aborted."), "Running Untitled....\r\n Test aborted.\r\n");
}

// The process may run in the user's locale (the window toolkit adopts it):
// the time line keeps the C locale's names.
TEST(RunLog, TimeLineIgnoresTheProcessLocale)
{
    setenv("TZ", "UTC", 1);
    tzset();
    const std::string before = setlocale(LC_ALL, nullptr);
    std::string folder = (fs::temp_directory_path() / "runlog-locale-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const bool bGerman = UseGermanLocale(LC_ALL, folder);
    char szDay[64] = "";
    const std::time_t t = 1772701620;
    std::strftime(szDay, sizeof szDay, "%A", std::gmtime(&t));
    const std::string line = FormatLogTimeLine(t);
    setlocale(LC_ALL, before.c_str());
    fs::remove_all(folder);
    if (!bGerman)
        GTEST_SKIP() << "no German locale to be had on this machine";
    ASSERT_STREQ(szDay, "Donnerstag");   // the process really names days in German
    EXPECT_EQ(line, "\r\n\r\nThursday, March 5, 2026   9:07 AM\r\n");
}

TEST(RunLog, EntriesAreAppendedInOrderAndTheFileIsNamed)
{
    OptionsScope scope;
    BoxRecorder boxes;
    TempDir dir;
    CBenchDoc doc;
    doc.drive = dir.path().string();
    g_nDataErrors = 2;
    g_DataErrors[0] = {512, 0, 0, 1};
    g_DataErrors[1] = {4096, 3, 0xAA55AA55, 0xAA55AA54};
    ASSERT_TRUE(WriteLog(doc, nullptr, 1772701620));
    ASSERT_TRUE(WriteLog(doc, nullptr, 1772701680));
    g_nDataErrors = 0;

    const std::string text = ReadFile(dir.path() / "DataError.log");
    const auto first = text.find("Tarnwick logged 2 errors");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(text.find("Tarnwick logged 2 errors", first + 1), std::string::npos);
    EXPECT_EQ(text.rfind("\r\n\r\n", 0), 0u);
    EXPECT_NE(text.find("512  B        \t0            \t00000000       \t00000001     \r\n"), std::string::npos);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].first, "Errors have been logged to\r\n" + (dir.path() / "DataError.log").string());
    EXPECT_EQ(boxes.boxes[0].second, unsigned{MB_ICONINFORMATION});
}

TEST(RunLog, UnattendedEntriesGoToTheConsoleWithoutABox)
{
    OptionsScope scope;
    scope.options.bUnattended = 1;
    BoxRecorder boxes;
    TempDir dir;
    CBenchDoc doc;
    doc.drive = dir.path().string();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(WriteLog(doc, "Testing completed sucessfully.", 1772701620));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Running Untitled....\nTesting completed sucessfully.\n"), std::string::npos);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_NE(ReadFile(dir.path() / "DataError.log").find("Testing completed sucessfully.\r\n"), std::string::npos);
}

TEST(RunLog, AnUnopenableLogSaysSoEvenUnattended)
{
    OptionsScope scope;
    scope.options.bUnattended = 1;
    BoxRecorder boxes;
    TempDir dir;
    CBenchDoc doc;
    doc.drive = (dir.path() / "missing").string();
    EXPECT_FALSE(WriteLog(doc, "x"));

    // A link planted at the log's name is refused, not followed.
    doc.drive = dir.path().string();
    fs::create_symlink(dir.path() / "elsewhere.txt", dir.path() / "DataError.log");
    EXPECT_FALSE(WriteLog(doc, "x"));
    EXPECT_FALSE(fs::exists(dir.path() / "elsewhere.txt"));

    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].first, "Could not open log file.");
    EXPECT_EQ(boxes.boxes[0].second, unsigned{MB_ICONERROR});
}

TEST(RunLog, ExistingLogIsNeverTruncated)
{
    OptionsScope scope;
    scope.options.bUnattended = 1;
    TempDir dir;
    {
        std::ofstream(dir.path() / "DataError.log") << "earlier entry\r\n";
    }
    CBenchDoc doc;
    doc.drive = dir.path().string();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(WriteLog(doc, "later", 1772701620));
    testing::internal::GetCapturedStdout();
    const std::string text = ReadFile(dir.path() / "DataError.log");
    EXPECT_EQ(text.rfind("earlier entry\r\n", 0), 0u);
    EXPECT_NE(text.find("later\r\n"), std::string::npos);
}
