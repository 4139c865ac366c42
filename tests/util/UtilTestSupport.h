#pragma once

#include "util/CommandLineOptions.h"
#include "util/MessageRecorder.h"
#include "util/OptionParser.h"
#include "util/OptionTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

// One option as the application sees it when it walks the table.
struct SeenOption
{
    char cLetter;
    std::optional<std::string> argument;
    bool operator==(const SeenOption&) const = default;
};

inline void PrintTo(const SeenOption& option, std::ostream* pOut)
{
    *pOut << '-' << option.cLetter;
    if (option.argument)
        *pOut << " \"" << *option.argument << '"';
}

// Fresh option tables and a recorder for every test; nothing left behind.
class UtilTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(CreateOptionTables()); }
    void TearDown() override
    {
        SetHelpPasswordInput(nullptr);
        FreeOptionTables();
    }

    // Parses the arguments after a program path, as start-up does.
    bool Parse(std::vector<const char*> args)
    {
        m_argv = {"tarnwick"};
        m_argv.insert(m_argv.end(), args.begin(), args.end());
        return ParseOptions(static_cast<int>(m_argv.size()), m_argv.data());
    }

    static std::vector<SeenOption> Table()
    {
        std::vector<SeenOption> seen;
        if (!g_pOptionTable)
            return seen;
        for (int i = 0; i < g_pOptionTable->nCount; ++i) {
            const OptionEntry& entry = g_pOptionTable->aEntries[i];
            std::optional<std::string> argument;
            if (entry.pszArgument)
                argument = entry.pszArgument;
            seen.push_back({entry.cLetter, argument});
        }
        return seen;
    }

    // After a complaint: one option-error box with the text, the end with the code, no records left.
    void ExpectEndedWith(const std::string& text, int nCode) const
    {
        EXPECT_EQ(m_recorder.Texts(CMessageRecorder::Box::OptionError), std::vector<std::string>{text});
        EXPECT_EQ(m_recorder.QuitCodes(), std::vector<int>{nCode});
        EXPECT_TRUE(IsQuitRequested());
        EXPECT_EQ(g_pOptionTable, nullptr);
        EXPECT_EQ(g_pCommandLineOptions, nullptr);
    }

    CMessageRecorder m_recorder;
    std::vector<const char*> m_argv;
};
