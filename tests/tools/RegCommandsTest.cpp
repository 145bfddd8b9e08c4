// sfxtool reg, run as a separate process against a store in a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};

class RegCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::path(testing::TempDir()) / "sfx-reg-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        m_store = m_dir / "store";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Runs "sfxtool reg ARGS..." on the test's store (through the environment).
    ToolResult Reg(const std::vector<std::string>& args)
    {
        const fs::path err = m_dir / "stderr";
        std::string command = "SFXTOOL_REGISTRY_DIR=" + Quote(m_store.string()) + " " + Quote(SFXTOOL_PATH) + " reg";
        for (const std::string& arg : args)
            command += " " + Quote(arg);
        command += " 2>" + Quote(err.string());
        ToolResult result;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe)
            return result;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            result.out.append(buffer, n);
        const int wait = ::pclose(pipe);
        result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
        result.err = ReadText(err);
        return result;
    }

    fs::path m_dir;
    fs::path m_store;
};

TEST_F(RegCommandsTest, WritesAndReadsBackAsTheInstallerWould)
{
    const std::vector<std::vector<std::string>> writes = {
        {"set-string", "HKEY_CURRENT_USER\\Software", "Software\\My App", "Path", "C:\\Apps\\\"My\" App"},
        {"set-dword", "HKEY_CURRENT_USER", "software\\my app", "Count", "12abc"},
        {"set-dword", "HKEY_CURRENT_USER", "Software\\My App", "Minus", "-1"},
        {"set-dword", "HKEY_CURRENT_USER", "Software\\My App", "Word", "abc"},
        {"set-string", "HKEY_CURRENT_USER", "", "", "Grüße"},
        {"create-key", "HKEY_CURRENT_USER", "Software\\Empty"},
    };
    for (const auto& args : writes) {
        const ToolResult result = Reg(args);
        EXPECT_EQ(result.status, 0) << args[0] << ": " << result.err;
        EXPECT_EQ(result.out, "");
    }

    ToolResult result = Reg({"export", "HKEY_CURRENT_USER"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "REGEDIT4\n\n"
                          "[HKEY_CURRENT_USER]\n@=\"Grüße\"\n\n"
                          "[HKEY_CURRENT_USER\\Software]\n\n"
                          "[HKEY_CURRENT_USER\\Software\\My App]\n"
                          "\"Path\"=\"C:\\\\Apps\\\\\\\"My\\\" App\"\n"
                          "\"Count\"=dword:0000000c\n"
                          "\"Minus\"=dword:ffffffff\n"
                          "\"Word\"=dword:00000000\n\n"
                          "[HKEY_CURRENT_USER\\Software\\Empty]\n\n");
    EXPECT_EQ(result.out, ReadText(m_store / "HKEY_CURRENT_USER.reg"));

    result = Reg({"query", "HKEY_CURRENT_USER", "SOFTWARE\\MY APP", "path"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "{\"name\":\"Path\",\"type\":\"REG_SZ\",\"data\":\"C:\\\\Apps\\\\\\\"My\\\" App\"}\n");
    result = Reg({"query", "HKEY_CURRENT_USER", "Software\\My App"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("{\"name\":\"Minus\",\"type\":\"REG_DWORD\",\"data\":4294967295}"), std::string::npos);
    result = Reg({"query", "HKEY_CURRENT_USER", "", ""});
    EXPECT_EQ(result.out, "{\"name\":\"\",\"type\":\"REG_SZ\",\"data\":\"Grüße\"}\n");
    result = Reg({"query", "HKEY_CURRENT_USER", "Software\\Empty"});
    EXPECT_EQ(result.out, "[]\n");
}

TEST_F(RegCommandsTest, ReadsTheRootNameAsTheInstallerDoes)
{
    EXPECT_EQ(Reg({"create-key", "hkey_current_user", "Lower"}).status, 0);
    EXPECT_EQ(Reg({"create-key", "HKEY_USERS HKEY_LOCAL_MACHINE", "Both"}).status, 0);
    EXPECT_NE(ReadText(m_store / "HKEY_CLASSES_ROOT.reg").find("[HKEY_CLASSES_ROOT\\Lower]"), std::string::npos);
    EXPECT_NE(ReadText(m_store / "HKEY_LOCAL_MACHINE.reg").find("[HKEY_LOCAL_MACHINE\\Both]"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_store / "HKEY_USERS.reg"));
}

TEST_F(RegCommandsTest, ReportsWhatIsMissingOrBroken)
{
    ASSERT_EQ(Reg({"set-string", "HKEY_CURRENT_USER", "Software", "Name", "x"}).status, 0);
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case missing[] = {
        {{"query", "HKEY_CURRENT_USER", "Software\\Nothing"}, "sfxtool: no key HKEY_CURRENT_USER\\Software\\Nothing\n"},
        {{"query", "HKEY_CURRENT_USER", "Software", "Other"}, "sfxtool: no value \"Other\" in HKEY_CURRENT_USER\\Software\n"},
        {{"query", "HKEY_CURRENT_USER", "Software", ""}, "sfxtool: no default value in HKEY_CURRENT_USER\\Software\n"},
    };
    for (const Case& c : missing) {
        const ToolResult result = Reg(c.args);
        EXPECT_EQ(result.status, 1) << c.message;
        EXPECT_EQ(result.err, c.message);
        EXPECT_EQ(result.out, "");
    }

    const std::string damaged = "REGEDIT4\n\n[HKEY_CURRENT_USER]\nnot a value\n";
    std::ofstream(m_store / "HKEY_CURRENT_USER.reg", std::ios::binary) << damaged;
    const std::vector<std::string> commands[] = {
        {"set-string", "HKEY_CURRENT_USER", "Software", "Name", "y"},
        {"set-dword", "HKEY_CURRENT_USER", "Software", "Name", "1"},
        {"create-key", "HKEY_CURRENT_USER", "New"},
        {"query", "HKEY_CURRENT_USER", "Software"},
        {"export", "HKEY_CURRENT_USER"},
    };
    for (const auto& args : commands) {
        const ToolResult result = Reg(args);
        EXPECT_EQ(result.status, 1) << args[0];
        EXPECT_EQ(result.err.rfind("sfxtool: cannot parse " + (m_store / "HKEY_CURRENT_USER.reg").string() + ", line 4", 0), 0u)
            << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    EXPECT_EQ(ReadText(m_store / "HKEY_CURRENT_USER.reg"), damaged);
}

TEST_F(RegCommandsTest, UsageErrorsAndHelp)
{
    EXPECT_EQ(Reg({}).status, 2);
    EXPECT_EQ(Reg({"set-string", "HKEY_CURRENT_USER", "Software", "Name"}).status, 2);
    EXPECT_EQ(Reg({"export"}).status, 2);
    EXPECT_EQ(Reg({"query", "a", "b", "c", "d"}).status, 2);
    for (const char* command : {"create-key", "set-string", "set-dword", "query", "export"}) {
        const ToolResult result = Reg({command, "--help"});
        EXPECT_EQ(result.status, 0) << command;
        EXPECT_NE(result.out.find("sfxtool reg " + std::string(command)), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("SFXTOOL_REGISTRY_DIR"), std::string::npos) << command;
    }
}

TEST_F(RegCommandsTest, StoreOptionWinsOverTheEnvironment)
{
    const fs::path other = m_dir / "other";
    EXPECT_EQ(Reg({"set-string", "HKEY_USERS", "k", "n", "v", "--store", other.string()}).status, 0);
    EXPECT_TRUE(fs::exists(other / "HKEY_USERS.reg"));
    EXPECT_FALSE(fs::exists(m_store));
}

} // namespace
