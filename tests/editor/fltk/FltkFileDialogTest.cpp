// The file dialog's conversions and its change of the current folder; the
// modal chooser itself is driven by the program's GUI tests.
#include <gtest/gtest.h>

#include "platform/fltk/FltkFileDialog.h"
#include "tests/fakes/FakePlatform.h"

#include <filesystem>
#include <tuple>
#include <utility>

namespace {

TEST(FltkFileDialog, ConvertsFilterPairs)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Ini File (*.ini)|*.ini|", "Ini File\t*.ini"},
        {"Ini File (*.ini)|*.ini|Inf File (*.inf)|*.inf|All Files (*.*)|*.*|",
         "Ini File\t*.ini\nInf File\t*.inf\nAll Files\t*"},
        {"Text|*.txt", "Text\t*.txt"},
        {"", ""},
    };
    for (const auto& [filter, fltk] : cases)
        EXPECT_EQ(ToFltkFilter(filter), fltk) << filter;
}

TEST(FltkFileDialog, AddsTheDefaultExtensionToANameWithoutOne)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/a/b", "ini", "/a/b.ini"},
        {"/a.d/b", "ini", "/a.d/b.ini"},
        {"/a/b.txt", "ini", "/a/b.txt"},
        {"/a/b", "", "/a/b"},
        {"/a/", "ini", "/a/"},
    };
    for (const auto& [path, extension, result] : cases)
        EXPECT_EQ(WithDefaultExtension(path, extension), result) << path;
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
