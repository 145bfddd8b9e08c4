// The file dialog's conversions and its change of the current folder; the
// modal chooser itself is driven by the program's GUI tests.
#include <gtest/gtest.h>

#include "platform/fltk/FltkFileDialog.h"
#include "tests/fakes/FakePlatform.h"

#include <filesystem>

namespace {

TEST(FltkFileDialog, ConvertsTheFilter)
{
    EXPECT_EQ(ToFltkFilter("Ini File (*.ini)|*.ini|Inf File (*.inf)|*.inf|All Files (*.*)|*.*|"),
              "Ini File\t*.ini\nInf File\t*.inf\nAll Files\t*");
}

TEST(FltkFileDialog, MakesTheChosenFilesFolderCurrent)
{
    namespace fs = std::filesystem;
    const fs::path old = fs::current_path();
    const CTempDir folder;
    EXPECT_TRUE(ChangeToFolderOf(folder / "new.ini"));
    EXPECT_EQ(fs::current_path(), fs::canonical(folder.Path()));
    EXPECT_TRUE(ChangeToFolderOf("/x.ini"));
    EXPECT_EQ(fs::current_path(), "/");
    EXPECT_FALSE(ChangeToFolderOf(folder / "missing/x.ini"));
    EXPECT_EQ(fs::current_path(), "/");
    fs::current_path(old);
}

} // namespace
