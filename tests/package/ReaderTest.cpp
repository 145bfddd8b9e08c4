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
        WriteBytes(m_dir / "setup", bytes);
        m_reader = std::make_unique<CPackageFile>(m_dir / "setup", m_box);
        return *m_reader;
    }

    TempDir m_dir;
    FakeMessageBox m_box;
    std::unique_ptr<CPackageFile> m_reader;
};

TEST_F(ReaderTest, ProgramWithoutPackage)
{
    CPackageFile& reader = Open(Stub(4096));
    EXPECT_EQ(reader.ReadNextText(), "");
    EXPECT_FALSE(reader.ExtractFile("a.txt", m_dir / "a.txt"));
    EXPECT_TRUE(reader.m_bDirLoaded);
    EXPECT_TRUE(reader.m_entries.empty());
    ASSERT_EQ(m_box.calls.size(), 1u);
    EXPECT_EQ(m_box.calls[0].text, "Cannot find a.txt in this file.");
    EXPECT_EQ(m_box.calls[0].caption, "Editor");
    EXPECT_EQ(m_box.calls[0].style, 0x10u);
}

TEST_F(ReaderTest, FileThatCannotBeOpenedHasNoPackage)
{
    CPackageFile reader(m_dir / "missing", m_box);
    EXPECT_EQ(reader.ReadNextText(), "");
    reader.LoadDirectory();
    EXPECT_TRUE(reader.m_entries.empty());
    PackageLayout layout;
    EXPECT_FALSE(reader.WalkPackage(layout));
    EXPECT_FALSE(layout.bHasPackage);
}

TEST_F(ReaderTest, TextLengthLimit)
{
    const std::string longest(299998, 's');
    EXPECT_EQ(Open(Package({}, longest)).ReadNextText(), longest);
    CPackageFile& tooLong = Open(Package({}, longest + "s"));
    EXPECT_EQ(tooLong.ReadNextText(), "");
    // The limit does not hide the files.
    EXPECT_EQ(Open(Package({{"a", "1"}}, longest + "s")).FindEntry("a"), 0);
}

TEST_F(ReaderTest, EmptyScriptMeansEditor)
{
    CPackageFile& reader = Open(Package({{"a.txt", "A"}}, ""));
    EXPECT_EQ(reader.ReadNextText(), "");
    reader.LoadDirectory();
    EXPECT_EQ(reader.m_entries.size(), 1u);
}

struct LookupCase {
    const char* request;
    const char* expectBody; // nullptr: not found
};

void PrintTo(const LookupCase& c, std::ostream* os)
{
    *os << '"' << c.request << '"';
}

class LookupTest : public ReaderTest, public testing::WithParamInterface<LookupCase> {};

TEST_P(LookupTest, SubstringInListOrder)
{
    // Added in this order; the list starts with the file added last.
    CPackageFile& reader = Open(Package({{"a.txt", "body of a"}, {"same", "first same"}, {"data.txt", "body of data"}, {"same", "last same"}}));
    const LookupCase& c = GetParam();
    const bool written = reader.ExtractFile(c.request, m_dir / "out");
    if (c.expectBody) {
        EXPECT_TRUE(written);
        EXPECT_EQ(ReadBytes(m_dir / "out"), c.expectBody);
        EXPECT_TRUE(m_box.calls.empty());
    } else {
        EXPECT_FALSE(written);
        EXPECT_FALSE(fs::exists(m_dir / "out"));
        ASSERT_EQ(m_box.calls.size(), 1u);
        EXPECT_EQ(m_box.calls[0].text, std::string("Cannot find ") + c.request + " in this file.");
    }
}

INSTANTIATE_TEST_SUITE_P(Reader, LookupTest, testing::Values(
    LookupCase{"a.txt", "body of data"},
    LookupCase{"data", "body of data"},
    LookupCase{"same", "last same"},
    LookupCase{"", "last same"},
    LookupCase{"A.TXT", nullptr},
    LookupCase{"b.txt", nullptr}));

TEST_F(ReaderTest, EmptyEntryListMessage)
{
    CPackageFile& reader = Open(Package({}));
    EXPECT_FALSE(reader.ExtractFile("", m_dir / "out"));
    ASSERT_EQ(m_box.calls.size(), 1u);
    EXPECT_EQ(m_box.calls[0].text, "Cannot find  in this file.");
}

TEST_F(ReaderTest, ExtractWritesBodiesExactly)
{
    const std::string big = Pattern(3 * kCopyBufferSize + 17, 3);
    CPackageFile& reader = Open(Package({{"big.bin", big}, {"empty", ""}}));
    WriteBytes(m_dir / "existing", std::string(10 * kCopyBufferSize, 'z'));
    EXPECT_TRUE(reader.ExtractFile("big", m_dir / "existing"));
    EXPECT_EQ(ReadBytes(m_dir / "existing"), big);
    EXPECT_TRUE(reader.ExtractFile("empty", m_dir / "e"));
    EXPECT_TRUE(fs::exists(m_dir / "e"));
    EXPECT_EQ(fs::file_size(m_dir / "e"), 0u);
    // A destination ending in a backslash is a folder for the stored name.
    fs::create_directory(m_dir / "sub");
    EXPECT_TRUE(reader.ExtractFile("big", m_dir / "sub\\"));
    EXPECT_EQ(ReadBytes(m_dir / "sub/big.bin"), big);
    EXPECT_TRUE(m_box.calls.empty());
}

