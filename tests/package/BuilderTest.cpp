// The build command: output rule, status texts, boxes, and every way a build
// can fail, with what is left on disk afterwards.
#include "PackageTestUtil.h"

#include <gtest/gtest.h>

namespace {

using namespace pkgtest;

class BuilderTest : public testing::Test {
protected:
    BuilderTest()
    {
        WriteTextFile(m_dir / "stub", m_stub);
        WriteTextFile(m_dir / "a.txt", "alpha");
        WriteTextFile(m_dir / "b.bin", Pattern(2 * kCopyBufferSize + 5, 9));
    }

    bool Build(const std::string& script, const std::string& output = "", const std::string& stubPath = "stub")
    {
        m_report = FakeReport();
        CPackageFile stub(m_dir / stubPath, m_box);
        BuildOptions options;
        options.outputFile = output;
        return BuildArchive(stub, CScript(script), Folders(m_dir / "sfxpack"), m_report, options);
    }

    std::string Out() const { return m_dir / "out.exe"; }
    std::string WithOutput(const std::string& rest) const { return "[Setup]\r\nOutputFile=" + Out() + "\r\n" + rest; }
    std::string WithFiles(const std::vector<std::string>& lines) const
    {
        std::string text = WithOutput("[Files]\r\n");
        for (const std::string& line : lines)
            text += line + "\r\n";
        return text;
    }

    // The error is the last thing told: on the status line (after its blank) and in a box.
    void ExpectError(const std::string& message)
    {
        ASSERT_GE(m_report.log.size(), 2u);
        EXPECT_EQ(m_report.log.end()[-2], "status  " + message);
        EXPECT_EQ(m_report.log.back(), "box Editor " + std::to_string(MB_OK | MB_ICONERROR) + " " + message);
    }

