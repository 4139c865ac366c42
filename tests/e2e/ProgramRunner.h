#pragma once

// Starts the real program as a script would: in the test's directory, with
// no display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM removed, so the
// program picks the offscreen platform itself), standard output and error
// caught in files, and a bounded wait for the process to end.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace e2e {

struct ProgramResult
{
    bool bEnded = false;   // false: it did not end in time and was killed
    int nStatus = -1;      // exit status when it exited normally
    std::string out;
    std::string err;
};

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Runs the program in dir; its output is kept in dir's stdout.txt and stderr.txt.
inline ProgramResult RunProgram(const std::vector<std::string>& args, const std::filesystem::path& dir,
                                int nTimeoutSeconds = 120)
{
    ProgramResult result;
    const std::string outPath = (dir / "stdout.txt").string();
    const std::string errPath = (dir / "stderr.txt").string();

    std::vector<std::string> env;
    for (char** p = environ; *p; ++p) {
        const std::string entry = *p;
        if (entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("WAYLAND_DISPLAY=", 0) == 0 ||
            entry.rfind("QT_QPA_PLATFORM=", 0) == 0)
            continue;
        env.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    std::vector<std::string> argv = {TARNWICK_PROGRAM};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argvp;
    for (std::string& a : argv)
        argvp.push_back(a.data());
    argvp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int nSpawn = posix_spawn(&pid, argvp[0], &actions, nullptr, argvp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (nSpawn != 0) {
        ADD_FAILURE() << "cannot start " << argvp[0] << ": " << std::strerror(nSpawn);
        return result;
    }

    // Wait on the process's descriptor, with a limit, so a hung program
    // fails the test instead of stalling it.
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd pfd{pidfd, POLLIN, 0};
        if (poll(&pfd, 1, nTimeoutSeconds * 1000) != 1)
            kill(pid, SIGKILL);
        close(pidfd);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.bEnded = WIFEXITED(status);
    result.nStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

// A result file in the XML form, as the program writes it (CR LF lines).
struct BmkSettings
{
    std::string drive;
    uint32_t iosize1 = 4096;
    uint32_t iosize2 = 4096;
    uint64_t filesize = 65536;
    unsigned queuedepth = 1;
    bool directio = false;
    bool verifydata = false;
};

inline std::string BmkText(const BmkSettings& s)
{
    auto escape = [](const std::string& text) {
        std::string out;
        for (char c : text) {
            switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
            }
        }
        return out;
    };
    auto flag = [](bool b) { return b ? "true" : "false"; };
    const std::vector<std::string> lines = {
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
        "<benchmark>",
        "  <drive>" + escape(s.drive) + "</drive>",
        "  <description>end-to-end test</description>",
        std::string("  <verifydata>") + flag(s.verifydata) + "</verifydata>",
        std::string("  <directio>") + flag(s.directio) + "</directio>",
        "  <bypasswritecache>false</bypasswritecache>",
        "  <continuousio>false</continuousio>",
        "  <ioruntime>30</ioruntime>",
        "  <queuedepth>" + std::to_string(s.queuedepth) + "</queuedepth>",
        "  <pattern>0</pattern>",
        "  <iosize1>" + std::to_string(s.iosize1) + "</iosize1>",
        "  <iosize2>" + std::to_string(s.iosize2) + "</iosize2>",
        "  <filesize>" + std::to_string(s.filesize) + "</filesize>",
        "  <rates/>",
        "</benchmark>",
    };
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// A temporary directory for one test, removed afterwards.
class CTempDir
{
public:
    CTempDir()
    {
        char szTemplate[] = "/tmp/tarnwick-e2e-XXXXXX";
        const char* psz = mkdtemp(szTemplate);
        EXPECT_NE(psz, nullptr);
        m_path = psz ? psz : "/tmp";
    }
    ~CTempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}
