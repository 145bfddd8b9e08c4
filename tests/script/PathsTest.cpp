// Path splitting and the directory macros, with the three folders supplied by a fake.
#include "script/Paths.h"
#include "tests/fakes/FakePlatform.h"

#include <gtest/gtest.h>

namespace {

TEST(Paths, SplitLikeTheRuntime)
{
    const struct {
        const char* path;
        std::string parts; // drive|dir|fname|ext
    } cases[] = {
        {"C:\\Setup\\app.exe", "C:|\\Setup\\|app|.exe"},
        {"/opt/setup/inst", "|/opt/setup/|inst|"},
        {"a/b\\c.tar.gz", "|a/b\\|c.tar|.gz"},
        {"C:app.exe", "C:||app|.exe"},
        {"dir.v2\\readme", "|dir.v2\\|readme|"},
        {"/home/me/.profile", "|/home/me/||.profile"},
        {"ab:c\\d", "|ab:c\\|d|"},
        {"", "|||"},
    };
    for (const auto& c : cases) {
        const PathParts p = SplitPath(c.path);
        EXPECT_EQ(p.drive + "|" + p.dir + "|" + p.fname + "|" + p.ext, c.parts) << c.path;
        EXPECT_EQ(GetDirectoryPart(c.path), p.drive + p.dir) << c.path;
        EXPECT_EQ(GetFileNamePart(c.path), p.fname + p.ext) << c.path;
    }
}

CFakeFolders Folders(std::string windows, std::string exe, std::string desktop)
{
    CFakeFolders folders;
    folders.m_windows = std::move(windows);
    folders.m_module = std::move(exe);
    folders.m_desktop = std::move(desktop);
    return folders;
}

TEST(Paths, ExeDirCutsAtTheLastSeparatorOfEitherKind)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Setup\\sfx.exe", "C:\\Setup"}, {"C:\\sfx.exe", "C:"},   {"/opt/setup/inst", "/opt/setup"},
        {"/inst", ""},                      {"C:/a\\b/sfx", "C:/a\\b"}, {"sfx.exe", ""},
    };
    for (const auto& [exe, dir] : cases)
        EXPECT_EQ(GetExeDir(Folders("", exe, "")), dir) << exe;
}

TEST(Paths, ExpandMacros)
{
    const CFakeFolders windows = Folders("C:\\WINDOWS", "C:\\Setup\\sfx.exe", "C:\\Users\\me\\Desktop");
    // The Windows directory's value holds a macro word; the executable's directory holds another.
    const CFakeFolders macroValues = Folders("/w/CURDIR", "/WINDIR/inst", "");
    const struct {
        const char* name;
        const CFakeFolders& folders;
        std::string text;
        std::string expanded;
        std::string expandedDir;
    } cases[] = {
        {"CURDIR is the exe's folder", windows, "CURDIR\\help", "C:\\Setup\\help", "C:\\Setup\\help\\"},
        {"closing backslash not doubled", windows, "CURDIR\\", "C:\\Setup\\", "C:\\Setup\\"},
        {"blanks trimmed", windows, " \tWINDIR\\notepad.exe \r\n", "C:\\WINDOWS\\notepad.exe", "C:\\WINDOWS\\notepad.exe\\"},
        {"trimmed before the backslash check", windows, "DSKDIR\\MyApp\\  ", "C:\\Users\\me\\Desktop\\MyApp\\",
         "C:\\Users\\me\\Desktop\\MyApp\\"},
        {"lower case is no macro", windows, "windir\\x", "windir\\x", "windir\\x\\"},
        {"every occurrence, inside words too", windows, "CURDIR;MYCURDIRS", "C:\\Setup;MYC:\\SetupS", "C:\\Setup;MYC:\\SetupS\\"},
        {"empty text", windows, "", "", "\\"},
        {"later word sees an earlier value", macroValues, "WINDIR", "/w//WINDIR", "/w//WINDIR\\"},
        {"earlier word not rescanned", macroValues, "CURDIR", "/WINDIR", "/WINDIR\\"},
        {"empty desktop", macroValues, "DSKDIR\\x", "\\x", "\\x\\"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        ExpandMacros(text, c.folders);
        EXPECT_EQ(text, c.expanded) << c.name;
        text = c.text;
        ExpandMacrosDir(text, c.folders);
        EXPECT_EQ(text, c.expandedDir) << c.name;
    }
}

} // namespace