    CTempDir m_dir;
    std::string m_stub = Stub(3000);
    CFakeMessageBox m_box;
    FakeReport m_report;
};

TEST_F(BuilderTest, StatusTextsProgressQuestionAndStart)
{
    const std::string a = m_dir / "a.txt", b = m_dir / "b.bin", total = std::to_string(2 * kCopyBufferSize + 5);
    const std::string script = WithFiles({a, "", b});
    const std::vector<std::string> told = {
        "status Adding " + a + "...", "progress " + a + " 5/5", "status Adding " + b + "...",
        // After each buffer, of the file's length.
        "progress " + b + " " + std::to_string(kCopyBufferSize) + "/" + total,
        "progress " + b + " " + std::to_string(2 * kCopyBufferSize) + "/" + total, "progress " + b + " " + total + "/" + total,
        "status Adding todo data...", "status  Done creating sfx",
        "box Editor " + std::to_string(MB_YESNO | MB_ICONQUESTION) + " File " + Out() + " created.\nDo you want to test it now?",
    };
    ASSERT_TRUE(Build(script));
    EXPECT_EQ(m_report.log, told);
    m_report.answer = IDYES;
    CPackageFile stub(m_dir / "stub", m_box);
    ASSERT_TRUE(BuildArchive(stub, CScript(script), Folders(m_dir / "sfxpack"), m_report));
    EXPECT_EQ(m_report.log.back(), "start " + Out());

    CPackageFile installer(Out(), m_box);
    EXPECT_EQ(installer.ReadNextText(), script);
    EXPECT_EQ(installer.FindEntry("a.txt"), 1);
    EXPECT_EQ(installer.FindEntry("b.bin"), 0);
}

TEST_F(BuilderTest, WithoutOutputFileMyappExeBesideTheProgram)
{
    for (const char* script : {"[Setup]\r\nOutputFile=   \r\n", "[Setup]\r\nTitle=x\r\n"}) {
        fs::remove(m_dir / "myapp.exe");
        ASSERT_TRUE(Build(script)) << script;
        EXPECT_TRUE(fs::exists(m_dir / "myapp.exe")) << script;
    }
}

TEST_F(BuilderTest, ReplacesAnOutputAndKeepsTheStubsPermissions)
{
    WriteTextFile(Out(), std::string(100000, 'o'));
    for (auto perms : {fs::perms(0755), fs::perms(0640)}) {
        fs::permissions(m_dir / "stub", perms);
        ASSERT_TRUE(Build(WithFiles({m_dir / "a.txt", m_dir / "a.txt"})));
        EXPECT_EQ(fs::status(Out()).permissions(), perms);
    }
    // The same file twice is packed twice, and nothing of the old output stays.
    EXPECT_TRUE(ReadTextFile(Out()).starts_with(m_stub + Int32(kStubMarker) + FileRecord("alpha", "a.txt") + FileRecord("alpha", "a.txt")));
    EXPECT_LT(fs::file_size(Out()), 5000u);
}

TEST_F(BuilderTest, FailuresSayWhyAndLeaveNoHalfInstaller)
{
    fs::create_directory(m_dir / "folder");
    fs::create_hard_link(m_dir / "stub", m_dir / "stub-link");
    // A sparse file: the size is checked before a byte of it is copied.
    const std::string huge = m_dir / "huge.bin";
    WriteTextFile(huge, "");
    fs::resize_file(huge, std::uintmax_t(kMaxInstallerSize) - 3000);
    const std::string tooLarge = "Error : " + Out() + " would be larger than 2147483647 bytes. An installer must stay below 2 GiB.";
    const std::string partial = m_stub + Int32(kStubMarker) + FileRecord("alpha", "a.txt");
    const struct {
        std::string script;
        std::string output;
        std::string message;
        std::string left; // what stays at the output, "" when nothing
    } cases[] = {
        {WithOutput(""), m_dir / "missing/out.exe", "Error : Cannot open " + (m_dir / "missing/out.exe") + ". Perhaps file in use.", ""},
        // Building onto the stub is refused before the stub is emptied.
        {WithOutput(""), m_dir / "./stub", "Error : Cannot open " + (m_dir / "./stub") + ". Perhaps file in use.", m_stub},
        {WithOutput(""), m_dir / "stub-link", "Error : Cannot open " + (m_dir / "stub-link") + ". Perhaps file in use.", m_stub},
        // A [Files] line that cannot be opened ends the build; what was written stays.
        {WithFiles({m_dir / "a.txt", m_dir / "missing.txt", m_dir / "b.bin"}), "", "Error : Cannot find " + (m_dir / "missing.txt") + " to add to sfx.", partial},
        {WithFiles({m_dir / "a.txt", m_dir / "folder"}), "", "Error : Cannot find " + (m_dir / "folder") + " to add to sfx.", partial},
        {WithFiles({m_dir / "a.txt", "; a comment line"}), "", "Error : Cannot find ; a comment line to add to sfx.", partial},
        // The output is never added to itself, however it is spelled.
        {WithFiles({m_dir / "a.txt", m_dir / "./out.exe"}), "", "Error : Cannot add " + (m_dir / "./out.exe") + " to sfx: it is the output file.", ""},
        // /proc/self/mem opens, but reading it at offset 0 fails.
        {WithFiles({"/proc/self/mem"}), "", "Error : Cannot read /proc/self/mem.", ""},
        {WithFiles({huge}), "", tooLarge, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        fs::remove(Out());
        EXPECT_FALSE(Build(c.script, c.output));
        ExpectError(c.message);
        const std::string output = c.output.empty() ? Out() : c.output;
        EXPECT_EQ(fs::exists(output), !c.left.empty());
        EXPECT_TRUE(ReadTextFile(output) == c.left);
    }

    // /dev/full takes no byte; a device is never removed nor changed.
    const fs::perms devicePerms = fs::status("/dev/full").permissions();
    EXPECT_FALSE(Build(WithOutput(""), "/dev/full"));
    ExpectError("Error : Cannot write /dev/full. Perhaps the disk is full.");
    EXPECT_EQ(fs::status("/dev/full").permissions(), devicePerms);

    EXPECT_FALSE(Build(WithOutput(""), "", "no-stub"));
    ExpectError("Error : Cannot read " + (m_dir / "no-stub") + ".");

    fs::resize_file(m_dir / "stub", std::uintmax_t(kMaxInstallerSize) - 2);
    EXPECT_FALSE(Build(WithOutput("")));
    ExpectError(tooLarge);
    EXPECT_FALSE(fs::exists(Out()));
}

} // namespace
