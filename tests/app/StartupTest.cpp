// The program as a user starts it with no display: option errors, help,
// the -x rule and the refusal to open a window nobody can see, each with
// its exit status and before any window exists.
#include "app/Tarn32App.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int exitCode;
    std::string out;
    std::string err;
};

Outcome RunWithoutDisplay(const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* pszName : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(pszName));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TARNWICK_BINARY), args);
    EXPECT_TRUE(process.waitForFinished(60000)) << "the program did not end";
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

TEST(StartupTest, WithoutADisplayEveryEarlyEndHasItsTextAndStatus)
{
    const struct
    {
        QStringList args;
        int status;
        const char* text;
    } cases[] = {
        {{}, 1, NO_DISPLAY_TEXT},
        {{"-f", "some.bmk"}, 1, NO_DISPLAY_TEXT},
        {{"-?"}, 0, "-x  :Automatically run the specified test"},
        {{"-h"}, 0, "-f {filename}  :Open a benchmark test file."},
        {{"-x"}, 255, "Error: -x argument requires -f argument."},
        {{"-?", "-z"}, 1, "Invalid option -z."},
        {{"-x", "-f"}, 1, "Option -f requires an argument."},
        {{"-k:1"}, 1, "Option -k does not require an argument."},
        {{"-v"}, 1, "Invalid option -v."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Outcome outcome = RunWithoutDisplay(c.args);
        EXPECT_EQ(outcome.exitCode, c.status);
        EXPECT_NE(outcome.err.find(c.text), std::string::npos) << outcome.err;
    }
}

TEST(StartupTest, ADisplayThatDoesNotOpenEndsInTheProgramsOwnMessage)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // A display number nobody serves.
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":1234"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TARNWICK_BINARY), QStringList{});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_NE(process.readAllStandardError().toStdString().find(NO_DISPLAY_TEXT), std::string::npos);
}

TEST(StartupTest, AnUnattendedFileThatDoesNotOpenEndsWithStatusOne)
{
    const Outcome outcome = RunWithoutDisplay({"-f", "/nonexistent-folder/missing.bmk", "-x"});
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
}

}
