#include "UtilTestSupport.h"

#include <string>
#include <vector>

namespace {

const std::optional<std::string> NONE;

struct SplitCase
{
    const char* pszName;
    std::vector<const char*> args;
    std::vector<SeenOption> expected; // the table after a successful parse
    const char* pszError;             // the complaint, or null when the parse succeeds
};

const SplitCase SPLIT_CASES[] = {
    {"no arguments", {}, {}, nullptr},
    {"grouped letters", {"-kx"}, {{'k', NONE}, {'x', NONE}}, nullptr},
    {"value as next argument", {"-f", "a.bmk"}, {{'f', "a.bmk"}}, nullptr},
    {"value after colon", {"-f:a.bmk"}, {{'f', "a.bmk"}}, nullptr},
    {"value after equals", {"-f=a.bmk"}, {{'f', "a.bmk"}}, nullptr},
    {"colon without value gives empty argument", {"-f:"}, {{'f', ""}}, nullptr},
    {"empty next argument is a value", {"-f", ""}, {{'f', ""}}, nullptr},
    {"rest of string after colon is the value", {"-f:a=b:c"}, {{'f', "a=b:c"}}, nullptr},
    {"slash prefix", {"/f", "a.bmk", "/x"}, {{'f', "a.bmk"}, {'x', NONE}}, nullptr},
    {"value goes to last letter of group", {"-fg", "a.bmk"}, {{'f', NONE}, {'g', "a.bmk"}}, nullptr},
    {"group with colon value", {"-kf:a.bmk"}, {{'k', NONE}, {'f', "a.bmk"}}, nullptr},
    {"lone dash ignored", {"-", "-k"}, {{'k', NONE}}, nullptr},
    {"lone slash ignored", {"/"}, {}, nullptr},
    {"letters keep case", {"-F", "-H", "-v"}, {{'F', NONE}, {'H', NONE}, {'v', NONE}}, nullptr},
    {"repeated letters stay for the application", {"-f", "a", "-f", "b"}, {{'f', "a"}, {'f', "b"}}, nullptr},
    {"second value for a letter", {"-f", "a.bmk", "b.bmk"}, {}, "Options must be preceded with a '-' (b.bmk)."},
    {"value before any option", {"a.bmk"}, {}, "Options must be preceded with a '-' (a.bmk)."},
    {"colon value after a value", {"-f", "a.bmk", "-:b"}, {}, "Options must be preceded with a '-' (b)."},
    {"colon value without letter", {"-:x"}, {}, "Options must be preceded with a '-' (x)."},
    {"lone dash does not take a value", {"-", "a.bmk"}, {}, "Options must be preceded with a '-' (a.bmk)."},
    {"colon value after a value in the same group", {"-f:a", "b"}, {}, "Options must be preceded with a '-' (b)."},
    {"absolute path as next argument", {"-f", "/home/me/run1.bmk", "-x"}, {{'f', "/home/me/run1.bmk"}, {'x', NONE}}, nullptr},
    {"absolute path with a dash", {"-g", "/var/log/run-1.log"}, {{'g', "/var/log/run-1.log"}}, nullptr},
    {"absolute path before any option", {"/tmp/a.bmk"}, {}, "Options must be preceded with a '-' (/tmp/a.bmk)."},
    {"second absolute path for a letter", {"-f", "/a/b", "/c/d"}, {}, "Options must be preceded with a '-' (/c/d)."},
    {"double dash", {"--x"}, {}, "Multiple '-' specified."},
    {"slash inside a group", {"-k/x"}, {}, "Multiple '-' specified."},
    {"dash after slash", {"/-"}, {}, "Multiple '-' specified."},
};

class OptionSplitting : public UtilTest
{
};

TEST_F(OptionSplitting, ArgumentsBecomeLettersWithTheirValuesOrOneComplaint)
{
    for (const SplitCase& c : SPLIT_CASES) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(CreateOptionTables());
        m_recorder.Clear();
        bool bOk = Parse(c.args);
        if (!c.pszError) {
            EXPECT_TRUE(bOk);
            EXPECT_EQ(Table(), c.expected);
            ASSERT_NE(g_pOptionTable, nullptr);
            EXPECT_FALSE(g_pOptionTable->bHelpRequested);
            EXPECT_TRUE(m_recorder.Messages().empty());
            EXPECT_FALSE(IsQuitRequested());
        } else {
            EXPECT_FALSE(bOk);
            ExpectEndedWith(c.pszError, 1);
        }
    }
}

TEST_F(OptionSplitting, ArgumentsPointIntoTheArgumentVectorUncopied)
{
    ASSERT_TRUE(Parse({"-f:a.bmk", "-g", "run.log"}));
    ASSERT_EQ(g_pOptionTable->nCount, 2);
    EXPECT_EQ(g_pOptionTable->aEntries[0].pszArgument, m_argv[1] + 3);
    EXPECT_EQ(g_pOptionTable->aEntries[1].pszArgument, m_argv[3]);
}

TEST_F(OptionSplitting, ProgramPathIsNotAnOption)
{
    const char* argv[] = {"-k", nullptr};
    EXPECT_TRUE(ParseOptions(1, argv));
    EXPECT_EQ(g_pOptionTable->nCount, 0);
}

TEST_F(OptionSplitting, FiftyLettersFitAndTheFiftyFirstIsRefused)
{
    std::string fifty = "-";
    for (int i = 0; i < MAX_OPTIONS; ++i)
        fifty += static_cast<char>('A' + i % 26);

    struct Case
    {
        const char* pszName;
        std::vector<std::string> args;
        bool bOk;
    };
    const Case cases[] = {
        {"fifty in one group", {fifty}, true},
        {"fifty with a value on the last", {fifty, "value"}, true},
        {"fifty-first in the same group", {fifty + "z"}, false},
        {"fifty-first as its own argument", {fifty, "-z"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(CreateOptionTables());
        m_recorder.Clear();
        std::vector<const char*> args;
        for (const std::string& arg : c.args)
            args.push_back(arg.c_str());
        if (c.bOk) {
            EXPECT_TRUE(Parse(args));
            ASSERT_NE(g_pOptionTable, nullptr);
            EXPECT_EQ(g_pOptionTable->nCount, MAX_OPTIONS);
            EXPECT_EQ(g_pOptionTable->aEntries[MAX_OPTIONS - 1].cLetter, fifty.back());
        } else {
            EXPECT_FALSE(Parse(args));
            ExpectEndedWith("Too many options.", 1);
        }
    }
}

} // namespace
