#include "UtilTestSupport.h"

#include "util/Usage.h"

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::optional<std::string> NONE;

class HelpOption : public UtilTest
{
protected:
    void TearDown() override
    {
        if (m_pPipe)
            std::fclose(m_pPipe);
        UtilTest::TearDown();
    }

    // The answer arrives through a real pipe, as from a shell: echo ... | tarnwick -h test.
    void AnswerWith(const std::string& answer)
    {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        ASSERT_EQ(write(fds[1], answer.data(), answer.size()), static_cast<ssize_t>(answer.size()));
        close(fds[1]);
        if (m_pPipe)
            std::fclose(m_pPipe);
        m_pPipe = fdopen(fds[0], "r");
        ASSERT_NE(m_pPipe, nullptr);
        SetHelpPasswordInput(m_pPipe);
    }

    std::FILE* m_pPipe = nullptr;
};

struct HelpCase
{
    const char* pszName;
    std::vector<const char*> args;
    std::vector<SeenOption> remaining; // what the application still walks
    const char* pszError;              // the complaint, or null when the parse succeeds
    bool bHelp = true;                 // help requested after a successful parse
};

const HelpCase HELP_CASES[] = {
    {"dash question mark", {"-?"}, {}, nullptr},
    {"slash question mark", {"/?"}, {}, nullptr},
    {"dash h", {"-h"}, {}, nullptr},
    {"question mark with h", {"-?", "-h"}, {}, nullptr},
    {"help grouped with others", {"-k?x"}, {{'k', NONE}, {'x', NONE}}, nullptr},
    {"other options keep their order", {"-f", "a.bmk", "-h", "-x"}, {{'f', "a.bmk"}, {'x', NONE}}, nullptr},
    {"keyword oem", {"-h", "oem"}, {}, nullptr},
    {"keyword prefix in capitals", {"-h:O"}, {}, nullptr},
    {"capital H is an ordinary letter", {"-H"}, {{'H', NONE}}, nullptr, false},
    {"h twice", {"-h", "-h"}, {}, "Multiple -h options are not allowed."},
    {"question mark twice", {"-?", "-k", "/?"}, {}, "Multiple -? options are not allowed."},
    {"unknown keyword", {"-h", "x"}, {}, "Invalid option -h x."},
    {"keyword longer than any", {"-h", "oems"}, {}, "Invalid option -h oems."},
    {"empty keyword", {"-h:"}, {}, "Invalid option -h ."},
};

TEST_F(HelpOption, HelpLettersAreCheckedAndTakenOutOfTheTable)
{
    for (const HelpCase& c : HELP_CASES) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(CreateOptionTables());
        m_recorder.Clear();
        bool bOk = Parse(c.args);
        if (!c.pszError) {
            EXPECT_TRUE(bOk);
            EXPECT_EQ(Table(), c.remaining);
            ASSERT_NE(g_pOptionTable, nullptr);
            EXPECT_EQ(g_pOptionTable->bHelpRequested != 0, c.bHelp);
            EXPECT_TRUE(m_recorder.Messages().empty()) << "no prompt, no box";
        } else {
            EXPECT_FALSE(bOk);
            ExpectEndedWith(c.pszError, 1);
        }
    }
}

TEST_F(HelpOption, WithoutHelpNothingIsRequested)
{
    ASSERT_TRUE(Parse({"-H", "-k"}));
    EXPECT_FALSE(g_pOptionTable->bHelpRequested);
    EXPECT_TRUE(FinishOptions());
    EXPECT_TRUE(m_recorder.Messages().empty());
    EXPECT_FALSE(IsQuitRequested());
    EXPECT_NE(g_pOptionTable, nullptr);
}

TEST_F(HelpOption, FinishShowsTheUsageTextAndEndsWithCodeZero)
{
    ASSERT_TRUE(Parse({"-?"}));
    EXPECT_FALSE(FinishOptions());
    const std::string usage =
        "\nOptions:\n\n-f {filename}  :Open a benchmark test file.\n\n-g {filename}  :Log errors to the "
        "specified file. If a log file is not specified, a log will be created in the same directory as "
        "the test file with the same filename, but with the .log extension.\n\n-k  :Leave the test file "
        "on the drive after the test completes.  It will be overwritten if another test is started.\n\n"
        "-x  :Automatically run the specified test (-f {filename}), save the results and exit the "
        "program.  This allows tests to be scripted.\n\n";
    ASSERT_EQ(m_recorder.Messages().size(), 1u);
    EXPECT_EQ(m_recorder.Messages()[0].box, CMessageRecorder::Box::Usage);
    EXPECT_EQ(m_recorder.Messages()[0].text, usage);
    EXPECT_EQ(m_recorder.QuitCodes(), std::vector<int>{0});
    EXPECT_EQ(GetQuitExitCode(), 0);
    EXPECT_TRUE(IsQuitRequested());
    EXPECT_EQ(g_pOptionTable, nullptr);
    EXPECT_EQ(g_pCommandLineOptions, nullptr);
}

