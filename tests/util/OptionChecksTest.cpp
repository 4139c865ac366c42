#include "UtilTestSupport.h"

#include "util/AllocZeroed.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::optional<std::string> NONE;

class OptionChecks : public UtilTest
{
};

TEST_F(OptionChecks, RepeatedLetterIsReportedAtItsFirstOccurrenceOnly)
{
    ASSERT_TRUE(Parse({"-f", "a.bmk", "-k", "-f", "b.bmk"}));
    EXPECT_TRUE(CheckUniqueOption(&g_pOptionTable->aEntries[2])) << "-k has no later twin";
    EXPECT_TRUE(CheckUniqueOption(&g_pOptionTable->aEntries[2 + 1])) << "only later entries count";
    EXPECT_TRUE(m_recorder.Messages().empty());
    EXPECT_FALSE(CheckUniqueOption(&g_pOptionTable->aEntries[0]));
    ExpectEndedWith("Multiple -f options are not allowed.", 1);
}

TEST_F(OptionChecks, LettersAreComparedWithCase)
{
    ASSERT_TRUE(Parse({"-f", "a", "-F", "b"}));
    EXPECT_TRUE(CheckUniqueOption(&g_pOptionTable->aEntries[0]));
}

struct ArgumentCheckCase
{
    const char* pszName;
    std::vector<const char*> args;
    bool bHasOk;             // CheckHasArgument accepts the first entry
    bool bNoOk;              // CheckNoArgument accepts the first entry
    const char* pszHasError;
    const char* pszNoError;
};

const ArgumentCheckCase ARGUMENT_CASES[] = {
    {"no argument", {"-x"}, false, true, "Option -x requires an argument.", nullptr},
    {"argument", {"-f", "a.bmk"}, true, false, nullptr, "Option -f does not require an argument."},
    {"empty argument counts", {"-k:"}, true, false, nullptr, "Option -k does not require an argument."},
    {"colon argument", {"-k:1"}, true, false, nullptr, "Option -k does not require an argument."},
};

TEST_F(OptionChecks, ArgumentChecksRefuseWithTheLetterInTheMessage)
{
    for (const ArgumentCheckCase& c : ARGUMENT_CASES) {
        SCOPED_TRACE(c.pszName);
        for (int nCheck = 0; nCheck < 2; ++nCheck) {
            ASSERT_TRUE(CreateOptionTables());
            m_recorder.Clear();
            ASSERT_TRUE(Parse(c.args));
            const OptionEntry* pEntry = &g_pOptionTable->aEntries[0];
            bool bOk = nCheck == 0 ? CheckHasArgument(pEntry) : CheckNoArgument(pEntry);
            const char* pszError = nCheck == 0 ? c.pszHasError : c.pszNoError;
            EXPECT_EQ(bOk, nCheck == 0 ? c.bHasOk : c.bNoOk);
            if (pszError)
                ExpectEndedWith(pszError, 1);
            else
                EXPECT_TRUE(m_recorder.Messages().empty());
        }
    }
}

TEST_F(OptionChecks, InvalidOptionShowsItsArgumentWhenItHasOne)
{
    const struct
    {
        std::vector<const char*> args;
        const char* pszMessage;
    } cases[] = {
        {{"-v"}, "Invalid option -v."},
        {{"-v", "1"}, "Invalid option -v 1."},
        {{"-v:"}, "Invalid option -v ."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszMessage);
        ASSERT_TRUE(CreateOptionTables());
        m_recorder.Clear();
        ASSERT_TRUE(Parse(c.args));
        ReportInvalidOption(&g_pOptionTable->aEntries[0]);
        ExpectEndedWith(c.pszMessage, 1);
    }
}

