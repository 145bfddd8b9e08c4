// sfxtool pairs, lines, key and expand, run as a separate process.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int status = -1;
    std::string out;
};

std::string ShellQuote(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs "env ENV... sfxtool ARGS..." and collects stdout; stderr is dropped.
RunResult RunTool(const std::vector<std::string>& args, const std::vector<std::string>& env = {})
{
    std::string command = "env";
    for (const std::string& setting : env)
        command += " " + ShellQuote(setting);
    command += " " + ShellQuote(SFXTOOL_PATH);
    for (const std::string& arg : args)
        command += " " + ShellQuote(arg);
    command += " 2>/dev/null";

    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.out.append(buffer, n);
    const int wait = pclose(pipe);
    result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    return result;
}

class ScriptCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("sfx-tool-" + std::to_string(getpid()));
        fs::create_directories(m_dir);
        m_script = (m_dir / "setup.ini").string();
        std::ofstream(m_script, std::ios::binary)
            << "[Setup]\r\nTitle=My App\r\nOutputFile=out.exe ;x\r\n"
               "[Files]\r\na.txt\r\n\r\nb c.txt\r\n"
               "[Tasks]\r\nExtractFile: setup.exe To: C:\\Program Files\\App\\setup.exe\r\n";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
    std::string m_script;
};

struct OutputCase {
    const char* name;
    std::vector<std::string> args; // "SCRIPT" stands for the test's script file
    std::string out;
};

// Failure messages name the case rather than dumping its bytes.
void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

class ScriptOutputTest : public ScriptCommandsTest, public testing::WithParamInterface<OutputCase> {};

TEST_P(ScriptOutputTest, PrintsJson)
{
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args)
        if (arg == "SCRIPT")
            arg = m_script;
    const RunResult run = RunTool(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Script, ScriptOutputTest, testing::Values(
    OutputCase{"Pairs", {"pairs", "SCRIPT", "Tasks"},
               "[\"ExtractFile:\",\"setup.exe\",\" To\",\"C:\\\\Program Files\\\\App\\\\setup.exe\"]\n"},
    OutputCase{"PairsOfMissingSection", {"pairs", "SCRIPT", "tasks"}, "[]\n"},
    OutputCase{"Lines", {"lines", "SCRIPT", "Files"}, "[\"[Files]\",\"a.txt\",\"b c.txt\"]\n"},
    OutputCase{"Key", {"key", "SCRIPT", "OutputFile"}, "\"out.exe ;x\"\n"},
    OutputCase{"MissingKey", {"key", "SCRIPT", "Size"}, "\"\"\n"},
    OutputCase{"ExpandWindir", {"expand", " WINDIR\\notepad "}, "\"/usr/bin\\\\notepad\"\n"},
    OutputCase{"ExpandDirAddsBackslash", {"expand", "--dir", "WINDIR"}, "\"/usr/bin\\\\\"\n"},
    OutputCase{"ExpandLowerCaseUnchanged", {"expand", "windir"}, "\"windir\"\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptCommandsTest, ExpandCurdirIsToolFolder)
{
    const std::string folder = fs::canonical(SFXTOOL_PATH).parent_path().string();
    const RunResult run = RunTool({"expand", "CURDIR/x"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "\"" + folder + "/x\"\n");
}

TEST_F(ScriptCommandsTest, ExpandDskdirFromHome)
{
    const std::string home = (m_dir / "home").string();
    const RunResult run = RunTool({"expand", "DSKDIR/MyApp"}, {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/none"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "\"" + home + "/Desktop/MyApp\"\n");
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

class UsageErrorTest : public ScriptCommandsTest, public testing::WithParamInterface<UsageCase> {};

TEST_P(UsageErrorTest, ExitsWithTwoAndPrintsNothing)
{
    const RunResult run = RunTool(GetParam().args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(Script, UsageErrorTest, testing::Values(
    UsageCase{"PairsMissingFile", {"pairs", "/nonexistent/setup.ini", "Tasks"}},
    UsageCase{"LinesMissingFile", {"lines", "/nonexistent/setup.ini", "Files"}},
    UsageCase{"KeyMissingFile", {"key", "/nonexistent/setup.ini", "OutputFile"}},
    UsageCase{"KeyOfDirectory", {"key", "/", "OutputFile"}},
    UsageCase{"PairsWithoutSection", {"pairs", "/nonexistent/setup.ini"}},
    UsageCase{"ExpandWithoutText", {"expand"}},
    UsageCase{"ExpandUnknownOption", {"expand", "--bogus", "WINDIR"}},
    UsageCase{"UnknownCommand", {"explode"}},
    UsageCase{"NoCommand", {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
