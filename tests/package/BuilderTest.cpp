// The build command: the layout it writes, what it tells, and every way a
// build can fail, with what is left on disk afterwards.
#include "tests/fakes/PosixTestUtil.h"
#include "PackageTestUtil.h"
#include "package/Builder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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

    // The dialog's report, and a hook run while a file is copied.
    class CReport : public CStatusBuildReport {
    public:
        using CStatusBuildReport::CStatusBuildReport;
        void Progress(const std::string&, std::int64_t, std::int64_t) override
        {
            if (m_onProgress)
                m_onProgress();
        }
        std::function<void()> m_onProgress;
    };

    bool Build(const std::string& script, const std::string& output = "", const std::string& stubPath = "stub",
               const std::string& scriptPath = "", const std::function<void()>& onProgress = {})
    {
        m_box.m_calls.clear();
        CPackageFile stub(m_dir / stubPath, m_box);
        CReport report(m_status, m_box, m_shell);
        report.m_onProgress = onProgress;
        const BuildOptions options{
            .outputFile = output, .scriptPath = scriptPath, .baseFolder = {}, .clock = [] { return March7th2002("09:05:31"); }};
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

// The installer takes the stub's permission bits, whatever was at the
// output before: a link there is replaced, never written through.
TEST_F(BuilderTest, CopiesInBuffersWithTheStubsPermissions)
{
    const std::string b = m_dir / "b.bin", body = Pattern(2 * kCopyBufferSize + 5, 9);
    WriteTextFile(b, body);
    WriteTextFile(m_dir / "victim", "victim");
    fs::permissions(m_dir / "victim", fs::perms(0600));
    fs::create_symlink(m_dir / "victim", Out());
    const std::string script = WithFiles({b, b});
    for (auto perms : {fs::perms(0755), fs::perms(0640)}) {
        fs::permissions(m_dir / "stub", perms);
        ASSERT_TRUE(Build(script));
        EXPECT_EQ(fs::symlink_status(Out()).permissions(), perms);
    }
    EXPECT_EQ(ReadTextFile(m_dir / "victim"), "victim");
    EXPECT_EQ(fs::status(m_dir / "victim").permissions(), fs::perms(0600));
    // The same file twice is packed twice.
    EXPECT_TRUE(ReadTextFile(Out()) == m_stub + Int32(kStubMarker) + FileRecord(body, "b.bin") + FileRecord(body, "b.bin")
                    + TextBlock(" Compiled : Mar. 07, 2002 09:05:31 AM") + TextBlock(script));
}

// Every entry of a folder: its kind and, for a small file, its bytes.
std::map<std::string, std::string> Snapshot(const std::string& folder)
{
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const fs::file_status status = entry.symlink_status();
        std::string& seen = entries[entry.path().filename().string()];
        seen = std::to_string(static_cast<int>(status.type())) + ":" + std::to_string(static_cast<int>(status.permissions()));
        if (fs::is_symlink(status))
            seen += fs::read_symlink(entry.path()).string();
        else if (fs::is_regular_file(status))
            seen += entry.file_size() < (1u << 20) ? ReadTextFile(entry.path()) : std::to_string(entry.file_size());
    }
    return entries;
}