TEST_F(OptionChecks, KeywordMatchesAnyCaselessBeginningOfExactlyOneKeyword)
{
    const HelpKeyword close[] = {{"test", 1}, {"temp", 0}, {nullptr, 0}};
    const struct
    {
        const char* pszArgument;
        const HelpKeyword* pTable;
        const char* pszFound; // null: no match
    } cases[] = {
        {"T", g_aHelpKeywords, "test"},
        {"tes", g_aHelpKeywords, "test"},
        {"TEST", g_aHelpKeywords, "test"},
        {"tEsT", g_aHelpKeywords, "test"},
        {"o", g_aHelpKeywords, "oem"},
        {"OEM", g_aHelpKeywords, "oem"},
        {"tests", g_aHelpKeywords, nullptr},
        {"est", g_aHelpKeywords, nullptr},
        {"x", g_aHelpKeywords, nullptr},
        {"", g_aHelpKeywords, nullptr},
        {nullptr, g_aHelpKeywords, nullptr},
        {"te", close, nullptr},
        {"t", close, nullptr},
        {"tes", close, "test"},
        {"TEM", close, "temp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszArgument ? c.pszArgument : "(none)");
        OptionEntry entry{'h', c.pszArgument};
        const HelpKeyword* pFound = FindKeyword(&entry, c.pTable);
        if (!c.pszFound)
            EXPECT_EQ(pFound, nullptr);
        else {
            ASSERT_NE(pFound, nullptr);
            EXPECT_STREQ(pFound->pszKeyword, c.pszFound);
        }
    }
}

TEST_F(OptionChecks, OnlyTheTestKeywordNeedsThePassword)
{
    OptionEntry test{'h', "test"};
    OptionEntry oem{'h', "oem"};
    EXPECT_TRUE(FindKeyword(&test, g_aHelpKeywords)->bPasswordRequired);
    EXPECT_FALSE(FindKeyword(&oem, g_aHelpKeywords)->bPasswordRequired);
}

TEST_F(OptionChecks, RemovingAnEntryMovesTheLaterOnesDown)
{
    ASSERT_TRUE(Parse({"-a", "-b:1", "-c", "-d:2"}));
    RemoveOption(&g_pOptionTable->aEntries[1]);
    EXPECT_EQ(Table(), (std::vector<SeenOption>{{'a', NONE}, {'c', NONE}, {'d', "2"}}));
    EXPECT_EQ(g_pOptionTable->aEntries[3].cLetter, 0) << "the freed slot is empty";
    EXPECT_EQ(g_pOptionTable->aEntries[3].pszArgument, nullptr);
    RemoveOption(&g_pOptionTable->aEntries[2]);
    RemoveOption(&g_pOptionTable->aEntries[0]);
    EXPECT_EQ(Table(), (std::vector<SeenOption>{{'c', NONE}}));
}

TEST_F(OptionChecks, TablesStartZeroFilled)
{
    ASSERT_NE(g_pOptionTable, nullptr);
    ASSERT_NE(g_pCommandLineOptions, nullptr);
    EXPECT_EQ(g_pOptionTable->nCount, 0);
    EXPECT_EQ(g_pOptionTable->bHelpRequested, 0);
    for (const OptionEntry& entry : g_pOptionTable->aEntries) {
        EXPECT_EQ(entry.cLetter, 0);
        EXPECT_EQ(entry.pszArgument, nullptr);
    }
    EXPECT_EQ(g_pCommandLineOptions->pszTestFile, nullptr);
    EXPECT_EQ(g_pCommandLineOptions->pszLogFile, nullptr);
    EXPECT_EQ(g_pCommandLineOptions->bQuiet, 0);
    EXPECT_EQ(g_pCommandLineOptions->bUnattended, 0);
    EXPECT_EQ(g_pCommandLineOptions->bKeepTestFile, 0);
}

// Allocation failure on the n-th call, counting from 1.
int g_nFailOnCall = 0;
int g_nCalls = 0;
void* FailingAllocator(std::size_t nCount, std::size_t nSize)
{
    return ++g_nCalls == g_nFailOnCall ? nullptr : std::calloc(nCount, nSize);
}

TEST_F(OptionChecks, FailedAllocationOfEitherRecordEndsWithTheMemoryMessage)
{
    for (int nFail = 1; nFail <= 2; ++nFail) {
        SCOPED_TRACE(nFail);
        m_recorder.Clear();
        g_nCalls = 0;
        g_nFailOnCall = nFail;
        ZeroedAllocator pfnOld = SetZeroedAllocator(&FailingAllocator);
        bool bOk = CreateOptionTables();
        SetZeroedAllocator(pfnOld);
        EXPECT_FALSE(bOk);
        EXPECT_EQ(g_nCalls, nFail);
        EXPECT_EQ(m_recorder.Texts(CMessageRecorder::Box::Error),
                  std::vector<std::string>{"Memory allocation failed.\n"});
        EXPECT_EQ(m_recorder.QuitCodes(), std::vector<int>{1});
        EXPECT_EQ(g_pOptionTable, nullptr);
        EXPECT_EQ(g_pCommandLineOptions, nullptr);
    }
}

TEST_F(OptionChecks, ZeroSizeAllocatesNothingAndSaysNothing)
{
    EXPECT_EQ(AllocZeroed(0), nullptr);
    EXPECT_TRUE(m_recorder.Messages().empty());
    EXPECT_FALSE(IsQuitRequested());
    unsigned char* pBlock = static_cast<unsigned char*>(AllocZeroed(4096));
    ASSERT_NE(pBlock, nullptr);
    for (int i = 0; i < 4096; ++i)
        ASSERT_EQ(pBlock[i], 0) << i;
    std::free(pBlock);
}

} // namespace

namespace {

// The application's start-up walk: every entry once, stopping at the first failed check.
std::vector<char> WalkUntilAFailedCheck()
{
    std::vector<char> walked;
    for (int i = 0; OptionEntry* pEntry = GetOptionEntry(i); ++i) {
        walked.push_back(pEntry->cLetter);
        if (!CheckUniqueOption(pEntry))
            break;
    }
    return walked;
}

TEST_F(OptionChecks, WalkStopsSafelyWhenACheckEndsTheProgram)
{
    ASSERT_TRUE(Parse({"-k", "-x", "-g", "log"}));
    EXPECT_EQ(WalkUntilAFailedCheck(), (std::vector<char>{'k', 'x', 'g'}));
    EXPECT_EQ(GetOptionEntry(-1), nullptr);
    EXPECT_EQ(GetOptionEntry(3), nullptr);

    ASSERT_TRUE(CreateOptionTables());
    m_recorder.Clear();
    ASSERT_TRUE(Parse({"-k", "-x", "-k"}));
    EXPECT_EQ(WalkUntilAFailedCheck(), std::vector<char>{'k'});
    EXPECT_EQ(GetOptionEntry(0), nullptr) << "the table is gone after the complaint";
    ExpectEndedWith("Multiple -k options are not allowed.", 1);
}

} // namespace
