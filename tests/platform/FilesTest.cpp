// The Linux files layer: creating a folder that exists, MoveFile's refusal
// to replace, and whole-file replacement that never leaves a file cut short.
#include "tests/fakes/PosixTestUtil.h"
#include "platform/Files.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/platform/PlatformTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

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

struct ReplaceCase {
    const char* name;
    // Puts what is at "script" before the replacement; returns the path to replace.
    std::function<fs::path(const fs::path&)> plant;
    rlim_t sizeLimit; // 0: none
    ReplaceResult result;
    std::string content;  // what "script" (through any link) holds afterwards
    unsigned mode;        // its permission bits afterwards
    std::size_t entries;  // entries in the folder afterwards: no temporary file left
};

TEST(Files, ReplaceFileContentsLeavesTheOldOrTheNewFile)
{
    const mode_t oldMask = ::umask(027);
    const ReplaceCase cases[] = {
        {"new file", [](const fs::path& d) { return d / "script"; }, 0, ReplaceResult::Replaced, "new text", 0640, 1},
        {"existing file keeps its mode",
         [](const fs::path& d) {
             WriteText(d / "script", "old");
             fs::permissions(d / "script", fs::perms(0604));
             return d / "script";
         },
         0, ReplaceResult::Replaced, "new text", 0604, 1},
        {"a link stays, its file is replaced",
         [](const fs::path& d) {
             WriteText(d / "script", "old");
             fs::create_symlink("script", d / "link");
             return d / "link";
         },
         0, ReplaceResult::Replaced, "new text", 0640, 2},
        {"full disk keeps the old text",
         [](const fs::path& d) {
             WriteText(d / "script", "old");
             fs::permissions(d / "script", fs::perms(0600));
             return d / "script";
         },
         4, ReplaceResult::CannotWrite, "old", 0600, 1},
        {"a pipe is never opened",
         [](const fs::path& d) {
             ::mkfifo((d / "script").c_str(), 0600);
             return d / "script";
         },
         0, ReplaceResult::CannotCreate, "", 0600, 1},
    };
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDir dir;
        const fs::path target = c.plant(dir.Path());
        ReplaceResult result;
        if (c.sizeLimit) {
            const CFileSizeLimit limit(c.sizeLimit);
            result = ReplaceFileContents(target, "new text");
        } else {
            result = ReplaceFileContents(target, "new text");
        }
        EXPECT_EQ(result, c.result);
        const fs::path script = dir / "script";
        if (fs::is_regular_file(script)) {
            EXPECT_EQ(ReadTextFile(script), c.content);
        }
        EXPECT_EQ(static_cast<unsigned>(fs::status(script).permissions()), c.mode);
        if (fs::is_symlink(target)) {
            EXPECT_EQ(fs::read_symlink(target), "script");
        }
        EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator())),
                  c.entries);
    }
    ::umask(oldMask);
}

} // namespace
