// Starting programs without a shell: parameters become arguments as they are
// written, and the program is detached.
#include "platform/posix/PosixShell.h"
#include "tests/platform/PlatformTestUtil.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class PosixShellTest : public testing::Test {
protected:
    PosixShellTest()
    {
        // Records its arguments one per line, then its parent.
        WriteText(m_script, "#!/bin/sh\nout=\"" + (m_dir / "argv.txt") + "\"\n"
                            "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$out.tmp\"\n"
                            "echo \"parent=$PPID\" >> \"$out.tmp\"\nmv \"$out.tmp\" \"$out\"\n");
        fs::permissions(m_script, fs::perms(0755));
    }

    // What the detached program recorded, once it has: within 30 seconds,
    // as a loaded machine may start it late.
    std::string Recorded() const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!fs::exists(m_dir / "argv.txt") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return ReadTextFile(m_dir / "argv.txt");
    }

    CTempDir m_dir;
    std::string m_script = m_dir / "record.sh";
    CPosixShell m_shell;
};

TEST_F(PosixShellTest, AnExecutableGetsItsParametersAsArgumentsAndNoShellReadsThem)
{
    // A backslash separates folders, as in a Windows-style script. Blanks
    // and tabs separate; double quotes group, also inside a word and unclosed.
    ASSERT_TRUE(m_shell.Open(m_dir.Path() + "\\record.sh", "  one\t\"two words\" x\"y z\"w ; $(touch pwned) `touch pwned2` $HOME >x \"unclosed b"));
    const std::string recorded = Recorded();
    EXPECT_EQ(recorded.substr(0, recorded.find("parent=")),
              "[one]\n[two words]\n[xy zw]\n[;]\n[$(touch]\n[pwned)]\n[`touch]\n[pwned2`]\n[$HOME]\n[>x]\n[unclosed b]\n");
    // Detached: the program is not our child, and nothing is left to reap.
    EXPECT_EQ(recorded.find("parent=" + std::to_string(::getpid()) + "\n"), std::string::npos);
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(PosixShellTest, AnyOtherFileGoesToTheDesktopsOpenerAndFailuresAreReported)
{
    // A stand-in xdg-open first on PATH records what it was given.
    fs::create_directories(m_dir / "bin");
    fs::copy_file(m_script, m_dir / "bin/xdg-open");
    WriteText(m_dir / "notes.txt", "text");
    // An empty PATH entry would mean the current folder.
    CScopedEnv pathEnv("PATH", (m_dir / "bin") + "::/usr/bin:/bin");
    ASSERT_TRUE(m_shell.Open(m_dir / "notes.txt", "ignored params"));
    EXPECT_TRUE(Recorded().starts_with(std::string("[").append(m_dir / "notes.txt").append("]\nparent=")));

    EXPECT_FALSE(m_shell.Open(m_dir / "missing", "a"));
    // A bare name is looked up on PATH only, never in the current folder.
    const fs::path previous = fs::current_path();
    fs::current_path(m_dir.Path());
    EXPECT_FALSE(m_shell.Open("record.sh", ""));
    fs::current_path(previous);
    // Executable bits on a file the kernel refuses to run, with no interpreter line.
    WriteText(m_dir / "bad", std::string("\x7F" "ELF garbage", 12));
    fs::permissions(m_dir / "bad", fs::perms(0755));
    EXPECT_FALSE(m_shell.Open(m_dir / "bad", ""));
}

} // namespace
