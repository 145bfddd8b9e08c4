// sfxtool build, list, extract, extract-all, script, info and verify, run as
// a user runs them, on installers in a temporary folder.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Int32(std::uint32_t v)
{
    return {char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24 & 0xFF)};
}

class PackageCommandsTest : public testing::Test {
protected:
    PackageCommandsTest()
    {
        m_dir = fs::temp_directory_path() / ("sfx-pkgtool-" + std::to_string(getpid()));
        fs::create_directories(m_dir);
        m_stub = std::string(4000, 'S') + std::string(4, '\0');
        WriteAll(P("sfxpack"), m_stub);
        WriteAll(P("a.txt"), "alpha\n");
        WriteAll(P("data.txt"), "data lines\r\n");
        m_script = "[Setup]\r\nTitle=Tool test\r\nOutputFile=setup.bin\r\n[Files]\r\na.txt\r\n\r\ndata.txt\r\n"
                   "[Tasks]\r\nExtractAll: CURDIR\\x\r\n";
        WriteAll(P("setup.ini"), m_script);
    }
    ~PackageCommandsTest() override { fs::remove_all(m_dir); }

    std::string P(const std::string& name) const { return (m_dir / name).string(); }

    // Runs sfxtool in the test's folder.
    ToolRun Run(const std::vector<std::string>& args) const
    {
        std::string command = "cd " + Quote(m_dir.string()) + " && " + Quote(SFXTOOL_PATH);
        for (const std::string& arg : args)
            command += " " + Quote(arg);
        command += " 2>" + Quote(P("stderr.txt"));
        ToolRun run;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return run;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            run.out.append(buffer, n);
        const int wait = pclose(pipe);
        run.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
        run.err = ReadAll(P("stderr.txt"));
        return run;
    }

    // Builds setup.bin from setup.ini with the test's stub.
    void Build()
    {
        const ToolRun run = Run({"build", "setup.ini", "--stub", "sfxpack"});
        ASSERT_EQ(run.status, 0) << run.err;
    }

    fs::path m_dir;
    std::string m_stub;
    std::string m_script;
};

std::string Record(const std::string& body, const std::string& name)
{
    return body + name + '\0' + Int32(name.size() + 1) + Int32(body.size()) + Int32(1984);
}

