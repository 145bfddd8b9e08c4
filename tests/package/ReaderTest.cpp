// Reading packages: texts from the end, the entry list, extraction, and
// packages that are damaged, hostile or made to confuse the reader.
#include "PackageTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace pkgtest;

const std::string kCompile = " Compiled : Mar. 07, 2002 09:05:31 AM";
const std::string kScript = "[Tasks]\r\nExtractAll: CURDIR\\x\r\n";

std::string Package(const std::vector<std::pair<std::string, std::string>>& files, const std::string& script = kScript)
{
    std::string bytes = Stub(4096) + Int32(kStubMarker);
    for (const auto& [name, body] : files)
        bytes += FileRecord(body, name);
    return bytes + TextBlock(kCompile) + TextBlock(script);
}

class ReaderTest : public testing::Test {
protected:
    CPackageFile& Open(const std::string& bytes)
    {
        WriteTextFile(m_dir / "setup", bytes);
        m_box.m_calls.clear();
        m_reader = std::make_unique<CPackageFile>(m_dir / "setup", m_box);
        return *m_reader;
    }
    // The one message shown since Open, or "" when none or more were.
    std::string Shown() const { return m_box.m_calls.size() == 1 ? m_box.m_calls[0].text : ""; }

    CTempDir m_dir;
    CFakeMessageBox m_box;
    std::unique_ptr<CPackageFile> m_reader;
};

TEST_F(ReaderTest, NoPackageAndNoEntries)
{
    CPackageFile& program = Open(Stub(4096));
    EXPECT_EQ(program.ReadNextText(), "");
    EXPECT_FALSE(program.ExtractFile("a.txt", m_dir / "out"));
    EXPECT_EQ(Shown(), "Cannot find a.txt in this file.");
    EXPECT_EQ(m_box.m_calls.at(0).caption, "Editor");
    EXPECT_EQ(m_box.m_calls.at(0).style, unsigned(MB_OK | MB_ICONERROR));
    EXPECT_FALSE(Open(Package({})).ExtractFile("", m_dir / "out"));
    EXPECT_EQ(Shown(), "Cannot find  in this file.");
    EXPECT_FALSE(fs::exists(m_dir / "out"));
    EXPECT_EQ(CPackageFile(m_dir / "missing", m_box).FindEntry(""), -1);
}

TEST_F(ReaderTest, LengthLimits)
{
    const std::string longest(299998, 's');
    EXPECT_EQ(Open(Package({}, longest)).ReadNextText(), longest);
    EXPECT_EQ(Open(Package({}, longest + "s")).ReadNextText(), "");
    // The limit does not hide the files; a name of 259 bytes and its zero fits.
    const std::string name(259, 'n');
    CPackageFile& reader = Open(Package({{name, "1"}}, longest + "s"));
    EXPECT_EQ(reader.FindEntry(name), 0);
    PackageLayout layout;
    reader.WalkPackage(layout);
    EXPECT_EQ(layout.problem.find("name"), std::string::npos) << layout.problem;
}

TEST_F(ReaderTest, SubstringLookupInListOrder)
{
    // Added in this order; the list starts with the file added last.
    const std::string bytes = Package({{"a.txt", "body of a"}, {"same", "first same"}, {"data.txt", "body of data"}, {"same", "last same"}});
    const std::pair<const char*, const char*> cases[] = {
        {"a.txt", "body of data"}, {"data", "body of data"}, {"same", "last same"}, {"", "last same"}, {"A.TXT", nullptr},
    };
    for (const auto& [request, body] : cases) {
        CPackageFile& reader = Open(bytes);
        fs::remove(m_dir / "out");
        EXPECT_EQ(reader.ExtractFile(request, m_dir / "out"), body != nullptr) << request;
        EXPECT_EQ(ReadTextFile(m_dir / "out"), body ? body : "") << request;
        EXPECT_EQ(Shown(), body ? "" : std::string("Cannot find ") + request + " in this file.") << request;
    }
}