TEST_F(HelpOption, UsageTextOnlyWhenTheDetailMaskAsksForIt)
{
    const struct
    {
        unsigned nFlags;
        bool bShown;
    } cases[] = {{15, true}, {USAGE_SHOW_TEXT, true}, {0, false}, {11, false}, {0xFFFFFFFBu, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nFlags);
        m_recorder.Clear();
        ShowUsage(c.nFlags);
        EXPECT_EQ(m_recorder.Texts(CMessageRecorder::Box::Usage).size(), c.bShown ? 1u : 0u);
        EXPECT_FALSE(IsQuitRequested());
    }
}

struct PasswordCase
{
    const char* pszName;
    const char* pszKeyword;
    std::string answer;
    bool bAccepted;
};

const PasswordCase PASSWORD_CASES[] = {
    {"exact answer", "test", "tarnwicks\n", true},
    {"answer in capitals", "test", "TARNWICKS\n", true},
    {"mixed case and keyword prefix", "T", "TarnWicks\n", true},
    {"keyword in capitals", "TEST", "tarnwicks\n", true},
    {"carriage return ends the answer", "tes", "tarnwicks\r\n", true},
    {"carriage return before line feed text", "test", "tarnwicks\rjunk\n", true},
    {"end of input without line feed", "test", "tarnwicks", true},
    {"only the first line counts", "test", "tarnwicks\nsecond\n", true},
    {"wrong answer", "test", "wrongword\n", false},
    {"answer too short", "test", "tarnwick\n", false},
    {"answer too long", "test", "tarnwicksx\n", false},
    {"leading blank", "test", " tarnwicks\n", false},
    {"empty line", "test", "\n", false},
    {"empty input", "test", "", false},
    {"NUL byte inside the answer", "test", std::string("tarnwicks\0x\n", 12), false},
    {"line longer than read", "test", "tarnwicks" + std::string(40, 'z') + "\n", false},
};

TEST_F(HelpOption, TestKeywordAsksForThePasswordOnStandardInput)
{
    for (const PasswordCase& c : PASSWORD_CASES) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(CreateOptionTables());
        m_recorder.Clear();
        AnswerWith(c.answer);
        bool bOk = Parse({"-h", c.pszKeyword});
        ASSERT_FALSE(m_recorder.Messages().empty());
        EXPECT_EQ(m_recorder.Messages()[0].box, CMessageRecorder::Box::Info);
        EXPECT_EQ(m_recorder.Messages()[0].text, "Password: ");
        if (c.bAccepted) {
            EXPECT_TRUE(bOk);
            EXPECT_EQ(m_recorder.Messages().size(), 1u);
            ASSERT_NE(g_pOptionTable, nullptr);
            EXPECT_TRUE(g_pOptionTable->bHelpRequested);
            EXPECT_EQ(g_pOptionTable->nCount, 0);
            EXPECT_FALSE(IsQuitRequested());
        } else {
            EXPECT_FALSE(bOk);
            EXPECT_EQ(m_recorder.Texts(CMessageRecorder::Box::OptionError),
                      std::vector<std::string>{"Invalid help password."});
            EXPECT_EQ(m_recorder.QuitCodes(), std::vector<int>{1});
            EXPECT_EQ(g_pOptionTable, nullptr);
        }
    }
}

TEST_F(HelpOption, PasswordAnswerIsReadOnlyUpToThirtyOneCharacters)
{
    const std::string answer = std::string(MAX_PASSWORD_ANSWER, 'a') + "rest\n";
    AnswerWith(answer);
    EXPECT_FALSE(Parse({"-h", "test"}));
    char szRest[16] = {};
    ASSERT_NE(std::fgets(szRest, sizeof szRest, m_pPipe), nullptr);
    EXPECT_STREQ(szRest, "rest\n");
}

TEST_F(HelpOption, FailedReadIsAnEmptyAnswer)
{
    // A stream open only for writing cannot be read: getc fails with an error.
    std::FILE* pWriteOnly = std::fopen("/dev/null", "w");
    ASSERT_NE(pWriteOnly, nullptr);
    SetHelpPasswordInput(pWriteOnly);
    EXPECT_FALSE(Parse({"-h", "test"}));
    std::fclose(pWriteOnly);
    EXPECT_EQ(m_recorder.Texts(CMessageRecorder::Box::OptionError),
              std::vector<std::string>{"Invalid help password."});
}

TEST_F(HelpOption, AcceptedPasswordLeadsToTheSameUsageText)
{
    AnswerWith("tarnwicks\n");
    ASSERT_TRUE(Parse({"-h:test"}));
    EXPECT_FALSE(FinishOptions());
    EXPECT_EQ(m_recorder.Texts(CMessageRecorder::Box::Usage), std::vector<std::string>{USAGE_TEXT});
    EXPECT_EQ(m_recorder.QuitCodes(), std::vector<int>{0});
}

} // namespace
