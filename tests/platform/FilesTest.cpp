// The Linux files layer: Windows-style paths, and MoveFile's refusal to replace.
#include "platform/Files.h"
#include "tests/platform/PlatformTestUtil.h"

#include <gtest/gtest.h>

namespace {

TEST(Files, BackslashesSeparateFolders)
{
    CTempDir dir;
    ASSERT_TRUE(CreateDirectoryAt(dir.Path() + "\\sub"));
    EXPECT_TRUE(CreateDirectoryAt(dir.Path() + "\\sub"));
    EXPECT_TRUE(IsDirectory(dir / "sub"));
    CFile file;
    ASSERT_TRUE(file.Open(dir.Path() + "\\sub\\f.txt", CFile::Mode::CreateWrite));
    EXPECT_TRUE(file.Write("abc", 3));
    file.Close();
    EXPECT_EQ(ReadText(dir / "sub/f.txt"), "abc");
    EXPECT_TRUE(IsSameFile(dir.Path() + "\\sub\\f.txt", dir / "sub/../sub/f.txt"));
    // A folder is not a file to open.
    EXPECT_FALSE(file.Open(dir / "sub", CFile::Mode::Read));
}

TEST(Files, MoveNeverReplaces)
{
    CTempDir dir;
    WriteText(dir / "a", "A");
    WriteText(dir / "b", "B");
    EXPECT_FALSE(MoveFileTo(dir / "a", dir / "b"));
    EXPECT_EQ(ReadText(dir / "b"), "B");
    EXPECT_TRUE(MoveFileTo(dir / "a", dir / "c"));
    EXPECT_EQ(ReadText(dir / "c"), "A");
    EXPECT_FALSE(fs::exists(dir / "a"));
    EXPECT_TRUE(DeleteFileAt(dir / "c"));
    EXPECT_FALSE(DeleteFileAt(dir / "c"));
}

} // namespace