TEST_F(ReaderTest, ExtractWritesBodiesExactlyOrSaysWhyNot)
{
    const std::string big = Pattern(3 * kCopyBufferSize + 17, 3);
    CPackageFile& reader = Open(Package({{"big.bin", big}, {"empty", ""}}));
    WriteTextFile(m_dir / "existing", std::string(10 * kCopyBufferSize, 'z'));
    EXPECT_TRUE(reader.ExtractFile("big", m_dir / "existing"));
    EXPECT_TRUE(ReadTextFile(m_dir / "existing") == big);
    EXPECT_TRUE(reader.ExtractFile("empty", m_dir / "e"));
    EXPECT_TRUE(fs::exists(m_dir / "e") && fs::file_size(m_dir / "e") == 0);
    // A destination ending in a backslash is a folder for the stored name.
    fs::create_directory(m_dir / "sub");
    EXPECT_TRUE(reader.ExtractFile("big", m_dir / "sub\\"));
    EXPECT_TRUE(ReadTextFile(m_dir / "sub/big.bin") == big);
    EXPECT_TRUE(m_box.m_calls.empty());

    for (const std::string& dest : {m_dir / "no/such/dir/a.txt", m_dir / "nodir\\", m_dir.Path(), m_dir / "setup"}) {
        m_box.m_calls.clear();
        EXPECT_FALSE(reader.ExtractFile("empty", dest)) << dest;
        EXPECT_EQ(Shown(), "Cannot create " + (dest.back() == '\\' ? dest + "empty" : dest) + ".");
    }
    // The package itself was not touched, and nothing else appeared.
    EXPECT_EQ(reader.ReadNextText(), kScript);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 4);
}

TEST_F(ReaderTest, ScriptsWhoseLengthOrBytesLookLikeMarkers)
{
    std::vector<std::string> scripts;
    // 1,982 bytes and its zero give a length field of 1983, the stub-end marker, ...
    for (std::size_t size : {1982u, 1983u, 1984u})
        scripts.push_back("[Tasks]\r\n; " + std::string(size - 13, 'p') + "\r\n");
    // A script may hold any bytes; marker-like ones inside it are text.
    scripts.push_back("x" + Int32(kFileMarker) + Int32(5) + Int32(kFileMarker) + Int32(kStubMarker));
    for (const std::string& script : scripts) {
        SCOPED_TRACE(script.size());
        CPackageFile& reader = Open(Package({{"one.txt", "1"}, {"two.txt", "22"}}, script));
        EXPECT_EQ(reader.ReadNextText(), script.c_str()); // up to its first zero byte
        EXPECT_EQ(reader.ReadNextText(), kCompile);
        reader.LoadDirectory();
        ASSERT_EQ(reader.m_entries.size(), 2u);
        EXPECT_STREQ(reader.m_entries[0].szName, "two.txt");
        EXPECT_STREQ(reader.m_entries[1].szName, "one.txt");
        PackageLayout layout;
        EXPECT_TRUE(reader.WalkPackage(layout)) << layout.problem;
    }
}

// Stored names that would lead out of the destination folder.
TEST_F(ReaderTest, HostileNamesRefusedWhereTheNameBecomesAPath)
{
    const std::string folder = m_dir / "target";
    fs::create_directory(folder);
    for (const std::string name : {"../escape", "..\\escape", "sub/x", "/abs", ".", ".."}) {
        SCOPED_TRACE(name);
        CPackageFile& reader = Open(Package({{name, "evil"}}));
        // Appended to a destination that ends in a backslash, or put into the
        // destination by the caller, as extracting everything does.
        EXPECT_FALSE(reader.ExtractFile(name, folder + "\\"));
        EXPECT_FALSE(reader.ExtractFile(name, folder + "/" + name));
        ASSERT_EQ(m_box.m_calls.size(), 2u);
        EXPECT_EQ(m_box.m_calls[1].text, "Cannot extract " + name + ": a stored name must be a plain file name.");
        EXPECT_TRUE(fs::is_empty(folder));
        EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 2);

        // Named explicitly, the destination is the caller's own: allowed.
        EXPECT_TRUE(reader.ExtractFile(name, m_dir / "plain"));
        EXPECT_EQ(ReadTextFile(m_dir / "plain"), "evil");
        fs::remove(m_dir / "plain");

        PackageLayout layout;
        EXPECT_FALSE(reader.WalkPackage(layout));
        EXPECT_NE(layout.problem.find("is not a plain file name"), std::string::npos) << layout.problem;
    }
}

