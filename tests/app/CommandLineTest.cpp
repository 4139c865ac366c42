// The option walk at start-up: which check speaks first, its text and the
// exit code, and what a good command line leaves in CommandLineOptions.
#include "app/CommandLine.h"
#include "util/CommandLineOptions.h"
#include "util/MessageRecorder.h"
#include "util/OptionTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Argv
{
    explicit Argv(std::vector<std::string> args) : m_args(std::move(args))
    {
        m_args.insert(m_args.begin(), "tarnwick");
        for (const std::string& a : m_args)
            m_pointers.push_back(a.c_str());
    }
    int Count() const { return static_cast<int>(m_pointers.size()); }
    const char* const* Values() const { return m_pointers.data(); }

    std::vector<std::string> m_args;
    std::vector<const char*> m_pointers;
};

class CommandLineTest : public ::testing::Test
{
protected:
    void TearDown() override { FreeOptionTables(); }
};

TEST_F(CommandLineTest, FirstFailingCheckEndsStartUpWithItsTextAndCode)
{
    const struct
    {
        std::vector<std::string> args;
        const char* text;
        int code;
    } cases[] = {
        // Letters are checked before the -x rule, which comes before help.
        {{"-?", "-z"}, "Invalid option -z.", 1},
        {{"-?", "-x"}, "Error: -x argument requires -f argument.", -1},
        {{"-x"}, "Error: -x argument requires -f argument.", -1},
        {{"-x", "-f"}, "Option -f requires an argument.", 1},
        {{"-f", "a.bmk", "-f", "b.bmk"}, "Multiple -f options are not allowed.", 1},
        {{"-k:1"}, "Option -k does not require an argument.", 1},
        {{"-x:", "-f", "a.bmk"}, "Option -x does not require an argument.", 1},
        {{"-g"}, "Option -g requires an argument.", 1},
        {{"-v"}, "Invalid option -v.", 1},
        {{"-v", "value"}, "Invalid option -v value.", 1},
        {{"-F", "a.bmk"}, "Invalid option -F a.bmk.", 1},
        {{"a.bmk"}, "Options must be preceded with a '-' (a.bmk).", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CMessageRecorder recorder;
        const Argv argv(c.args);
        EXPECT_FALSE(ReadCommandLine(argv.Count(), argv.Values()));
        EXPECT_EQ(recorder.Texts(CMessageRecorder::Box::OptionError), std::vector<std::string>{c.text});
        EXPECT_TRUE(recorder.Texts(CMessageRecorder::Box::Usage).empty());
        EXPECT_EQ(recorder.QuitCodes(), std::vector<int>{c.code});
        EXPECT_EQ(GetQuitExitCode(), c.code);
        // The program ends: both records are gone.
        EXPECT_EQ(g_pCommandLineOptions, nullptr);
        EXPECT_EQ(g_pOptionTable, nullptr);
    }
}

TEST_F(CommandLineTest, HelpShowsTheUsageAndEndsWithCodeZero)
{
    for (const char* pszHelp : {"-?", "-h", "/?"}) {
        SCOPED_TRACE(pszHelp);
        CMessageRecorder recorder;
        const Argv argv({"-f", "a.bmk", pszHelp});
        EXPECT_FALSE(ReadCommandLine(argv.Count(), argv.Values()));
        EXPECT_EQ(recorder.Texts(CMessageRecorder::Box::Usage).size(), 1u);
        EXPECT_TRUE(recorder.Texts(CMessageRecorder::Box::OptionError).empty());
        EXPECT_EQ(recorder.QuitCodes(), std::vector<int>{0});
        EXPECT_EQ(g_pCommandLineOptions, nullptr);
    }
}

TEST_F(CommandLineTest, GoodCommandLinesFillTheRecordInAnyOrder)
{
    const struct
    {
        std::vector<std::string> args;
        const char* testFile;
        const char* logFile;
        int unattended;
        int keep;
    } cases[] = {
        {{}, nullptr, nullptr, 0, 0},
        {{"-f", "a.bmk"}, "a.bmk", nullptr, 0, 0},
        {{"-f", "a.bmk", "-x"}, "a.bmk", nullptr, 1, 0},
        {{"-x", "-f", "a.bmk"}, "a.bmk", nullptr, 1, 0},
        {{"/x", "/f:a.bmk"}, "a.bmk", nullptr, 1, 0},
        {{"-kx", "-f=a.bmk", "-g", "run.log"}, "a.bmk", "run.log", 1, 1},
        {{"-g", "run.log", "-k"}, nullptr, "run.log", 0, 1},
        {{"-f", "/home/me/run1.bmk", "-x", "-g", "/var/log/run1.log"}, "/home/me/run1.bmk", "/var/log/run1.log", 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        CMessageRecorder recorder;
        const Argv argv(c.args);
        ASSERT_TRUE(ReadCommandLine(argv.Count(), argv.Values()));
        EXPECT_TRUE(recorder.Messages().empty());
        EXPECT_TRUE(recorder.QuitCodes().empty());
        ASSERT_NE(g_pCommandLineOptions, nullptr);
        const CommandLineOptions& o = *g_pCommandLineOptions;
        EXPECT_STREQ(o.pszTestFile, c.testFile);
        EXPECT_STREQ(o.pszLogFile, c.logFile);
        EXPECT_EQ(o.bUnattended, c.unattended);
        EXPECT_EQ(o.bKeepTestFile, c.keep);
        EXPECT_EQ(o.bQuiet, 0);
        FreeOptionTables();
    }
}

TEST_F(CommandLineTest, TextsPointIntoTheArgumentVector)
{
    CMessageRecorder recorder;
    const Argv argv({"-f", "run1.bmk", "-g", "run1.txt"});
    ASSERT_TRUE(ReadCommandLine(argv.Count(), argv.Values()));
    // Never copied: the record lives as long as argv does.
    EXPECT_EQ(g_pCommandLineOptions->pszTestFile, argv.Values()[2]);
    EXPECT_EQ(g_pCommandLineOptions->pszLogFile, argv.Values()[4]);
}

}
