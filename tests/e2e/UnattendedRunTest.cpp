// tarnwick -f test.bmk -x on a machine without a display, end to end.
#include "ProgramRunner.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
        ++n;
    return n;
}

}

// A one-size test runs by itself, saves its results over the file it
// opened, logs its closing line beside it, prints the log line and the
// results table, exits with status 0 and leaves no test file behind.
TEST(UnattendedRun, CompletesSavesLogsAndLeavesNoTestFile)
{
    CTempDir dir;
    const auto bmk = dir.Path() / "t.bmk";
    BmkSettings settings;
    settings.drive = dir.Path().string();
    WriteFile(bmk, BmkText(settings));

    // Named by its full path here, relative to the working directory below.
    const ProgramResult run = RunProgram({"-f", bmk.string(), "-x"}, dir.Path());
    ASSERT_TRUE(run.bEnded) << run.err;
    EXPECT_EQ(run.nStatus, 0) << run.err;

    const std::string saved = ReadFile(bmk);
    EXPECT_EQ(saved.find("<rates/>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("    <rate>\r\n      <iosize>4096</iosize>\r\n      <writebps>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<writeiops>"), std::string::npos);
    EXPECT_NE(saved.find("<readbps>"), std::string::npos);
    EXPECT_NE(saved.find("<readiops>"), std::string::npos);
    EXPECT_NE(saved.find("<drive>" + settings.drive + "</drive>"), std::string::npos);

    const std::string log = ReadFile(dir.Path() / "t.log");
    EXPECT_EQ(Count(log, "Running t.bmk....\r\nTesting completed sucessfully.\r\n"), 1u) << log;
    EXPECT_EQ(log.rfind("\r\n\r\n", 0), 0u);   // the entry opens with two empty lines

    EXPECT_NE(run.out.find("Running t.bmk...."), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Testing completed sucessfully."), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Transfer Size"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("4 KiB"), std::string::npos) << run.out;
    EXPECT_LT(run.out.find("Testing completed sucessfully."), run.out.find("Transfer Size"));

    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "benchtst.$$$"));
}

// Runs that cannot start save nothing: a target that does not exist is
// logged with " Test aborted." and a test file that cannot be created with
// the reason; the result file stays byte for byte as it was and the status
// is 0, as the outcome of a run is the log's to tell.
TEST(UnattendedRun, RunsThatCannotStartLogAndSaveNothing)
{
    struct Case
    {
        const char* name;
        bool bMissingTarget;
        const char* logLine;
    } cases[] = {
        {"missing target", true, " not found.\n Test aborted.\r\n"},
        {"test file cannot be created", false, "Cannot open file benchtst.$$$.\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDir dir;
        const auto bmk = dir.Path() / "t.bmk";
        BmkSettings settings;
        settings.drive = (c.bMissingTarget ? dir.Path() / "gone" : dir.Path()).string();
        const std::string original = BmkText(settings);
        WriteFile(bmk, original);
        if (!c.bMissingTarget)
            std::filesystem::create_directory(dir.Path() / "benchtst.$$$");   // the name is taken

        const ProgramResult run = RunProgram({"-x", "-f", "t.bmk"}, dir.Path());
        ASSERT_TRUE(run.bEnded) << run.err;
        EXPECT_EQ(run.nStatus, 0) << run.err;
        EXPECT_EQ(ReadFile(bmk), original);
        const std::string log = ReadFile(dir.Path() / "t.log");
        EXPECT_NE(log.find("Running t.bmk....\r\n"), std::string::npos) << log;
        EXPECT_NE(log.find(c.logLine), std::string::npos) << log;
        EXPECT_EQ(log.find("Testing completed"), std::string::npos) << log;
        EXPECT_EQ(run.out.find("Transfer Size"), std::string::npos) << run.out;
        if (c.bMissingTarget) {
            EXPECT_FALSE(std::filesystem::exists(dir.Path() / "gone"));
        }
    }
}

// -g names the log; the result file is still saved.
TEST(UnattendedRun, LogOptionNamesTheLog)
{
    CTempDir dir;
    const auto bmk = dir.Path() / "t.bmk";
    const auto logPath = dir.Path() / "chosen.txt";
    BmkSettings settings;
    settings.drive = (dir.Path() / "gone").string();   // logs at once and ends
    WriteFile(bmk, BmkText(settings));
    const ProgramResult run = RunProgram({"-f", "t.bmk", "-g", "chosen.txt", "-x"}, dir.Path());
    ASSERT_TRUE(run.bEnded);
    EXPECT_EQ(run.nStatus, 0) << run.err;
    EXPECT_NE(ReadFile(logPath).find(" Test aborted."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "t.log"));
}

// A result file that is not there ends the program with a failure status and
// the reason on standard error; nothing is created.
TEST(UnattendedRun, MissingResultFileFails)
{
    CTempDir dir;
    const auto bmk = dir.Path() / "absent.bmk";
    const ProgramResult run = RunProgram({"-f", "absent.bmk", "-x"}, dir.Path());
    ASSERT_TRUE(run.bEnded);
    EXPECT_NE(run.nStatus, 0);
    EXPECT_FALSE(run.err.empty());
    EXPECT_FALSE(std::filesystem::exists(bmk));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "absent.log"));
}