// Each failure, run in a child process with a deadline: it is told, and the
// folder is afterwards exactly as before: the previous installer byte for
// byte, every input untouched, no temporary file left.
TEST_F(BuilderTest, AFailedBuildChangesNothing)
{
    const std::string b = m_dir / "b.bin", fifo = m_dir / "fifo", script = m_dir / "s.ini";
    WriteTextFile(b, Pattern(2 * kCopyBufferSize + 5, 9));
    WriteTextFile(Out(), "the previous installer");
    WriteTextFile(script, "[Files]\r\n");
    fs::create_hard_link(m_dir / "stub", m_dir / "stub-link");
    fs::create_hard_link(Out(), m_dir / "out-link");
    fs::create_symlink(m_dir / "a.txt", m_dir / "a-link");
    fs::create_symlink(script, m_dir / "s-link");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A sparse file, too large as the stub and as a [Files] file: the size is
    // checked before a byte of it is copied.
    const std::string huge = m_dir / "huge.bin";
    WriteTextFile(huge, "");
    fs::resize_file(huge, std::uintmax_t(kMaxInstallerSize) - 2);
    const std::string tooLarge = "Error : " + Out() + " would be larger than 2147483647 bytes. An installer must stay below 2 GiB.";
    auto isOutput = [](const std::string& path) { return "Error : Cannot add " + path + " to sfx: it is the output file."; };
    const std::string notRegular = "Error : Cannot add " + fifo + " to sfx: it is not a regular file (a folder, pipe or device).";
    const std::string diskFull = "Error : Cannot write " + Out() + ". Perhaps the disk is full.";
    const struct {
        const char* label;
        std::string script;
        std::string message;
        std::string output = "";
        std::string stub = "stub";
        std::string scriptPath = "";
        std::function<void()> onProgress = {};
        rlim_t fileSizeLimit = RLIM_INFINITY;
    } cases[] = {
        {"no output folder", WithFiles(), "Error : Cannot open " + (m_dir / "missing/out.exe") + ". Perhaps file in use.", m_dir / "missing/out.exe"},
        {"no stub", WithFiles(), "Error : Cannot read " + (m_dir / "no-stub") + ".", "", "no-stub"},
        {"output is the stub", WithFiles(), "Error : Cannot open " + (m_dir / "stub-link") + ". Perhaps file in use.", m_dir / "stub-link"},
        {"output is a pipe", WithFiles(), "Error : Cannot write the installer to " + fifo + ": it is not a regular file.", fifo},
        {"output is the script", WithFiles(), "Error : Cannot write the installer over its own script " + script + ".", m_dir / "s-link", "stub", script},
        {"zero byte in the script", WithFiles() + std::string("\0x", 2), "Error : The script holds a zero byte at offset " + std::to_string(WithFiles().size()) + ". Save it as UTF-8 or ANSI text."},
        {"missing input", WithFiles({m_dir / "a.txt", m_dir / "missing.txt", b}), "Error : Cannot find " + (m_dir / "missing.txt") + " to add to sfx."},
        // By name, before the output exists.
        {"output named as an input", WithFiles({m_dir / "a.txt", m_dir / "./new.exe"}), isOutput(m_dir / "./new.exe"), m_dir / "new.exe"},
        {"output hard-linked to an input", WithFiles({m_dir / "out-link"}), isOutput(m_dir / "out-link")},
        {"output a link to an input", WithFiles({m_dir / "a.txt"}), isOutput(m_dir / "a.txt"), m_dir / "a-link"},
        {"pipe as input", WithFiles({m_dir / "a.txt", fifo}), notRegular},
        // /proc/self/mem opens, but reading it at offset 0 fails.
        {"unreadable input", WithFiles({"/proc/self/mem"}), "Error : Cannot read /proc/self/mem."},
        {"input shrinks while packed", WithFiles({b}), "Error : " + b + " changed while it was packed (" + std::to_string(2 * kCopyBufferSize + 5) + " bytes, then " + std::to_string(kCopyBufferSize + 1) + "). Build again once it is complete.", "", "stub", "", [b] { fs::resize_file(b, kCopyBufferSize + 1); }},
        {"disk full", WithFiles({b}), diskFull, "", "stub", "", {}, 2 * kCopyBufferSize},
        {"input too large", WithFiles({huge}), tooLarge},
        {"stub too large", WithFiles(), tooLarge, "", "huge.bin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::map<std::string, std::string> before = Snapshot(m_dir.Path());
        EXPECT_TRUE(InChildWithin(20, [&] {
            const CFileSizeLimit limit(c.fileSizeLimit);
            const bool built = Build(c.script, c.output, c.stub, c.scriptPath, c.onProgress);
            const std::string told = m_box.m_calls.empty() ? "" : m_box.m_calls[0].text;
            std::fprintf(stderr, "told: %s\n", told.c_str());
            return !built && m_status.m_text == " " + c.message && m_box.m_calls.size() == 1 && told == c.message;
        }));
        if (c.onProgress)
            WriteTextFile(b, Pattern(2 * kCopyBufferSize + 5, 9));
        EXPECT_EQ(Snapshot(m_dir.Path()), before);
    }
}

} // namespace
