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
        WriteBytes(m_dir / "stub", m_stub);
        WriteBytes(m_dir / "a.txt", "alpha");
        WriteBytes(m_dir / "b.bin", Pattern(5000, 9));
    }

    bool Build(const std::string& script, const std::string& output = "")
    {
        CPackageFile stub(m_dir / "stub", m_box);
        FakeFolders folders(m_dir / "sfxpack");
        BuildOptions options;
        options.outputFile = output;
        return BuildArchive(stub, CScript(script), folders, m_report, options);
    }

    std::string Out() const { return m_dir / "out.exe"; }
    std::string WithOutput(const std::string& rest) const { return "[Setup]\r\nOutputFile=" + Out() + "\r\n" + rest; }

    void ExpectError(const std::string& message)
    {
        ASSERT_FALSE(m_report.boxes.empty());
        EXPECT_EQ(m_report.statuses.back(), " " + message);
        EXPECT_EQ(m_report.boxes.back().text, message);
        EXPECT_EQ(m_report.boxes.back().caption, "Editor");
        EXPECT_EQ(m_report.boxes.back().style, 0x10u);
        EXPECT_TRUE(m_report.started.empty());
    }

    TempDir m_dir;
    std::string m_stub = Stub(3000);
    FakeMessageBox m_box;
    FakeReport m_report;
};

TEST_F(BuilderTest, StatusTextsQuestionAndStart)
{
    const std::string script = WithOutput("[Files]\r\n" + (m_dir / "a.txt") + "\r\n\r\n" + (m_dir / "b.bin") + "\r\n");
    m_report.answer = IDYES;
    ASSERT_TRUE(Build(script));
    const std::vector<std::string> statuses = {"Adding " + (m_dir / "a.txt") + "...", "Adding " + (m_dir / "b.bin") + "...",
                                               "Adding todo data...", " Done creating sfx"};
    EXPECT_EQ(m_report.statuses, statuses);
    ASSERT_EQ(m_report.boxes.size(), 1u);
    EXPECT_EQ(m_report.boxes[0].text, "File " + Out() + " created.\nDo you want to test it now?");
    EXPECT_EQ(m_report.boxes[0].caption, "Editor");
    EXPECT_EQ(m_report.boxes[0].style, 0x24u);
    EXPECT_EQ(m_report.started, std::vector<std::string>{Out()});

    FakeMessageBox box;
    CPackageFile installer(Out(), box);
    EXPECT_EQ(installer.ReadNextText(), script);
    EXPECT_EQ(installer.FindEntry("a.txt"), 1);
    EXPECT_EQ(installer.FindEntry("b.bin"), 0);
}

TEST_F(BuilderTest, StartsThroughTheShellOnlyOnYes)
{
    struct Shell : IShell {
        bool Open(const std::string& file, const std::string& params) override
        {
            opened.push_back(file + "|" + params);
            return true;
        }
        std::vector<std::string> opened;
    };
    struct Status : IControl {
        void SetWindowText(const std::string& t) override { text = t; }
        std::string GetWindowText() const override { return text; }
        void ShowWindow(bool) override {}
        bool IsWindowVisible() const override { return true; }
        void EnableWindow(bool) override {}
        bool IsWindowEnabled() const override { return true; }
        void MoveWindow(const CRect&) override {}
        CRect GetWindowRect() const override { return {}; }
        std::string text;
    };
    for (int answer : {IDYES, IDNO}) {
        Shell shell;
        Status status;
        FakeMessageBox box;
        box.answer = answer;
        CStatusBuildReport report(status, box, shell);
        CPackageFile stub(m_dir / "stub", m_box);
        FakeFolders folders(m_dir / "sfxpack");
        ASSERT_TRUE(BuildArchive(stub, CScript(WithOutput("")), folders, report));
        EXPECT_EQ(status.text, " Done creating sfx");
        EXPECT_EQ(shell.opened, answer == IDYES ? std::vector<std::string>{Out() + "|"} : std::vector<std::string>{});
    }
}

