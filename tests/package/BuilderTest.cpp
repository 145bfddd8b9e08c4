// The build command: the layout it writes, what it tells, and every way a
// build can fail, with what is left on disk afterwards.
#include "PackageTestUtil.h"
#include "package/Builder.h"

#include <gtest/gtest.h>

namespace {

using namespace pkgtest;

// March 7th, 2002 at the given local time.
std::time_t March7th2002(const std::string& time)
{
    std::tm tm{};
    ::strptime(("2002-03-07 " + time).c_str(), "%Y-%m-%d %H:%M:%S", &tm);
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

class BuilderTest : public testing::Test {
protected:
    BuilderTest()
    {
        WriteTextFile(m_dir / "stub", m_stub);
        WriteTextFile(m_dir / "a.txt", "alpha");
    }

    bool Build(const std::string& script, const std::string& output = "", const std::string& stubPath = "stub")
    {
        m_box.m_calls.clear();
        CPackageFile stub(m_dir / stubPath, m_box);
        CStatusBuildReport report(m_status, m_box, m_shell);
        const BuildOptions options{.outputFile = output, .clock = [] { return March7th2002("09:05:31"); }};
        return BuildArchive(stub, CScript(script), CFakeFolders(), report, options);
    }

    std::string Out() const { return m_dir / "out.exe"; }
    // A script that builds Out() from these [Files] lines.
    std::string WithFiles(const std::vector<std::string>& lines = {}) const
    {
        std::string text = "[Setup]\r\nOutputFile=" + Out() + "\r\n[Files]\r\n";
        for (const std::string& line : lines)
            text += line + "\r\n";
        return text;
    }

    // An error ends on the status line (after its blank) and in a box.
    void ExpectError(const std::string& message)
    {
        EXPECT_EQ(m_status.m_text, " " + message);
        ASSERT_EQ(m_box.m_calls.size(), 1u);
        EXPECT_EQ(m_box.m_calls[0].text, message);
    }

    CTempDir m_dir;
    std::string m_stub = Stub(3000);
    CFakeMessageBox m_box;
    CFakeControl m_status;
    CFakeShell m_shell;
};

// A fully worked example, byte by byte.
TEST_F(BuilderTest, WorkedLayout)
{
    const std::string stub = Stub(262144), first = Pattern(10504, 1), second = Pattern(398, 2);
    WriteTextFile(m_dir / "stub", stub);
    WriteTextFile(m_dir / "firstdoc.txt", first);
    WriteTextFile(m_dir / "readme12.txt", second);
    std::string script = WithFiles({m_dir / "firstdoc.txt", m_dir / "readme12.txt"}) + "[Tasks]\r\n; ";
    script += std::string(2260 - 2 - script.size(), 'x') + "\r\n";
    ASSERT_TRUE(Build(script));

    const std::string out = ReadTextFile(Out());
    ASSERT_EQ(out.size(), 275415u);
    const std::pair<std::size_t, std::string> fields[] = {
        {0, stub},
        {0x40000, Int32(1983)},
        {0x40004, first},
        {0x4290C, std::string("firstdoc.txt") + '\0'},
        {0x42919, Int32(13)},
        {0x4291D, Int32(10504)},
        {0x42921, Int32(1984)},
        {0x42925, second},
        {0x42AB3, std::string("readme12.txt") + '\0'},
        {0x42AC0, Int32(13)},
        {0x42AC4, Int32(398)},
        {0x42AC8, Int32(1984)},
        {0x42ACC, std::string(" Compiled : Mar. 07, 2002 09:05:31 AM") + '\0'},
        {0x42AF2, Int32(38)},
        {0x42AF6, Int32(1985)},
        {0x42AFA, script + '\0'},
        {0x433CF, std::string("\xD5\x08\x00\x00", 4)},
        {0x433D3, Int32(1985)},
    };
    for (const auto& [offset, bytes] : fields)
        EXPECT_TRUE(out.compare(offset, bytes.size(), bytes) == 0) << std::hex << offset;
    EXPECT_EQ(FormatCompileLine(March7th2002("21:05:31")), " Compiled : Mar. 07, 2002 09:05:31 PM");
}

TEST_F(BuilderTest, CopiesInBuffersWithTheStubsPermissions)
{
    const std::string b = m_dir / "b.bin", body = Pattern(2 * kCopyBufferSize + 5, 9);
    WriteTextFile(b, body);
    const std::string script = WithFiles({b, b});
    for (auto perms : {fs::perms(0755), fs::perms(0640)}) {
        fs::permissions(m_dir / "stub", perms);
        ASSERT_TRUE(Build(script));
        EXPECT_EQ(fs::status(Out()).permissions(), perms);
    }
    // The same file twice is packed twice.
    EXPECT_TRUE(ReadTextFile(Out()) == m_stub + Int32(kStubMarker) + FileRecord(body, "b.bin") + FileRecord(body, "b.bin")
                    + TextBlock(" Compiled : Mar. 07, 2002 09:05:31 AM") + TextBlock(script));
}

TEST_F(BuilderTest, FailuresSayWhyAndLeaveNoHalfInstaller)
{
    fs::create_hard_link(m_dir / "stub", m_dir / "stub-link");
    // A sparse file, too large as the stub and as a [Files] file: the size is
    // checked before a byte of it is copied.
    const std::string huge = m_dir / "huge.bin";
    WriteTextFile(huge, "");
    fs::resize_file(huge, std::uintmax_t(kMaxInstallerSize) - 2);
    const std::string tooLarge = "Error : " + Out() + " would be larger than 2147483647 bytes. An installer must stay below 2 GiB.";
    const struct {
        std::string script;
        std::string output;
        std::string message;
        std::string left; // what stays at the output, "" when nothing
        std::string stub = "stub";
    } cases[] = {
        {WithFiles(), m_dir / "missing/out.exe", "Error : Cannot open " + (m_dir / "missing/out.exe") + ". Perhaps file in use.", ""},
        {WithFiles(), "", "Error : Cannot read " + (m_dir / "no-stub") + ".", "", "no-stub"},
        // Building onto the stub, however it is named, is refused before the stub is emptied.
        {WithFiles(), m_dir / "stub-link", "Error : Cannot open " + (m_dir / "stub-link") + ". Perhaps file in use.", m_stub},
        // A [Files] line that cannot be opened ends the build; what was written stays.
        {WithFiles({m_dir / "a.txt", m_dir / "missing.txt", m_dir / "b.bin"}), "", "Error : Cannot find " + (m_dir / "missing.txt") + " to add to sfx.",
         m_stub + Int32(kStubMarker) + FileRecord("alpha", "a.txt")},
        // The output is never added to itself, however it is spelled.
        {WithFiles({m_dir / "a.txt", m_dir / "./out.exe"}), "", "Error : Cannot add " + (m_dir / "./out.exe") + " to sfx: it is the output file.", ""},
        // /proc/self/mem opens, but reading it at offset 0 fails.
        {WithFiles({"/proc/self/mem"}), "", "Error : Cannot read /proc/self/mem.", ""},
        {WithFiles({huge}), "", tooLarge, ""},
        {WithFiles(), "", tooLarge, "", "huge.bin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        fs::remove(Out());
        EXPECT_FALSE(Build(c.script, c.output, c.stub));
        ExpectError(c.message);
        const std::string output = c.output.empty() ? Out() : c.output;
        EXPECT_EQ(fs::exists(output), !c.left.empty());
        EXPECT_TRUE(ReadTextFile(output) == c.left);
    }

    // /dev/full takes no byte; a device is never removed nor changed.
    const fs::perms devicePerms = fs::status("/dev/full").permissions();
    EXPECT_FALSE(Build(WithFiles(), "/dev/full"));
    ExpectError("Error : Cannot write /dev/full. Perhaps the disk is full.");
    EXPECT_EQ(fs::status("/dev/full").permissions(), devicePerms);
}

} // namespace
