// sfxtool run as a user runs it, in a temporary folder: exit statuses, the
// shape of its output, and round trips through installers and the registry
// store. What the commands compute is tested in the folders of the code they
// call; here it is the wiring.
#include "tests/package/PackageTestUtil.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>

#include <sys/wait.h>

namespace {

using namespace pkgtest;

std::string Quote(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
    // stderr is one line that starts with the tool's name.
    bool OneErrorLine() const { return err.starts_with("sfxtool: ") && std::count(err.begin(), err.end(), '\n') == 1; }
};

class SfxtoolTest : public testing::Test {
protected:
    SfxtoolTest()
    {
        WriteTextFile(P("sfxpack"), m_stub);
        WriteTextFile(P("a.txt"), "alpha\n");
        WriteTextFile(P("data.txt"), "data lines\r\n");
        WriteTextFile(P("setup.ini"), m_script);
    }

    std::string P(const std::string& name) const { return m_dir / name; }

    // Runs "env ENV... sfxtool ARGS..." in the test's folder.
    ToolRun Run(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) const
    {
        std::string command = "cd " + Quote(m_dir.Path()) + " && env SFXTOOL_REGISTRY_DIR=" + Quote(P("store"));
        for (const std::string& arg : env)
            command += " " + Quote(arg);
        command += " " + Quote(SFXTOOL_PATH);
        for (const std::string& arg : args)
            command += " " + Quote(arg);
        command += " 2>" + Quote(P("stderr.txt"));
        ToolRun run;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
                run.out.append(buffer, n);
            const int wait = ::pclose(pipe);
            run.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
        }
        run.err = ReadTextFile(P("stderr.txt"));
        return run;
    }

    CTempDir m_dir;
    const std::string m_stub = std::string(4000, 'S') + std::string(4, '\0');
    const std::string m_script = "[Setup]\r\nOutputFile=setup.bin\r\n[Files]\r\na.txt\r\n\r\ndata.txt\r\n"
                                 "[Tasks]\r\nExtractFile: setup.exe To: C:\\Program Files\\App\\setup.exe\r\n"
                                 "Run: tool.exe Param: a=b\r\n";
};

TEST_F(SfxtoolTest, UsageAndUnreadableFilesExitWithTwo)
{
    const std::vector<std::string> cases[] = {
        {},
        {"pairs", "setup.ini"},
        {"pairs", "missing.ini", "Tasks"},
        {"key", "/", "OutputFile"},
        {"reg", "set-string", "HKEY_CURRENT_USER", "Software", "Name"},
        {"reg", "query", "a", "b", "c", "d"},
        {"build", "missing.ini", "--stub", "sfxpack"},
        {"build", "setup.ini", "--stub", "missing"},
        {"verify", "missing"},
    };
    for (const auto& args : cases) {
        const ToolRun run = Run(args);
        EXPECT_EQ(run.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(run.out, "") << testing::PrintToString(args);
        EXPECT_TRUE(run.err.starts_with("sfxtool: ")) << run.err;
    }
    for (const char* command : {"pairs", "expand", "build", "extract", "verify", "reg"}) {
        const ToolRun run = Run({command, "--help"});
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_NE(run.out.find("Usage:"), std::string::npos) << command;
    }
}

TEST_F(SfxtoolTest, ScriptCommandsPrintJson)
{
    const std::string toolDir = fs::canonical(SFXTOOL_PATH).parent_path().string();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"pairs", "setup.ini", "Tasks"}, "[\"ExtractFile:\",\"setup.exe\",\" To\",\"C:\\\\Program Files\\\\App\\\\setup.exe\","
                                          "\"Run: tool.exe Param: a:\",\"b\"]\n"},
        {{"pairs", "setup.ini", "tasks"}, "[]\n"},
        {{"lines", "setup.ini", "Files"}, "[\"[Files]\",\"a.txt\",\"data.txt\"]\n"},
        {{"key", "setup.ini", "OutputFile"}, "\"setup.bin\"\n"},
        {{"expand", " WINDIR\\notepad "}, "\"/usr/bin\\\\notepad\"\n"},
        {{"expand", "--dir", "CURDIR/x"}, "\"" + toolDir + "/x\\\\\"\n"},
    };
    for (const auto& [args, out] : cases) {
        const ToolRun run = Run(args);
        EXPECT_EQ(run.status, 0) << args[0];
        EXPECT_EQ(run.out, out);
    }
}