TEST_F(ReaderTest, DestinationThatCannotBeCreated)
{
    CPackageFile& reader = Open(Package({{"a.txt", "A"}}));
    const std::string dests[] = {m_dir / "no/such/dir/a.txt", m_dir / "nodir\\", m_dir.Path(), m_dir / "setup"};
    for (const std::string& dest : dests) {
        m_box.calls.clear();
        EXPECT_FALSE(reader.ExtractFile("a.txt", dest)) << dest;
        ASSERT_EQ(m_box.calls.size(), 1u) << dest;
        const std::string shown = dest.back() == '\\' ? dest + "a.txt" : dest;
        EXPECT_EQ(m_box.calls[0].text, "Cannot create " + shown + ".");
        EXPECT_EQ(m_box.calls[0].caption, "Editor");
        EXPECT_EQ(m_box.calls[0].style, 0x10u);
    }
    // The package itself was not touched, and nothing else appeared.
    EXPECT_EQ(reader.ReadNextText(), kScript);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 1);
}

// Scripts whose length field equals a marker: 1,982 bytes + zero = 1983,
// 1,983 + zero = 1984, 1,984 + zero = 1985.
class MarkerLengthTest : public ReaderTest, public testing::WithParamInterface<std::size_t> {};

TEST_P(MarkerLengthTest, ScriptLengthEqualToMarker)
{
    const std::string script = "[Tasks]\r\n; " + std::string(GetParam() - 13, 'p') + "\r\n";
    ASSERT_EQ(script.size(), GetParam());
    CPackageFile& reader = Open(Package({{"one.txt", "1"}, {"two.txt", "22"}}, script));
    EXPECT_EQ(reader.ReadNextText(), script);
    EXPECT_EQ(reader.ReadNextText(), kCompile);
    reader.LoadDirectory();
    ASSERT_EQ(reader.m_entries.size(), 2u);
    EXPECT_STREQ(reader.m_entries[0].szName, "two.txt");
    EXPECT_STREQ(reader.m_entries[1].szName, "one.txt");
    PackageLayout layout;
    EXPECT_TRUE(reader.WalkPackage(layout)) << layout.problem;
}

INSTANTIATE_TEST_SUITE_P(Reader, MarkerLengthTest, testing::Values(1982u, 1983u, 1984u));

TEST_F(ReaderTest, ZeroBytesInTheScriptDoNotLookLikeRecords)
{
    // A script file may hold any bytes; marker-like ones inside it are text.
    const std::string script = "x" + Int32(kFileMarker) + Int32(5) + Int32(kFileMarker) + Int32(kStubMarker);
    CPackageFile& reader = Open(Package({{"one.txt", "1"}}, script));
    reader.LoadDirectory();
    ASSERT_EQ(reader.m_entries.size(), 1u);
    EXPECT_STREQ(reader.m_entries[0].szName, "one.txt");
}

// Stored names that would lead out of the destination folder.
class HostileNameTest : public ReaderTest, public testing::WithParamInterface<const char*> {};

TEST_P(HostileNameTest, RefusedWhereTheNameBecomesAPath)
{
    const std::string name = GetParam();
    CPackageFile& reader = Open(Package({{name, "evil"}}));
    fs::create_directory(m_dir / "target");
    const std::string folder = m_dir / "target";

    // Appended to a destination that ends in a backslash.
    EXPECT_FALSE(reader.ExtractFile(name, folder + "\\"));
    // Put into the destination by the caller, as extracting all does.
    EXPECT_FALSE(reader.ExtractFile(name, folder + "/" + name));
    ASSERT_EQ(m_box.calls.size(), 2u);
    for (const auto& call : m_box.calls) {
        EXPECT_EQ(call.text, "Cannot extract " + name + ": a stored name must be a plain file name.");
        EXPECT_EQ(call.style, 0x10u);
    }
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 2);

    // Named explicitly, the destination is the caller's own: allowed.
    EXPECT_TRUE(reader.ExtractFile(name, folder + "/plain"));
    EXPECT_EQ(ReadBytes(folder + "/plain"), "evil");

    PackageLayout layout;
    EXPECT_FALSE(reader.WalkPackage(layout));
    EXPECT_NE(layout.problem.find("is not a plain file name"), std::string::npos) << layout.problem;
}

INSTANTIATE_TEST_SUITE_P(Reader, HostileNameTest, testing::Values("../escape", "..\\escape", "sub/x", "/abs", ".", ".."));

// Damaged packages: never outside the file, always an end, and a clear
// verdict from the walk.
struct DamageCase {
    const char* label;
    std::string bytes;
    const char* script;       // what the first ReadNextText gives
    std::size_t entries;      // what LoadDirectory keeps
    const char* problem;      // part of the walk's verdict
};

