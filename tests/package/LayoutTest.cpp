// The layout on disk, checked byte by byte against a fully worked example.
#include "PackageTestUtil.h"

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

TEST(Layout, CompileLineInEnglish)
{
    EXPECT_EQ(FormatCompileLine(March7th2002("21:05:31")), " Compiled : Mar. 07, 2002 09:05:31 PM");
    EXPECT_EQ(FormatCompileLine(March7th2002("00:05:31")), " Compiled : Mar. 07, 2002 12:05:31 AM");
}

TEST(Layout, WorkedExample)
{
    CTempDir dir;
    const std::string stub = Stub(262144), first = Pattern(10504, 1), second = Pattern(398, 2);
    WriteTextFile(dir / "stub", stub);
    WriteTextFile(dir / "firstdoc.txt", first);
    WriteTextFile(dir / "readme12.txt", second);
    std::string script = "[Setup]\r\nOutputFile=" + (dir / "out.exe") + "\r\n[Files]\r\n" + (dir / "firstdoc.txt")
        + "\r\n" + (dir / "readme12.txt") + "\r\n[Tasks]\r\n; ";
    script += std::string(2260 - 2 - script.size(), 'x') + "\r\n";
    ASSERT_EQ(script.size(), 2260u);

    CFakeMessageBox box;
    CPackageFile reader(dir / "stub", box);
    FakeReport report;
    BuildOptions options;
    options.clock = [] { return March7th2002("09:05:31"); };
    ASSERT_TRUE(BuildArchive(reader, CScript(script), Folders(dir / "stub"), report, options));

    const std::string out = ReadTextFile(dir / "out.exe");
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

    // The reader finds the same structure.
    CPackageFile installer(dir / "out.exe", box);
    EXPECT_EQ(installer.ReadNextText(), script);
    EXPECT_EQ(installer.ReadNextText(), " Compiled : Mar. 07, 2002 09:05:31 AM");
    EXPECT_EQ(installer.ReadNextText(), "");
    PackageLayout layout;
    EXPECT_TRUE(installer.WalkPackage(layout)) << layout.problem;
    EXPECT_EQ(layout.nStubLength, 0x40000);
    installer.LoadDirectory();
    ASSERT_EQ(installer.m_entries.size(), 2u);
    const PackageEntry& last = installer.m_entries[0];
    EXPECT_EQ(std::string(last.szName), "readme12.txt");
    EXPECT_EQ(std::make_tuple(last.nBodyOffset, last.nNameOffset, last.nBodyLength), std::make_tuple(0x42925, 0x42AB3, 398));
    EXPECT_EQ(installer.m_entries[1].nBodyOffset, 0x40004);
    EXPECT_TRUE(box.m_calls.empty());
}

} // namespace