TEST_F(SfxtoolTest, RegWritesAndReadsTheStore)
{
    const std::vector<std::string> writes[] = {
        {"set-string", "HKEY_CURRENT_USER", "Software\\My App", "Path", "C:\\Apps\\\"My\" App"},
        {"set-dword", "HKEY_CURRENT_USER", "software\\my app", "Count", "12abc"},
        {"set-dword", "HKEY_CURRENT_USER", "Software\\My App", "Minus", "-1"},
        {"set-string", "HKEY_CURRENT_USER", "", "", "Grüße"},
        {"create-key", "HKEY_CURRENT_USER", "Software\\Empty"},
    };
    for (const auto& args : writes) {
        std::vector<std::string> command{"reg"};
        command.insert(command.end(), args.begin(), args.end());
        const ToolRun run = Run(command);
        EXPECT_EQ(run.status, 0) << args[0] << ": " << run.err;
        EXPECT_EQ(run.out, "");
    }
    ToolRun run = Run({"reg", "export", "HKEY_CURRENT_USER"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, ReadTextFile(P("store/HKEY_CURRENT_USER.reg")));
    EXPECT_TRUE(run.out.starts_with("REGEDIT4\n\n[HKEY_CURRENT_USER]\n@=\"Grüße\"\n")) << run.out;
    EXPECT_NE(run.out.find("\"Count\"=dword:0000000c\n\"Minus\"=dword:ffffffff\n\n[HKEY_CURRENT_USER\\Software\\Empty]"),
              std::string::npos) << run.out;
    run = Run({"reg", "query", "HKEY_CURRENT_USER", "SOFTWARE\\MY APP", "path"});
    EXPECT_EQ(run.out, "{\"name\":\"Path\",\"type\":\"REG_SZ\",\"data\":\"C:\\\\Apps\\\\\\\"My\\\" App\"}\n");
    run = Run({"reg", "query", "HKEY_CURRENT_USER", "Software\\My App"});
    EXPECT_EQ(nlohmann::json::parse(run.out).at(2).dump(), "{\"data\":4294967295,\"name\":\"Minus\",\"type\":\"REG_DWORD\"}");

    // What is missing or broken: status 1 and one line.
    run = Run({"reg", "query", "HKEY_CURRENT_USER", "Software", "Other"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "sfxtool: no value \"Other\" in HKEY_CURRENT_USER\\Software\n");
    WriteTextFile(P("store/HKEY_USERS.reg"), "REGEDIT4\n\n[HKEY_USERS]\nnot a value\n");
    run = Run({"reg", "create-key", "HKEY_USERS", "New"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.OneErrorLine()) << run.err;

    // --store wins over the environment.
    EXPECT_EQ(Run({"reg", "set-string", "HKEY_USERS", "k", "n", "v", "--store", P("other")}).status, 0);
    EXPECT_TRUE(fs::exists(P("other/HKEY_USERS.reg")));
}

TEST_F(SfxtoolTest, BuildThenLookInside)
{
    ToolRun run = Run({"build", "setup.ini", "--stub", "sfxpack"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Adding a.txt...\nAdding data.txt...\nAdding todo data...\nDone creating sfx\nFile setup.bin created.\n");
    EXPECT_EQ(run.out, "");

    run = Run({"list", "setup.bin"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "data.txt\t12\na.txt\t6\n");
    run = Run({"list", "setup.bin", "--json"});
    EXPECT_EQ(nlohmann::json::parse(run.out).dump(),
              "[{\"length\":12,\"name\":\"data.txt\",\"offset\":4032},{\"length\":6,\"name\":\"a.txt\",\"offset\":4008}]");

    // The installer's substring rule: a.txt is found in data.txt first.
    EXPECT_EQ(Run({"extract", "setup.bin", "a.txt", "got.txt"}).status, 0);
    EXPECT_EQ(ReadTextFile(P("got.txt")), "data lines\r\n");
    run = Run({"extract", "setup.bin", "A.TXT", "got.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "sfxtool: Cannot find A.TXT in this file.\n");
    EXPECT_EQ(Run({"extract", "setup.bin", "data", "no/such/dir/x"}).status, 2);
    EXPECT_EQ(Run({"extract-all", "setup.bin", "all"}).status, 0);
    EXPECT_EQ(ReadTextFile(P("all/a.txt")) + ReadTextFile(P("all/data.txt")), "alpha\ndata lines\r\n");

    run = Run({"script", "setup.bin"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, m_script);

    run = Run({"info", "setup.bin", "--json"});
    ASSERT_EQ(run.status, 0);
    const auto info = nlohmann::json::parse(run.out);
    EXPECT_EQ(info["size"], fs::file_size(P("setup.bin")));
    EXPECT_EQ(info["stub"], 4004);
    EXPECT_EQ(info["files"], 2);
    EXPECT_EQ(info["script"], m_script.size());
    EXPECT_TRUE(info["compiled"].get<std::string>().starts_with(" Compiled : "));

    run = Run({"verify", "setup.bin"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "setup.bin: ok, 2 files, package of " + std::to_string(fs::file_size(P("setup.bin")) - 4004)
                           + " bytes behind a stub of 4004 bytes\n");
}

TEST_F(SfxtoolTest, BuildOutputAndFailures)
{
    ASSERT_EQ(Run({"build", "setup.ini", "--stub", "sfxpack", "-o", "other.bin"}).status, 0);
    EXPECT_TRUE(fs::exists(P("other.bin")));
    EXPECT_FALSE(fs::exists(P("setup.bin")));
    // Without OutputFile or -o: myapp.exe beside the stub.
    fs::create_directory(P("stubdir"));
    fs::copy_file(P("sfxpack"), P("stubdir/sfxpack"));
    WriteTextFile(P("plain.ini"), "[Files]\r\na.txt\r\n");
    ASSERT_EQ(Run({"build", "plain.ini", "--stub", "stubdir/sfxpack"}).status, 0);
    EXPECT_TRUE(fs::exists(P("stubdir/myapp.exe")));

    WriteTextFile(P("missing.ini"), "[Files]\r\na.txt\r\nnothere.txt\r\n");
    ToolRun run = Run({"build", "missing.ini", "--stub", "sfxpack"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Error : Cannot find nothere.txt to add to sfx.\n"), std::string::npos) << run.err;
    run = Run({"build", "setup.ini", "--stub", "sfxpack", "-o", "sfxpack"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadTextFile(P("sfxpack")), m_stub);
}

TEST_F(SfxtoolTest, BadInstallersFailWithOneLine)
{
    ASSERT_EQ(Run({"build", "setup.ini", "--stub", "sfxpack"}).status, 0);
    const std::string good = ReadTextFile(P("setup.bin"));
    std::string nameTooLong = good;
    nameTooLong.replace(4008 + 6 + 6 + 12 + 12 + 9, 4, Int32(300));
    const std::pair<std::string, std::string> cases[] = {
        {"sfxpack", m_stub},
        {"truncated", good.substr(0, good.size() - 100)},
        {"extended", good + "signature"},
        {"name too long", nameTooLong},
    };
    for (const auto& [label, bytes] : cases) {
        WriteTextFile(P("bad.bin"), bytes);
        for (const char* command : {"verify", "list"}) {
            const ToolRun run = Run({command, "bad.bin"});
            EXPECT_EQ(run.status, 1) << label << " " << command;
            EXPECT_TRUE(run.OneErrorLine()) << label << ": " << run.err;
        }
        EXPECT_EQ(Run({"verify", "bad.bin"}).out, "") << label;
    }
}

TEST_F(SfxtoolTest, ExtractAllKeepsHostileNamesOut)
{
    WriteTextFile(P("evil.bin"), m_stub + Int32(kStubMarker) + FileRecord("plain", "ok.txt") + FileRecord("evil", "../evil.txt")
                                 + FileRecord("deep", "..\\deep.txt") + TextBlock(" Compiled : x") + TextBlock("s"));
    const ToolRun run = Run({"extract-all", "evil.bin", "out"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("sfxtool: Cannot extract ../evil.txt: a stored name must be a plain file name.\n"), std::string::npos) << run.err;
    EXPECT_EQ(ReadTextFile(P("out/ok.txt")), "plain");
    EXPECT_FALSE(fs::exists(P("evil.txt")) || fs::exists(P("deep.txt")) || fs::exists(P("out/..\\deep.txt")));
    EXPECT_EQ(std::distance(fs::directory_iterator(P("out")), fs::directory_iterator()), 1);
}

} // namespace
