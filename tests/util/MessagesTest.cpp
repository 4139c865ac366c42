#include "UtilTestSupport.h"

#include "platform/MessageBox.h"
#include "util/Messages.h"
#include "util/Usage.h"

#include <string>
#include <utility>
#include <vector>

namespace {

using Box = CMessageRecorder::Box;

class Messages : public UtilTest
{
protected:
    void SetQuiet(bool bQuiet) { g_pCommandLineOptions->bQuiet = bQuiet ? 1 : 0; }
};

// A text of the given length: "0123456789012..." so a cut shows where it fell.
std::string Digits(std::size_t nLength)
{
    std::string text;
    for (std::size_t i = 0; i < nLength; ++i)
        text += static_cast<char>('0' + i % 10);
    return text;
}

enum class Routine { Print, ShowError, ShowInfo, Fatal, Option };

void Call(Routine routine, const std::string& text)
{
    switch (routine) {
    case Routine::Print: PrintMessage("%s", text.c_str()); break;
    case Routine::ShowError: ShowMessage(1, "%s", text.c_str()); break;
    case Routine::ShowInfo: ShowMessage(0, "%s", text.c_str()); break;
    case Routine::Fatal: FatalError(3, "%s", text.c_str()); break;
    case Routine::Option: OptionError(1, "%s", text.c_str()); break;
    }
}

struct CutCase
{
    const char* pszName;
    Routine routine;
    std::size_t nInput;
    std::string expected;
    Box box;
};

const CutCase CUT_CASES[] = {
    {"print short", Routine::Print, 10, Digits(10), Box::Info},
    {"print cut at 127", Routine::Print, 200, Digits(127), Box::Info},
    {"show 200 cut to 149", Routine::ShowError, 200, Digits(149), Box::Error},
    {"show 149 kept", Routine::ShowError, 149, Digits(149), Box::Error},
    {"show information cut to 149", Routine::ShowInfo, 200, Digits(149), Box::Info},
    {"fatal short gets a line feed", Routine::Fatal, 25, Digits(25) + "\n", Box::Error},
    {"fatal 126 gets the line feed that fits", Routine::Fatal, 126, Digits(126) + "\n", Box::Error},
    {"fatal 127 has no room for the line feed", Routine::Fatal, 127, Digits(127), Box::Error},
    {"fatal 200 cut to 127 without line feed", Routine::Fatal, 200, Digits(127), Box::Error},
    {"option 255 kept", Routine::Option, 255, Digits(255), Box::OptionError},
    {"option 300 cut to 255", Routine::Option, 300, Digits(255), Box::OptionError},
    {"option huge cut to 255", Routine::Option, 100000, Digits(255), Box::OptionError},
    {"empty text", Routine::ShowError, 0, "", Box::Error},
};

TEST_F(Messages, LongTextsAreCutToTheirBufferNeverOverflowed)
{
    for (const CutCase& c : CUT_CASES) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(CreateOptionTables());
        m_recorder.Clear();
        Call(c.routine, Digits(c.nInput));
        ASSERT_EQ(m_recorder.Messages().size(), 1u);
        EXPECT_EQ(m_recorder.Messages()[0].box, c.box);
        EXPECT_EQ(m_recorder.Messages()[0].text, c.expected);
    }
}

TEST_F(Messages, FormatsWithPrintfConversions)
{
    ShowMessage(1, "Invalid option -%c %s.", 'h', "x");
    PrintMessage("%d of %u at %5.1f%%", -3, 7u, 42.25);
    EXPECT_EQ(m_recorder.Texts(Box::Error), std::vector<std::string>{"Invalid option -h x."});
    EXPECT_EQ(m_recorder.Texts(Box::Info), std::vector<std::string>{"-3 of 7 at  42.2%"});
}

struct QuietCase
{
    const char* pszName;
    Routine routine;
    bool bShownWhenQuiet;
    int nQuitCode; // -100: no quit request
};

const QuietCase QUIET_CASES[] = {
    {"show error", Routine::ShowError, false, -100},
    {"show information", Routine::ShowInfo, true, -100},
    {"print", Routine::Print, true, -100},
    {"fatal error silenced but still ends", Routine::Fatal, false, 3},
    {"option error never silenced", Routine::Option, true, 1},
};