void PrintTo(const DamageCase& c, std::ostream* os)
{
    *os << c.label;
}

std::string Damaged(const std::string& tail)
{
    return Stub(256) + tail;
}

std::vector<DamageCase> DamageCases()
{
    const std::string good = Int32(kStubMarker) + FileRecord("AB", "a.txt") + TextBlock("c");
    return {
        {"no package", Stub(256), "", 0, "no package: the last 4 bytes at offset 252"},
        {"empty file", "", "", 0, "shorter than 4 bytes"},
        {"three bytes", std::string("\xC1\x07\x00", 3), "", 0, "shorter than 4 bytes"},
        {"only a text marker", Int32(kTextMarker), "", 0, "truncated text block"},
        {"text before the start", Damaged(good + "s" + Int32(0x7FFFFFF0) + Int32(kTextMarker)), "", 0, "text length 2147483632 at offset"},
        {"negative text length", Damaged(good + "s" + Int32(0xFFFFFFFF) + Int32(kTextMarker)), "", 0, "text length -1 at offset"},
        {"text without zero byte", Damaged(good + "sss" + Int32(3) + Int32(kTextMarker)), "sss", 1, "does not end in a zero byte"},
        {"text length zero", Damaged(good + Int32(0) + Int32(kTextMarker)), "", 1, "text length 0"},
        {"one text block", Damaged(Int32(kStubMarker) + FileRecord("AB", "a.txt") + TextBlock("s")), "s", 1, "1 text blocks"},
        {"ends with a file record", Damaged(Int32(kStubMarker) + FileRecord("AB", "a.txt")), "", 1, "0 text blocks"},
        {"ends with the stub marker", Damaged(Int32(kStubMarker)), "", 0, "0 text blocks"},
        {"name length 261", Damaged(good + std::string(300, 'n') + Int32(261) + Int32(0) + Int32(kFileMarker) + TextBlock("c") + TextBlock("s")), "s", 0, "name length 261"},
        {"name length 0", Damaged(good + Int32(0) + Int32(0) + Int32(kFileMarker) + TextBlock("c") + TextBlock("s")), "s", 0, "name length 0"},
        {"name without zero byte", Damaged(good + "abc" + Int32(3) + Int32(0) + Int32(kFileMarker) + TextBlock("c") + TextBlock("s")), "s", 0, "has no zero byte at its end"},
        {"body before the start", Damaged(Int32(kStubMarker) + std::string("n\0", 2) + Int32(2) + Int32(100000) + Int32(kFileMarker) + TextBlock("c") + TextBlock("s")), "s", 0, "body length 100000"},
        {"name before the start", Int32(kFileMarker) + TextBlock("c") + TextBlock("s"), "s", 0, "truncated file record"},
        {"damage behind good records", Damaged(Int32(kStubMarker) + "junk" + FileRecord("AB", "a.txt") + TextBlock("c") + TextBlock("s")), "s", 1, "no file marker or stub-end marker at offset 260"},
        {"no stub-end marker", FileRecord("AB", "a.txt") + TextBlock("c") + TextBlock("s"), "s", 1, "no stub-end marker"},
        {"extended by junk", Damaged(good + TextBlock("s") + "appended"), "", 0, "no package"},
        {"truncated", Damaged(good + TextBlock("script")).substr(0, 256 + good.size() + 5), "", 0, "no package"},
    };
}

class DamageTest : public ReaderTest, public testing::WithParamInterface<DamageCase> {};

TEST_P(DamageTest, StaysInsideAndSaysWhat)
{
    const DamageCase& c = GetParam();
    CPackageFile& reader = Open(c.bytes);
    EXPECT_EQ(reader.ReadNextText(), c.script);
    reader.LoadDirectory();
    EXPECT_EQ(reader.m_entries.size(), c.entries);
    for (const PackageEntry& entry : reader.m_entries) {
        EXPECT_GE(entry.nBodyOffset, 0);
        EXPECT_LE(std::int64_t(entry.nNameOffset) + 1, std::int64_t(c.bytes.size()));
        EXPECT_LT(std::strlen(entry.szName), kNameSize);
    }
    PackageLayout layout;
    EXPECT_FALSE(reader.WalkPackage(layout));
    EXPECT_NE(layout.problem.find(c.problem), std::string::npos) << layout.problem;
}

INSTANTIATE_TEST_SUITE_P(Reader, DamageTest, testing::ValuesIn(DamageCases()),
                         [](const testing::TestParamInfo<DamageCase>& info) {
                             std::string name = info.param.label;
                             for (char& ch : name)
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

TEST_F(ReaderTest, NameOfExactly260Bytes)
{
    const std::string name(259, 'n');
    CPackageFile& reader = Open(Package({{name, "body"}}));
    reader.LoadDirectory();
    ASSERT_EQ(reader.m_entries.size(), 1u);
    EXPECT_EQ(std::string(reader.m_entries[0].szName), name);
    PackageLayout layout;
    EXPECT_TRUE(reader.WalkPackage(layout)) << layout.problem;
}

} // namespace
