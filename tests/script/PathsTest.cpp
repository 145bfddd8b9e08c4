// Path splitting and the directory macros, with the three folders supplied by a fake.
#include "script/Paths.h"
#include "tests/fakes/FakePlatform.h"

#include <gtest/gtest.h>

namespace {

TEST(Paths, SplitLikeTheRuntime)
{
    const std::pair<const char*, std::string> cases[] = { // path, drive|dir|fname|ext
        {"a/b\\c.tar.gz", "|a/b\\|c.tar|.gz"},           {"C:app.exe", "C:||app|.exe"},
        {"dir.v2\\readme", "|dir.v2\\|readme|"},         {"/home/me/.profile", "|/home/me/||.profile"},
        {"ab:c\\d", "|ab:c\\|d|"},                       {"", "|||"},
    };
    for (const auto& [path, parts] : cases) {
        const PathParts p = SplitPath(path);
        EXPECT_EQ(p.drive + "|" + p.dir + "|" + p.fname + "|" + p.ext, parts) << path;
    }
}

TEST(Paths, ResolveScriptPathJoinsWithTheFoldersSeparator)
{
    const struct {
        const char* folder;
        const char* path;
        const char* resolved;
    } cases[] = {
        {"/home/me/proj", "sub\\app.bin", "/home/me/proj/sub\\app.bin"},
        {"Z:\\tmp\\proj", "..\\out\\setup.exe", "Z:\\tmp\\proj\\..\\out\\setup.exe"},
        {"C:\\", "a.txt", "C:\\a.txt"},
        {"/home/me/proj", "/abs/a.txt", "/abs/a.txt"},
        {"", "a.txt", "a.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveScriptPath(c.folder, c.path), c.resolved) << c.folder << " + " << c.path;
}

TEST(Paths, ExpandMacros)
{
    CFakeFolders folders;
    folders.m_windows = "C:\\WINDOWS";
    folders.m_desktop = "C:\\Users\\me\\Desktop";
    const struct {
        const char* exe;
        const char* text;
        const char* expanded;
    } cases[] = {
        // CURDIR is the program's folder, cut at the last separator of either kind.
        {"C:\\Setup\\sfx.exe", "CURDIR\\help", "C:\\Setup\\help"},
        {"C:\\sfx.exe", "CURDIR\\x", "C:\\x"},
        {"C:/a\\b/sfx", "CURDIR", "C:/a\\b"},
        {"/inst", "CURDIR", ""},
        // Blanks are trimmed; every occurrence counts, also inside words; case matters.
        {"C:\\Setup\\sfx.exe", " \tWINDIR\\notepad.exe \r\n", "C:\\WINDOWS\\notepad.exe"},
        {"C:\\Setup\\sfx.exe", "CURDIR;MYCURDIRS", "C:\\Setup;MYC:\\SetupS"},
        {"C:\\Setup\\sfx.exe", "windir\\x", "windir\\x"},
        // A later word is found in an earlier value; an earlier word is not.
        {"/DSKDIR/WINDIR/inst", "CURDIR", "/C:\\Users\\me\\Desktop/WINDIR"},
    };
    for (const auto& c : cases) {
        folders.m_module = c.exe;
        std::string text = c.text;
        ExpandMacros(text, folders);
        EXPECT_EQ(text, c.expanded) << c.exe << " " << c.text;
    }
    // The directory form ends in one backslash, looked for after the trim.
    folders.m_module = "C:\\Setup\\sfx.exe";
    const std::pair<std::string, std::string> dirs[] = {
        {"CURDIR\\x", "C:\\Setup\\x\\"}, {"CURDIR\\ ", "C:\\Setup\\"}, {"", "\\"}};
    for (auto [text, dir] : dirs) {
        ExpandMacrosDir(text, folders);
        EXPECT_EQ(text, dir);
    }
}

} // namespace
