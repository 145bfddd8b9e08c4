// Reading packages: texts from the end, the entry list, extraction, and
// packages that are damaged, hostile or made to confuse the reader.
#include "PackageTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

using namespace pkgtest;

const std::string kScript = "[Tasks]\r\nExtractAll: CURDIR\\x\r\n";

std::string Package(const std::vector<std::pair<std::string, std::string>>& files, const std::string& script = kScript)
{
    std::string bytes = Stub(4096) + Int32(kStubMarker);
    for (const auto& [name, body] : files)
        bytes += FileRecord(body, name);
    return bytes + TextBlock(" Compiled : Mar. 07, 2002 09:05:31 AM") + TextBlock(script);
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

    CTempDir m_dir;
    CFakeMessageBox m_box;
    std::unique_ptr<CPackageFile> m_reader;
};

TEST_F(ReaderTest, ExtractWritesBodiesExactlyButNeverOverThePackage)
{
    const std::string big = Pattern(3 * kCopyBufferSize + 17, 3);
    CPackageFile& reader = Open(Package({{"big.bin", big}}));
    WriteTextFile(m_dir / "existing", std::string(10 * kCopyBufferSize, 'z'));
    EXPECT_TRUE(reader.ExtractFile("big", m_dir / "existing"));
    EXPECT_TRUE(ReadTextFile(m_dir / "existing") == big);

    EXPECT_FALSE(reader.ExtractFile("big", m_dir / "setup"));
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].text, "Cannot create " + (m_dir / "setup") + ".");
    EXPECT_EQ(m_box.m_calls[0].caption, "Editor");
    EXPECT_EQ(m_box.m_calls[0].style, unsigned(kBoxOk | kBoxIconError));
    EXPECT_EQ(reader.ReadNextText(), kScript);
}

// Stored names that would lead out of the destination folder.
TEST_F(ReaderTest, HostileNamesRefusedWhereTheNameBecomesAPath)
{
    const std::string folder = m_dir / "target";
    fs::create_directory(folder);
    for (const std::string name : {"../escape", "..\\escape", ".", ".."}) {
        SCOPED_TRACE(name);
        CPackageFile& reader = Open(Package({{name, "evil"}}));
        // Appended to a destination that ends in a backslash, or put into the
        // destination by the caller, as extracting everything does.
        EXPECT_FALSE(reader.ExtractFile(name, folder + "\\"));
        EXPECT_FALSE(reader.ExtractFile(name, folder + "/" + name));
        ASSERT_EQ(m_box.m_calls.size(), 2u);
        EXPECT_EQ(m_box.m_calls[1].text, "Cannot extract " + name + ": a stored name must be a plain file name.");
        // Nothing but the package and the empty folder.
        EXPECT_EQ(std::distance(fs::recursive_directory_iterator(m_dir.Path()), fs::recursive_directory_iterator()), 2);
    }
}