TEST_F(BuilderTest, DefaultOutputBesideTheProgram)
{
    for (const char* script : {"[Setup]\r\nOutputFile=\r\n", "[Setup]\r\nTitle=x\r\n", "[Setup]\r\nOutputFile=   \r\n"}) {
        fs::remove(m_dir / "myapp.exe");
        ASSERT_TRUE(Build(script)) << script;
        EXPECT_TRUE(fs::exists(m_dir / "myapp.exe")) << script;
    }
}

TEST_F(BuilderTest, OutputOverrideAndRelativePaths)
{
    const fs::path previous = fs::current_path();
    fs::current_path(m_dir.Path());
    // [Files] lines and the output are taken relative to the current folder.
    const bool built = Build("[Setup]\r\nOutputFile=ignored.exe\r\n[Files]\r\na.txt\r\n", "rel.exe");
    fs::current_path(previous);
    ASSERT_TRUE(built);
    EXPECT_FALSE(fs::exists(m_dir / "ignored.exe"));
    FakeMessageBox box;
    CPackageFile installer(m_dir / "rel.exe", box);
    EXPECT_TRUE(installer.ExtractFile("a.txt", m_dir / "copy"));
    EXPECT_EQ(ReadBytes(m_dir / "copy"), "alpha");
}

TEST_F(BuilderTest, NoFilesGivesMarkerAndTexts)
{
    for (const char* files : {"", "[Files]\r\n"}) {
        const std::string script = WithOutput(files);
        ASSERT_TRUE(Build(script));
        const std::string out = ReadBytes(Out());
        const std::size_t compileEnd = out.size() - script.size() - 9;
        const std::string compile = out.substr(m_stub.size() + 4, compileEnd - m_stub.size() - 4 - 9);
        EXPECT_EQ(compile.substr(0, 12), " Compiled : ");
        EXPECT_TRUE(out == m_stub + Int32(kStubMarker) + TextBlock(compile) + TextBlock(script));
    }
}

TEST_F(BuilderTest, SameFileTwiceAndReplacedOutput)
{
    WriteBytes(Out(), std::string(100000, 'o'));
    ASSERT_TRUE(Build(WithOutput("[Files]\r\n" + (m_dir / "a.txt") + "\r\n" + (m_dir / "a.txt") + "\r\n")));
    FakeMessageBox box;
    CPackageFile installer(Out(), box);
    installer.LoadDirectory();
    ASSERT_EQ(installer.m_entries.size(), 2u);
    EXPECT_STREQ(installer.m_entries[0].szName, "a.txt");
    EXPECT_STREQ(installer.m_entries[1].szName, "a.txt");
    EXPECT_LT(fs::file_size(Out()), 100000u);
}

TEST_F(BuilderTest, InstallerGetsTheStubsPermissions)
{
    for (auto perms : {fs::perms(0755), fs::perms(0700), fs::perms(0640)}) {
        fs::permissions(m_dir / "stub", perms);
        ASSERT_TRUE(Build(WithOutput("")));
        EXPECT_EQ(fs::status(Out()).permissions(), perms);
    }
}

TEST_F(BuilderTest, OutputThatCannotBeCreated)
{
    const std::string script = "[Setup]\r\nOutputFile=" + (m_dir / "missing/out.exe") + "\r\n[Files]\r\n" + (m_dir / "a.txt") + "\r\n";
    EXPECT_FALSE(Build(script));
    ExpectError("Error : Cannot open " + (m_dir / "missing/out.exe") + ". Perhaps file in use.");
    EXPECT_EQ(m_report.statuses.size(), 1u);
}

TEST_F(BuilderTest, OutputOntoTheStubIsRefusedBeforeEmptyingIt)
{
    fs::create_hard_link(m_dir / "stub", m_dir / "stub-link");
    for (const std::string& output : {m_dir / "stub", m_dir / "./stub", m_dir / "stub-link"}) {
        m_report = FakeReport();
        EXPECT_FALSE(Build(WithOutput(""), output));
        ExpectError("Error : Cannot open " + output + ". Perhaps file in use.");
        EXPECT_EQ(ReadBytes(m_dir / "stub"), m_stub);
    }
}