TEST_F(Messages, QuietSilencesOnlyErrorBoxes)
{
    for (const QuietCase& c : QUIET_CASES) {
        SCOPED_TRACE(c.pszName);
        for (bool bQuiet : {false, true}) {
            SCOPED_TRACE(bQuiet ? "quiet" : "not quiet");
            ASSERT_TRUE(CreateOptionTables());
            m_recorder.Clear();
            SetQuiet(bQuiet);
            Call(c.routine, "text");
            EXPECT_EQ(m_recorder.Messages().size(), (!bQuiet || c.bShownWhenQuiet) ? 1u : 0u);
            if (c.nQuitCode == -100)
                EXPECT_TRUE(m_recorder.QuitCodes().empty());
            else
                EXPECT_EQ(m_recorder.QuitCodes(), std::vector<int>{c.nQuitCode});
        }
    }
}

TEST_F(Messages, ErrorBoxReadsQuietAtTheMomentOfTheCall)
{
    SetQuiet(true);
    ErrorBox("hidden");
    InfoBox("shown while quiet");
    SetQuiet(false);
    ErrorBox("shown again");
    FreeOptionTables();
    ErrorBox("shown without a record");
    EXPECT_EQ(m_recorder.Texts(Box::Error), (std::vector<std::string>{"shown again", "shown without a record"}));
    EXPECT_EQ(m_recorder.Texts(Box::Info), std::vector<std::string>{"shown while quiet"});
}

TEST_F(Messages, ExitProgramFreesBothRecordsAndRecordsTheCode)
{
    ASSERT_FALSE(IsQuitRequested());
    ExitProgram(0);
    EXPECT_EQ(g_pOptionTable, nullptr);
    EXPECT_EQ(g_pCommandLineOptions, nullptr);
    EXPECT_TRUE(IsQuitRequested());
    EXPECT_EQ(GetQuitExitCode(), 0);
    EXPECT_EQ(m_recorder.QuitCodes(), std::vector<int>{0});
    EXPECT_TRUE(m_recorder.Messages().empty());
    EXPECT_FALSE(IsUnattended()) << "readers work without the record";
    EXPECT_FALSE(KeepTestFile());

    ExitProgram(-1); // harmless a second time
    EXPECT_EQ(GetQuitExitCode(), -1);
    EXPECT_EQ(m_recorder.QuitCodes(), (std::vector<int>{0, -1}));
}

TEST_F(Messages, ExitProgramForgetsButNeverFreesARecordItDidNotMake)
{
    FreeOptionTables();
    CommandLineOptions local{};
    local.bQuiet = 1;
    g_pCommandLineOptions = &local;
    OptionError(-1, "Error: -x argument requires -f argument.");
    EXPECT_EQ(g_pCommandLineOptions, nullptr);
    EXPECT_EQ(local.bQuiet, 1);
    EXPECT_EQ(m_recorder.Texts(Box::OptionError),
              std::vector<std::string>{"Error: -x argument requires -f argument."});
    EXPECT_EQ(GetQuitExitCode(), -1);
}

TEST_F(Messages, WithoutInstalledOutputsTextsGoToTheMessageBoxWithTheirStyle)
{
    std::vector<std::pair<std::string, unsigned>> seen;
    MessageBoxHandler oldBox = SetMessageBoxHandler([&](const char* pszText, unsigned nType) {
        seen.emplace_back(pszText, nType);
        return IDOK;
    });
    MessageOutput oldOutput = SetMessageOutput({});
    ErrorBox("error");
    InfoBox("info");
    ShowMessage(1, "show %d", 1);
    PrintMessage("Password: ");
    ShowUsage(USAGE_SHOW_TEXT);
    OptionError(1, "Too many options.");
    SetMessageOutput(std::move(oldOutput));
    SetMessageBoxHandler(std::move(oldBox));

    const std::vector<std::pair<std::string, unsigned>> expected = {
        {"error", MB_ICONERROR},
        {"info", MB_ICONINFORMATION},
        {"show 1", MB_ICONERROR},
        {"Password: ", MB_ICONINFORMATION},
        {USAGE_TEXT, MB_ICONINFORMATION},
        {"Too many options.", MB_ICONERROR},
    };
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(IsQuitRequested()) << "the quit request is recorded without an installed hook";
    EXPECT_EQ(GetQuitExitCode(), 1);
}

TEST_F(Messages, RecorderRestoresThePreviousOutputs)
{
    {
        CMessageRecorder inner;
        ErrorBox("inner");
        EXPECT_EQ(inner.Texts(Box::Error), std::vector<std::string>{"inner"});
    }
    ErrorBox("outer");
    EXPECT_EQ(m_recorder.Texts(Box::Error), std::vector<std::string>{"outer"});
}

} // namespace