// Any bytes: the reader never leaves the file and always ends, and the walk
// gives a clear verdict.
TEST_F(ReaderTest, WellFormedOrDamagedPackages)
{
    const std::string stub = Stub(256);
    const std::string good = stub + Int32(kStubMarker) + FileRecord("AB", "a.txt") + TextBlock("c");
    const std::string texts = TextBlock("c") + TextBlock("s");
    const std::vector<std::pair<std::string, std::string>> two = {{"one.txt", "1"}, {"two.txt", "22"}};
    // 1,982 bytes and its zero give a length field of 1983, the stub-end
    // marker; 1,983 bytes one of 1984, the file marker.
    auto script = [](std::size_t size) { return "[Tasks]\r\n; " + std::string(size - 13, 'p') + "\r\n"; };
    // 299,998 bytes is the longest script the reader takes.
    const std::string longest(299998, 's'), longName(259, 'n');
    const struct {
        const char* label;
        std::string bytes;
        std::string script;  // what the first ReadNextText gives
        std::size_t entries; // what LoadDirectory keeps
        const char* problem; // part of the walk's verdict; "" when well-formed
    } cases[] = {
        {"script of 1982 bytes", Package(two, script(1982)), script(1982), 2, ""},
        {"script of 1983 bytes", Package(two, script(1983)), script(1983), 2, ""},
        {"longest script, longest name", Package({{longName, "1"}}, longest), longest, 1, ""},
        {"script too long", Package({{longName, "1"}}, longest + "s"), "", 1, "is 300000 or more"},
        {"hostile name", Package({{"../x", "1"}}), kScript, 1, "is not a plain file name"},
        {"zero byte in the script", Package(two, std::string("[Tasks]\0x", 9)), "[Tasks]", 2, "the script holds a zero byte at offset 4196: the installer would read only 7 bytes of the script"},
        {"no package", stub, "", 0, "no package: the last 4 bytes at offset 252"},
        {"empty file", "", "", 0, "shorter than 4 bytes"},
        {"only a text marker", Int32(kTextMarker), "", 0, "truncated text block"},
        {"text before the start", good + "s" + Int32(0x7FFFFFF0) + Int32(kTextMarker), "", 0, "text length 2147483632 at offset"},
        {"negative text length", good + "s" + Int32(0xFFFFFFFF) + Int32(kTextMarker), "", 0, "text length -1 at offset"},
        {"text without zero byte", good + "sss" + Int32(3) + Int32(kTextMarker), "sss", 1, "does not end in a zero byte"},
        {"no text block", stub + Int32(kStubMarker) + FileRecord("AB", "a.txt"), "", 1, "0 text blocks"},
        {"name length 261", good + std::string(300, 'n') + Int32(261) + Int32(0) + Int32(kFileMarker) + texts, "s", 0, "name length 261"},
        {"name without zero byte", good + "abc" + Int32(3) + Int32(0) + Int32(kFileMarker) + texts, "s", 0, "has no zero byte at its end"},
        {"body before the start", stub + Int32(kStubMarker) + std::string("n\0", 2) + Int32(2) + Int32(100000) + Int32(kFileMarker) + texts, "s", 0, "body length 100000"},
        {"truncated file record", Int32(kFileMarker) + texts, "s", 0, "truncated file record"},
        {"damage behind good records", stub + Int32(kStubMarker) + "junk" + FileRecord("AB", "a.txt") + texts, "s", 1, "no file marker or stub-end marker at offset 260"},
        {"no stub-end marker", FileRecord("AB", "a.txt") + texts, "s", 1, "no stub-end marker"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CPackageFile& reader = Open(c.bytes);
        EXPECT_TRUE(reader.ReadNextText() == c.script);
        reader.LoadDirectory();
        EXPECT_EQ(reader.m_entries.size(), c.entries);
        PackageLayout layout;
        EXPECT_EQ(reader.WalkPackage(layout), *c.problem == '\0');
        EXPECT_NE(layout.problem.find(c.problem), std::string::npos) << layout.problem;
    }
}

// The installer reads a stored name as text, up to its first zero byte:
// what follows inside the name field is neither shown nor matched.
TEST_F(ReaderTest, AStoredNameEndsAtItsFirstZeroByte)
{
    const std::string field("ab\0cd\0", 6);
    CPackageFile& reader = Open(Stub(256) + Int32(kStubMarker) + "XY" + field + Int32(6) + Int32(2) + Int32(kFileMarker)
                                + TextBlock("c") + TextBlock("s"));
    reader.LoadDirectory();
    ASSERT_EQ(reader.m_entries.size(), 1u);
    EXPECT_EQ(reader.m_entries[0].strName, "ab");
    EXPECT_EQ(reader.FindEntry("cd"), -1);
    EXPECT_EQ(reader.FindEntry("b"), 0);
}

} // namespace

// The batch look-up must pick exactly what one FindEntryIn per name picks:
// names over a two-letter alphabet contain each other often, and the empty
// name, repeated names and names longer than any entry are among them.
TEST(EntryLookupTest, FindEntriesInPicksAsFindEntryInDoes)
{
    std::mt19937 random(7);
    const auto word = [&](std::size_t maxLength) {
        std::string text(random() % (maxLength + 1), 'a');
        for (char& c : text)
            c = random() % 2 ? 'a' : 'b';
        return text;
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<PackageEntry> entries(random() % 12);
        for (PackageEntry& entry : entries)
            entry.strName = word(8);
        std::vector<std::string> names(random() % 12);
        for (std::string& name : names)
            name = word(6);
        if (!entries.empty() && round % 3 == 0)
            names.emplace_back(entries[random() % entries.size()].strName);
        const std::vector<int> batch = CPackageFile::FindEntriesIn(entries, names);
        ASSERT_EQ(batch.size(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i)
            ASSERT_EQ(batch[i], CPackageFile::FindEntryIn(entries, names[i])) << "name " << names[i] << " round " << round;
    }
}
