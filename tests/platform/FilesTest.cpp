// The Linux files layer: Windows-style paths, and MoveFile's refusal to replace.
#include "platform/Files.h"
#include "tests/platform/PlatformTestUtil.h"

#include <gtest/gtest.h>

namespace {

TEST(Files, BackslashesSeparateFoldersAndMoveNeverReplaces)
{
    CTempDir dir;
    ASSERT_TRUE(CreateDirectoryAt(dir.Path() + "\\sub"));
    EXPECT_TRUE(CreateDirectoryAt(dir.Path() + "\\sub"));
    WriteText(dir / "sub/a", "A");
    WriteText(dir / "b", "B");
    EXPECT_FALSE(MoveFileTo(dir.Path() + "\\sub\\a", dir / "b"));
    EXPECT_EQ(ReadTextFile(dir / "b"), "B");
    EXPECT_TRUE(MoveFileTo(dir.Path() + "\\sub\\a", dir / "c"));
    EXPECT_EQ(ReadTextFile(dir / "c"), "A");
}

} // namespace
