// The Linux files layer: creating a folder that exists, and MoveFile's
// refusal to replace.
#include "platform/Files.h"
#include "tests/platform/PlatformTestUtil.h"

#include <gtest/gtest.h>

namespace {

TEST(Files, AnExistingFolderIsNoErrorAndMoveNeverReplaces)
{
    CTempDir dir;
    EXPECT_TRUE(CreateDirectoryAt(dir.Path()));
    WriteText(dir / "a", "A");
    WriteText(dir / "b", "B");
    EXPECT_FALSE(MoveFileTo(dir / "a", dir / "b"));
    EXPECT_EQ(ReadTextFile(dir / "b"), "B");
}

} // namespace
