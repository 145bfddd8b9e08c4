// sfxtool run as a user runs it, in a temporary folder: exit statuses, one-
// line errors and the shapes of its output. What the commands compute is
// tested with the code they call; here it is the wiring.
#include "tests/fakes/PosixTestUtil.h"
#include "tests/package/PackageTestUtil.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>

#include <sys/stat.h>
#include <sys/wait.h>

namespace {

using namespace pkgtest;

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

    // Runs sfxtool ARGS... in the test's folder, with a registry store there.
    // No argument here holds a single quote.
    // A run that blocks is killed at a deadline. limits: ulimit options.
    ToolRun Run(const std::vector<std::string>& args, const std::string& limits = "") const
    {
        std::string command = "cd '" + m_dir.Path() + "' && " + (limits.empty() ? "" : "ulimit " + limits + " && ")
            + "SFXTOOL_REGISTRY_DIR=store timeout -s KILL 60 '" SFXTOOL_PATH "'";
        for (const std::string& arg : args)
            command.append(" '").append(arg).append("'");
        const int wait = std::system((command + " >.out 2>.err").c_str());
        return {WIFEXITED(wait) ? WEXITSTATUS(wait) : -1, ReadTextFile(P(".out")), ReadTextFile(P(".err"))};
    }

    // The output of a run that must succeed.
    std::string Out(const std::vector<std::string>& args) const
    {
        const ToolRun run = Run(args);
        EXPECT_EQ(run.status, 0) << testing::PrintToString(args) << ": " << run.err;
        return run.out;
    }

    CTempDir m_dir;
    const std::string m_stub = std::string(4000, 'S') + std::string(4, '\0');
    const std::string m_script = "[Setup]\r\nOutputFile=setup.bin\r\n[Files]\r\na.txt\r\n\r\ndata.txt\r\n"
                                 "[Tasks]\r\nRun: C:\\tool.exe Param: -v\r\n";
};