TEST_F(PackageCommandsTest, BuildWritesWhatTheEditorWrites)
{
    const ToolRun run = Run({"build", "setup.ini", "--stub", "sfxpack"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Adding a.txt...\nAdding data.txt...\nAdding todo data...\nDone creating sfx\nFile setup.bin created.\n");
    EXPECT_TRUE(run.out.empty());

    const std::string out = ReadAll(P("setup.bin"));
    const std::string front = m_stub + Int32(1983) + Record("alpha\n", "a.txt") + Record("data lines\r\n", "data.txt");
    const std::string back = m_script + '\0' + Int32(m_script.size() + 1) + Int32(1985);
    ASSERT_GT(out.size(), front.size() + back.size() + 20);
    EXPECT_TRUE(out.compare(0, front.size(), front) == 0);
    EXPECT_TRUE(out.compare(out.size() - back.size(), back.size(), back) == 0);
    const std::string compile = out.substr(front.size(), out.size() - front.size() - back.size());
    EXPECT_EQ(compile.substr(0, 12), " Compiled : ");
    EXPECT_EQ(compile.substr(compile.size() - 9), '\0' + Int32(compile.size() - 8) + Int32(1985));
    // An installer can be started like the stub it came from.
    EXPECT_EQ(fs::status(P("setup.bin")).permissions(), fs::status(P("sfxpack")).permissions());
}

TEST_F(PackageCommandsTest, BuildOutputRules)
{
    ASSERT_EQ(Run({"build", "setup.ini", "--stub", "sfxpack", "-o", "other.bin"}).status, 0);
    EXPECT_TRUE(fs::exists(P("other.bin")));
    EXPECT_FALSE(fs::exists(P("setup.bin")));

    // Without OutputFile or -o: myapp.exe beside the stub.
    fs::create_directory(P("stubdir"));
    fs::copy_file(P("sfxpack"), P("stubdir/sfxpack"));
    WriteAll(P("plain.ini"), "[Files]\r\na.txt\r\n");
    ASSERT_EQ(Run({"build", "plain.ini", "--stub", "stubdir/sfxpack"}).status, 0);
    EXPECT_TRUE(fs::exists(P("stubdir/myapp.exe")));
}

TEST_F(PackageCommandsTest, BuildFailures)
{
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    WriteAll(P("missing.ini"), "[Setup]\r\nOutputFile=bad.bin\r\n[Files]\r\na.txt\r\nnothere.txt\r\n");
    const Case cases[] = {
        {{"build", "missing.ini", "--stub", "sfxpack"}, 1, "Error : Cannot find nothere.txt to add to sfx.\n"},
        {{"build", "setup.ini", "--stub", "sfxpack", "-o", "sfxpack"}, 1, "Error : Cannot open sfxpack. Perhaps file in use.\n"},
        {{"build", "setup.ini", "--stub", "nostub"}, 2, "sfxtool: cannot read nostub\n"},
        {{"build", "noscript.ini", "--stub", "sfxpack"}, 2, "sfxtool: cannot read noscript.ini"},
        {{"build"}, 2, "sfxtool: "},
    };
    for (const Case& c : cases) {
        const ToolRun run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << c.err << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadAll(P("sfxpack")), m_stub);
}

TEST_F(PackageCommandsTest, ListExtractScriptInfo)
{
    Build();
    ToolRun run = Run({"list", "setup.bin"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "data.txt\t12\na.txt\t6\n");

    run = Run({"list", "setup.bin", "--json"});
    ASSERT_EQ(run.status, 0);
    const auto list = nlohmann::json::parse(run.out);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1]["name"], "a.txt");
    EXPECT_EQ(list[1]["length"], 6);
    EXPECT_EQ(list[1]["offset"], 4008);

    // The installer's substring rule: a.txt is found in data.txt first.
    run = Run({"extract", "setup.bin", "a.txt", "got.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadAll(P("got.txt")), "data lines\r\n");
    run = Run({"extract", "setup.bin", "A.TXT", "got.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "sfxtool: Cannot find A.TXT in this file.\n");
    run = Run({"extract", "setup.bin", "data", "no/such/dir/x"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "sfxtool: Cannot create no/such/dir/x.\n");

    run = Run({"extract-all", "setup.bin", "all"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadAll(P("all/a.txt")), "alpha\n");
    EXPECT_EQ(ReadAll(P("all/data.txt")), "data lines\r\n");

    run = Run({"script", "setup.bin"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, m_script);

    run = Run({"info", "setup.bin", "--json"});
    ASSERT_EQ(run.status, 0);
    const auto info = nlohmann::json::parse(run.out);
    EXPECT_EQ(info["stub"], 4004);
    EXPECT_EQ(info["files"], 2);
    EXPECT_EQ(info["bodies"], 18);
    EXPECT_EQ(info["script"], m_script.size());
    EXPECT_EQ(info["wellFormed"], true);
    EXPECT_EQ(info["compiled"].get<std::string>().substr(0, 12), " Compiled : ");
    EXPECT_EQ(info["size"], fs::file_size(P("setup.bin")));
}

TEST_F(PackageCommandsTest, CommandsOnAFileWithoutPackage)
{
    for (const char* command : {"list", "script", "info", "verify"}) {
        const ToolRun run = Run({command, "sfxpack"});
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_EQ(run.err, "sfxtool: sfxpack: no package: the last 4 bytes at offset 4000 are no package marker (0x00000000)\n");
        EXPECT_EQ(Run({command, "nothere"}).status, 2) << command;
    }
}

TEST_F(PackageCommandsTest, VerifyNamesWhatIsWrong)
{
    Build();
    const std::string good = ReadAll(P("setup.bin"));
    const ToolRun ok = Run({"verify", "setup.bin"});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out, "setup.bin: ok, 2 files, package of " + std::to_string(good.size() - 4004) + " bytes behind a stub of 4004 bytes\n");

    // Offsets of the last record's fields (data.txt, added last).
    const std::size_t dataMarker = 4008 + (6 + 6 + 12) + (12 + 9 + 8);
    struct Damage {
        const char* label;
        std::string bytes;
        std::string line;
    };
    std::string nameTooLong = good;
    nameTooLong.replace(dataMarker - 8, 4, Int32(300));
    std::string bodyOutside = good;
    bodyOutside.replace(dataMarker - 4, 4, Int32(90000));
    std::string noZero = good;
    noZero[dataMarker - 9] = 'x';
    std::string textOutside = good;
    textOutside.replace(good.size() - 8, 4, Int32(good.size()));
    const Damage damages[] = {
        {"truncated", good.substr(0, good.size() - 100), "no package: the last 4 bytes at offset"},
        {"extended", good + "signature", "no package: the last 4 bytes at offset"},
        {"name too long", nameTooLong, "name length 300 at offset " + std::to_string(dataMarker - 8) + " is outside 1 to 260"},
        {"body outside", bodyOutside, "body length 90000 at offset " + std::to_string(dataMarker - 4) + " leads outside the file"},
        {"no zero byte", noZero, "stored name at offset " + std::to_string(dataMarker - 17) + " has no zero byte at its end"},
        {"text outside", textOutside, "text length " + std::to_string(good.size()) + " at offset " + std::to_string(good.size() - 8) + " leads outside the file"},
    };
    for (const Damage& damage : damages) {
        WriteAll(P("bad.bin"), damage.bytes);
        const ToolRun run = Run({"verify", "bad.bin"});
        EXPECT_EQ(run.status, 1) << damage.label;
        EXPECT_TRUE(run.out.empty()) << damage.label;
        EXPECT_EQ(run.err.rfind("sfxtool: bad.bin: " + damage.line, 0), 0u) << damage.label << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << damage.label;
    }
    // list shows what the installer would see, and still fails.
    WriteAll(P("bad.bin"), nameTooLong);
    EXPECT_EQ(Run({"list", "bad.bin"}).status, 1);
}

TEST_F(PackageCommandsTest, ExtractAllKeepsHostileNamesOut)
{
    const std::string text = std::string(" Compiled : x") + '\0' + Int32(14) + Int32(1985);
    WriteAll(P("evil.bin"), m_stub + Int32(1983) + Record("plain", "ok.txt") + Record("evil", "../evil.txt")
                                 + Record("deep", "..\\deep.txt") + text + "s" + '\0' + Int32(2) + Int32(1985));
    const ToolRun run = Run({"extract-all", "evil.bin", "out"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("sfxtool: Cannot extract ../evil.txt: a stored name must be a plain file name.\n"), std::string::npos) << run.err;
    EXPECT_EQ(ReadAll(P("out/ok.txt")), "plain");
    EXPECT_FALSE(fs::exists(P("evil.txt")));
    EXPECT_FALSE(fs::exists(P("deep.txt")));
    EXPECT_EQ(std::distance(fs::directory_iterator(P("out")), fs::directory_iterator()), 1);
}

} // namespace