TEST_F(BuilderTest, FileThatCannotBeOpenedEndsTheBuild)
{
    fs::create_directory(m_dir / "folder");
    const std::string lines[] = {m_dir / "missing.txt", m_dir / "folder", m_dir / "folder\\", "; a comment line", "   "};
    for (const std::string& line : lines) {
        m_report = FakeReport();
        const std::string script = WithOutput("[Files]\r\n" + (m_dir / "a.txt") + "\r\n" + line + "\r\n" + (m_dir / "b.bin") + "\r\n");
        EXPECT_FALSE(Build(script)) << line;
        ExpectError("Error : Cannot find " + line + " to add to sfx.");
        // What was written so far stays, closed.
        EXPECT_TRUE(ReadBytes(Out()) == m_stub + Int32(kStubMarker) + FileRecord("alpha", "a.txt")) << line;
    }
}

TEST_F(BuilderTest, OutputAddedToItselfIsRefused)
{
    const std::string spellings[] = {Out(), m_dir / "./out.exe"};
    for (const std::string& line : spellings) {
        m_report = FakeReport();
        EXPECT_FALSE(Build(WithOutput("[Files]\r\n" + (m_dir / "a.txt") + "\r\n" + line + "\r\n")));
        ExpectError("Error : Cannot add " + line + " to sfx: it is the output file.");
        EXPECT_FALSE(fs::exists(Out()));
    }
}

TEST_F(BuilderTest, InstallerOver2GiBIsRefused)
{
    // Sparse files: the size is checked before a byte of them is copied.
    const std::string huge = m_dir / "huge.bin";
    WriteBytes(huge, "");
    fs::resize_file(huge, std::uintmax_t(kMaxInstallerSize) - 3000);
    EXPECT_FALSE(Build(WithOutput("[Files]\r\n" + huge + "\r\n")));
    ExpectError("Error : " + Out() + " would be larger than 2147483647 bytes. An installer must stay below 2 GiB.");
    EXPECT_FALSE(fs::exists(Out()));

    m_report = FakeReport();
    fs::resize_file(m_dir / "stub", std::uintmax_t(kMaxInstallerSize) - 2);
    EXPECT_FALSE(Build(WithOutput("")));
    ExpectError("Error : " + Out() + " would be larger than 2147483647 bytes. An installer must stay below 2 GiB.");
    EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(BuilderTest, ReadAndWriteErrorsAreReported)
{
    // /proc/self/mem opens, but reading it at offset 0 fails.
    EXPECT_FALSE(Build(WithOutput("[Files]\r\n/proc/self/mem\r\n")));
    ExpectError("Error : Cannot read /proc/self/mem.");
    EXPECT_FALSE(fs::exists(Out()));

    // /dev/full takes no byte; a device is never removed nor changed.
    m_report = FakeReport();
    const fs::perms devicePerms = fs::status("/dev/full").permissions();
    EXPECT_FALSE(Build(WithOutput(""), "/dev/full"));
    ExpectError("Error : Cannot write /dev/full. Perhaps the disk is full.");
    EXPECT_TRUE(fs::exists("/dev/full"));
    EXPECT_EQ(fs::status("/dev/full").permissions(), devicePerms);

    m_report = FakeReport();
    CPackageFile missing(m_dir / "no-stub", m_box);
    FakeFolders folders(m_dir / "sfxpack");
    EXPECT_FALSE(BuildArchive(missing, CScript(WithOutput("")), folders, m_report));
    ExpectError("Error : Cannot read " + (m_dir / "no-stub") + ".");
    EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(BuilderTest, ProgressWhileCopying)
{
    const std::string big = m_dir / "big.bin";
    WriteBytes(big, Pattern(2 * kCopyBufferSize + 5, 4));
    ASSERT_TRUE(Build(WithOutput("[Files]\r\n" + big + "\r\n")));
    ASSERT_EQ(m_report.progress.size(), 3u);
    const std::int64_t total = 2 * kCopyBufferSize + 5;
    EXPECT_EQ(m_report.progress[0].done, std::int64_t(kCopyBufferSize));
    EXPECT_EQ(m_report.progress[2].done, total);
    for (const auto& tick : m_report.progress) {
        EXPECT_EQ(tick.path, big);
        EXPECT_EQ(tick.total, total);
    }
}

} // namespace