// Damaged packages: never outside the file, always an end, and a clear
// verdict from the walk.
TEST_F(ReaderTest, DamagedPackagesStayInsideAndSayWhat)
{
    const std::string stub = Stub(256);
    const std::string good = stub + Int32(kStubMarker) + FileRecord("AB", "a.txt") + TextBlock("c");
    const std::string texts = TextBlock("c") + TextBlock("s");
    const struct {
        const char* label;
        std::string bytes;
        const char* script;  // what the first ReadNextText gives
        std::size_t entries; // what LoadDirectory keeps
        const char* problem; // part of the walk's verdict
    } cases[] = {
        {"no package", stub, "", 0, "no package: the last 4 bytes at offset 252"},
        {"empty file", "", "", 0, "shorter than 4 bytes"},
        {"only a text marker", Int32(kTextMarker), "", 0, "truncated text block"},
        {"text before the start", good + "s" + Int32(0x7FFFFFF0) + Int32(kTextMarker), "", 0, "text length 2147483632 at offset"},
        {"negative text length", good + "s" + Int32(0xFFFFFFFF) + Int32(kTextMarker), "", 0, "text length -1 at offset"},
        {"text without zero byte", good + "sss" + Int32(3) + Int32(kTextMarker), "sss", 1, "does not end in a zero byte"},
        {"one text block", stub + Int32(kStubMarker) + FileRecord("AB", "a.txt") + TextBlock("s"), "s", 1, "1 text blocks"},
        {"no text block", stub + Int32(kStubMarker) + FileRecord("AB", "a.txt"), "", 1, "0 text blocks"},
        {"name length 261", good + std::string(300, 'n') + Int32(261) + Int32(0) + Int32(kFileMarker) + texts, "s", 0, "name length 261"},
        {"name without zero byte", good + "abc" + Int32(3) + Int32(0) + Int32(kFileMarker) + texts, "s", 0, "has no zero byte at its end"},
        {"body before the start", stub + Int32(kStubMarker) + std::string("n\0", 2) + Int32(2) + Int32(100000) + Int32(kFileMarker) + texts, "s", 0, "body length 100000"},
        {"name before the start", Int32(kFileMarker) + texts, "s", 0, "truncated file record"},
        {"damage behind good records", stub + Int32(kStubMarker) + "junk" + FileRecord("AB", "a.txt") + texts, "s", 1, "no file marker or stub-end marker at offset 260"},
        {"no stub-end marker", FileRecord("AB", "a.txt") + texts, "s", 1, "no stub-end marker"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CPackageFile& reader = Open(c.bytes);
        EXPECT_EQ(reader.ReadNextText(), c.script);
        reader.LoadDirectory();
        EXPECT_EQ(reader.m_entries.size(), c.entries);
        for (const PackageEntry& entry : reader.m_entries) {
            EXPECT_GE(entry.nBodyOffset, 0);
            EXPECT_LT(std::size_t(entry.nNameOffset), c.bytes.size());
            EXPECT_LT(std::strlen(entry.szName), kNameSize);
        }
        PackageLayout layout;
        EXPECT_FALSE(reader.WalkPackage(layout));
        EXPECT_NE(layout.problem.find(c.problem), std::string::npos) << layout.problem;
    }
}

} // namespace