TEST_F(SfxtoolTest, UsageAndUnreadableFilesExitWithTwo)
{
    const std::vector<std::string> cases[] = {
        {"pairs", "setup.ini"}, {"key", "/", "OutputFile"}, {"build", "setup.ini", "--stub", "missing"}, {"build", "pipe.ini"},
    };
    ASSERT_EQ(::mkfifo(P("pipe.ini").c_str(), 0644), 0);
    for (const auto& args : cases) {
        const ToolRun run = Run(args);
        EXPECT_EQ(run.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(run.out, "") << testing::PrintToString(args);
        EXPECT_TRUE(run.err.starts_with("sfxtool: ")) << run.err;
    }
    EXPECT_NE(Out({"build", "--help"}).find("Usage:"), std::string::npos);
}

TEST_F(SfxtoolTest, ScriptCommandsPrintJson)
{
    EXPECT_EQ(Out({"pairs", "setup.ini", "Tasks"}), "[\"Run:\",\"C:\\\\tool.exe\",\" Param\",\"-v\"]\n");
    EXPECT_EQ(Out({"pairs", "setup.ini", "Missing"}), "[]\n");
    EXPECT_EQ(Out({"lines", "setup.ini", "Files"}), "[\"[Files]\",\"a.txt\",\"data.txt\"]\n");
    EXPECT_EQ(Out({"key", "setup.ini", "OutputFile"}), "\"setup.bin\"\n");
    EXPECT_EQ(Out({"expand", "--dir", " WINDIR\\x "}), "\"/usr/bin\\\\x\\\\\"\n");
}

TEST_F(SfxtoolTest, CheckAndExplainExitAndPrintJson)
{
    // Warnings alone exit 0; an error exits 1.
    ToolRun run = Run({"check", "setup.ini", "--json"});
    EXPECT_EQ(run.status, 0) << run.err;
    const nlohmann::json findings = nlohmann::json::parse(run.out);
    ASSERT_EQ(findings.size(), 4u) << run.out;
    EXPECT_EQ(findings[1]["line"], 4);
    EXPECT_EQ(findings[1]["severity"], "warning");
    EXPECT_EQ(findings[1]["id"], "shadowed-name");
    WriteTextFile(P("bad.ini"), "[Tasks]\r\nMoveFile: a\r\n");
    run = Run({"check", "bad.ini"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("\nbad.ini:2: error: "), std::string::npos) << run.out;
    EXPECT_TRUE(run.out.ends_with("1 error, 0 warnings, 1 note\n")) << run.out;

    const nlohmann::ordered_json explained = nlohmann::ordered_json::parse(Out({"explain", "setup.ini", "--json"}));
    EXPECT_EQ(explained["tasks"].dump(),
              R"([{"line":8,"word":"Run:","values":{"program":"C:\\tool.exe","parameters":"-v"}}])");
}

TEST_F(SfxtoolTest, RegWritesAndReadsTheStore)
{
    EXPECT_EQ(Out({"reg", "set-string", "HKEY_CURRENT_USER", "Software\\My App", "Path", "C:\\\"My\" App"}), "");
    EXPECT_EQ(Out({"reg", "set-dword", "HKEY_CURRENT_USER", "software\\my app", "Minus", "-1"}), "");
    EXPECT_EQ(Out({"reg", "create-key", "HKEY_CURRENT_USER", "Software\\Empty"}), "");
    EXPECT_EQ(Out({"reg", "export", "HKEY_CURRENT_USER"}), ReadTextFile(P("store/HKEY_CURRENT_USER.reg")));
    EXPECT_EQ(Out({"reg", "query", "HKEY_CURRENT_USER", "Software\\Empty"}), "[]\n");
    EXPECT_EQ(Out({"reg", "query", "HKEY_CURRENT_USER", "Software\\My App"}),
              R"([{"name":"Path","type":"REG_SZ","data":"C:\\\"My\" App"},{"name":"Minus","type":"REG_DWORD","data":4294967295}])" "\n");

    // What is missing or broken: status 1 and one line.
    ToolRun run = Run({"reg", "query", "HKEY_CURRENT_USER", "Software", "Other"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "sfxtool: no value \"Other\" in HKEY_CURRENT_USER\\Software\n");
    WriteTextFile(P("store/HKEY_USERS.reg"), "REGEDIT4\n\n[HKEY_USERS]\nnot a value\n");
    run = Run({"reg", "create-key", "HKEY_USERS", "New"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.OneErrorLine()) << run.err;
}

TEST_F(SfxtoolTest, BuildThenLookInside)
{
    // Without an output file the installer lands beside the stub.
    fs::create_directory(P("stubdir"));
    fs::copy_file(P("sfxpack"), P("stubdir/sfxpack"));
    WriteTextFile(P("plain.ini"), "[Files]\r\na.txt\r\n");
    Out({"build", "plain.ini", "--stub", "stubdir/sfxpack"});
    EXPECT_TRUE(fs::exists(P("stubdir/myapp.exe")));
    WriteTextFile(P("missing.ini"), "[Files]\r\na.txt\r\nnothere.txt\r\n");
    // The check runs first: an error stops the build before anything is
    // written, warnings are printed and the build goes on unless --strict.
    ToolRun run = Run({"build", "missing.ini", "--stub", "sfxpack", "-o", "x.bin"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("missing.ini:3: error: ")) << run.err;
    EXPECT_TRUE(run.err.ends_with("sfxtool: nothing built: 1 error, 0 warnings, 2 notes\n")) << run.err;
    EXPECT_FALSE(fs::exists(P("x.bin")));
    run = Run({"build", "setup.ini", "--stub", "sfxpack", "--strict"});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(fs::exists(P("setup.bin")));
    // Over its own script, or past a file-size limit (a full disk): refused,
    // and nothing is left behind.
    run = Run({"build", "setup.ini", "--stub", "sfxpack", "-o", "setup.ini"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Error : Cannot write the installer over its own script setup.ini.\n"), std::string::npos) << run.err;
    EXPECT_EQ(ReadTextFile(P("setup.ini")), m_script);
    run = Run({"build", "setup.ini", "--stub", "sfxpack"}, "-f 4");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Error : Cannot write " + P("setup.bin") + ". Perhaps the disk is full.\n"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(P("setup.bin")) || fs::exists(P("x.bin")));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 9);
    // Relative [Files] paths and OutputFile are the script file's, wherever
    // sfxtool runs; -o is the current folder's.
    fs::create_directory(P("project"));
    WriteTextFile(P("project/rel.ini"), "[Setup]\r\nOutputFile=rel.bin\r\n[Files]\r\nfile.txt\r\n");
    WriteTextFile(P("project/file.txt"), "in project");
    Out({"build", "project/rel.ini", "--stub", "sfxpack"});
    EXPECT_EQ(Out({"list", "project/rel.bin"}), "file.txt\t10\n");
    Out({"build", "project/rel.ini", "--stub", "sfxpack", "-o", "here.bin"});
    EXPECT_TRUE(fs::exists(P("here.bin")));

    run = Run({"build", "setup.ini", "--stub", "sfxpack"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.starts_with("setup.ini:4: warning: ")) << run.err;
    EXPECT_TRUE(run.err.ends_with("[run-not-found]\nAdding a.txt...\nAdding data.txt...\nAdding todo data...\nDone creating sfx\nFile " + P("setup.bin") + " created.\n")) << run.err;

    EXPECT_EQ(Out({"list", "setup.bin"}), "data.txt\t12\na.txt\t6\n");
    EXPECT_EQ(nlohmann::json::parse(Out({"list", "setup.bin", "--json"})).dump(),
              "[{\"length\":12,\"name\":\"data.txt\",\"offset\":4032},{\"length\":6,\"name\":\"a.txt\",\"offset\":4008}]");
    EXPECT_EQ(Out({"script", "setup.bin"}), m_script);
    EXPECT_EQ(nlohmann::json::parse(Out({"info", "setup.bin", "--json"}))["stub"], 4004);
    const std::string good = ReadTextFile(P("setup.bin"));
    EXPECT_EQ(Out({"verify", "setup.bin"}),
              "setup.bin: ok, 2 files, package of " + std::to_string(good.size() - 4004) + " bytes behind a stub of 4004 bytes\n");

    // extract finds names as the installer does: a.txt is found in data.txt
    // first. extract-all writes each file's own body.
    Out({"extract", "setup.bin", "a.txt", "got.txt"});
    EXPECT_EQ(ReadTextFile(P("got.txt")), "data lines\r\n");
    Out({"extract-all", "setup.bin", "all"});
    EXPECT_EQ(ReadTextFile(P("all/a.txt")) + ReadTextFile(P("all/data.txt")), "alpha\ndata lines\r\n");
    run = Run({"extract", "setup.bin", "A.TXT", "got.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "sfxtool: Cannot find A.TXT in this file.\n");
    EXPECT_EQ(Run({"extract", "setup.bin", "data", "no/such/dir/x"}).status, 2);

    std::string nameTooLong = good;
    nameTooLong.replace(4008 + 6 + 6 + 12 + 12 + 9, 4, Int32(300));
    const std::pair<std::string, std::string> damaged[] = {
        {"truncated", good.substr(0, good.size() - 100)}, {"extended", good + "signature"}, {"name too long", nameTooLong},
    };
    for (const auto& [label, bytes] : damaged) {
        WriteTextFile(P("bad.bin"), bytes);
        for (const char* command : {"verify", "list"}) {
            run = Run({command, "bad.bin"});
            EXPECT_EQ(run.status, 1) << label << " " << command;
            EXPECT_TRUE(run.OneErrorLine()) << label << ": " << run.err;
        }
    }
}

TEST_F(SfxtoolTest, ExtractAllKeepsHostileNamesOut)
{
    WriteTextFile(P("evil.bin"), m_stub + Int32(kStubMarker) + FileRecord("plain", "ok.txt") + FileRecord("deep", "..\\deep.txt")
                                 + FileRecord("evil", "../\x1b[2Jevil.txt") + TextBlock(" Compiled : x") + TextBlock("s"));
    ToolRun run = Run({"extract-all", "evil.bin", "out"});
    EXPECT_EQ(run.status, 1);
    // Control characters of a stored name are shown escaped, except in JSON.
    EXPECT_NE(run.err.find("sfxtool: Cannot extract ../\\x1b[2Jevil.txt: a stored name must be a plain file name.\n"), std::string::npos) << run.err;
    run = Run({"list", "evil.bin"});
    EXPECT_TRUE(run.out.starts_with("../\\x1b[2Jevil.txt\t4\n")) << run.out;
    EXPECT_TRUE(run.err.starts_with("sfxtool: evil.bin: stored name \"../\\x1b[2Jevil.txt\" at offset")) << run.err;
    run = Run({"list", "evil.bin", "--json"});
    EXPECT_EQ(nlohmann::json::parse(run.out)[0]["name"], "../\x1b[2Jevil.txt");
    EXPECT_EQ(ReadTextFile(P("out/ok.txt")), "plain");
    EXPECT_FALSE(fs::exists(P("evil.txt")) || fs::exists(P("deep.txt")) || fs::exists(P("out/..\\deep.txt")));
    EXPECT_EQ(std::distance(fs::directory_iterator(P("out")), fs::directory_iterator()), 1);
}

} // namespace
