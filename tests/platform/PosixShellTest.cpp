#include "platform/posix/PosixShell.h"
#include "tests/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(SplitParams, BlanksSeparateAndDoubleQuotesGroup)
{
    const struct {
        const char* params;
        std::vector<std::string> args;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"  a   b  ", {"a", "b"}},
        {"\"a b\" c", {"a b", "c"}},
        {"x\"y z\"w", {"xy zw"}},
        {"\"\"", {""}},
        {"a \"unclosed b", {"a", "unclosed b"}},
        {"; $(rm -rf x) `id` | &&", {";", "$(rm", "-rf", "x)", "`id`", "|", "&&"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitParams(c.params), c.args) << c.params;
}

// Polls for a file that a detached program writes.
std::string WaitForFile(const std::string& path)
{
    for (int i = 0; i < 500; ++i) {
        std::ifstream in(path);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!text.empty() && text.back() == '\n')
            return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

class PosixShellTest : public ::testing::Test {
protected:
    PosixShellTest()
    {
        // Records its arguments one per line, then its parent and session.
        m_script = m_dir / "record.sh";
        std::ofstream(m_script) << "#!/bin/sh\nout=\"" << (m_dir / "argv.txt") << "\"\n"
                                << "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$out.tmp\"\n"
                                << "echo \"parent=$PPID\" >> \"$out.tmp\"\n"
                                << "mv \"$out.tmp\" \"$out\"\n";
        ::chmod(m_script.c_str(), 0755);
    }

    CTempDir m_dir;
    std::string m_script;
    CPosixShell m_shell;
};

TEST_F(PosixShellTest, AnExecutableGetsItsParametersAsArgumentsAndNoShellReadsThem)
{
    ASSERT_TRUE(m_shell.Open(m_script, "one \"two words\" ; $(touch pwned) `touch pwned2` $HOME >x"));
    const std::string recorded = WaitForFile(m_dir / "argv.txt");
    EXPECT_EQ(recorded.substr(0, recorded.find("parent=")),
              "[one]\n[two words]\n[;]\n[$(touch]\n[pwned)]\n[`touch]\n[pwned2`]\n[$HOME]\n[>x]\n");
    EXPECT_FALSE(fs::exists(m_dir / "pwned"));
    EXPECT_FALSE(fs::exists("pwned"));
    EXPECT_FALSE(fs::exists(m_dir / "x"));
    // Detached: the program is not our child, and nothing is left to reap.
    EXPECT_EQ(recorded.find("parent=" + std::to_string(::getpid()) + "\n"), std::string::npos);
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(PosixShellTest, BackslashesSeparateFoldersAndEmptyParamsGiveNoArguments)
{
    std::string windowsStyle = m_script;
    for (char& c : windowsStyle) {
        if (c == '/')
            c = '\\';
    }
    ASSERT_TRUE(m_shell.Open(windowsStyle, ""));
    EXPECT_EQ(WaitForFile(m_dir / "argv.txt").find("parent="), 0u);
}

TEST_F(PosixShellTest, AMissingFileStartsNothing)
{
    EXPECT_FALSE(m_shell.Open(m_dir / "missing", "a"));
    EXPECT_FALSE(m_shell.Open("", ""));
}

TEST_F(PosixShellTest, AnyOtherFileGoesToTheDesktopsOpener)
{
    // A stand-in xdg-open first on PATH records what it was given.
    const std::string bin = m_dir / "bin";
    fs::create_directories(bin);
    fs::copy_file(m_script, bin + "/xdg-open");
    const std::string document = m_dir / "notes.txt";
    std::ofstream(document) << "text";
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath ? oldPath : "";
    ::setenv("PATH", (bin + ":" + savedPath).c_str(), 1);
    const bool opened = m_shell.Open(document, "ignored params");
    ::setenv("PATH", savedPath.c_str(), 1);
    ASSERT_TRUE(opened);
    const std::string recorded = WaitForFile(m_dir / "argv.txt");
    EXPECT_EQ(recorded.substr(0, recorded.find("parent=")), "[" + document + "]\n");
}

TEST_F(PosixShellTest, AFileThatCannotBeExecutedIsReportedAsNotStarted)
{
    // Executable bits on a file the kernel refuses to run, with no
    // interpreter line.
    const std::string bad = m_dir / "bad";
    std::ofstream(bad, std::ios::binary) << std::string("\x7F" "ELF garbage", 12);
    ::chmod(bad.c_str(), 0755);
    EXPECT_FALSE(m_shell.Open(bad, ""));
}

} // namespace
