// Path splitting and the directory macros, with the three folders supplied by a fake.
#include "script/Paths.h"

#include <gtest/gtest.h>

namespace {

template <class Case>
std::string CaseName(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

struct SplitCase {
    const char* name;
    std::string path;
    PathParts parts;
};

// Failure messages name the case rather than dumping its bytes.
void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitPathTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitPathTest, SplitsLikeTheRuntime)
{
    const PathParts parts = SplitPath(GetParam().path);
    const PathParts& want = GetParam().parts;
    EXPECT_EQ(parts.drive, want.drive);
    EXPECT_EQ(parts.dir, want.dir);
    EXPECT_EQ(parts.fname, want.fname);
    EXPECT_EQ(parts.ext, want.ext);
    EXPECT_EQ(GetDirectoryPart(GetParam().path), want.drive + want.dir);
    EXPECT_EQ(GetFileNamePart(GetParam().path), want.fname + want.ext);
}

INSTANTIATE_TEST_SUITE_P(Paths, SplitPathTest, testing::Values(
    SplitCase{"WindowsPath", "C:\\Setup\\app.exe", {"C:", "\\Setup\\", "app", ".exe"}},
    SplitCase{"LinuxPath", "/opt/setup/inst", {"", "/opt/setup/", "inst", ""}},
    SplitCase{"MixedSeparators", "a/b\\c.tar.gz", {"", "a/b\\", "c.tar", ".gz"}},
    SplitCase{"BareName", "app.exe", {"", "", "app", ".exe"}},
    SplitCase{"DriveWithoutDirectory", "C:app.exe", {"C:", "", "app", ".exe"}},
    SplitCase{"DriveRoot", "C:\\", {"C:", "\\", "", ""}},
    SplitCase{"DotInDirectoryOnly", "dir.v2\\readme", {"", "dir.v2\\", "readme", ""}},
    SplitCase{"DotFile", "/home/me/.profile", {"", "/home/me/", "", ".profile"}},
    SplitCase{"EndsInSeparator", "build/out/", {"", "build/out/", "", ""}},
    SplitCase{"UncPath", "\\\\server\\share\\f.txt", {"", "\\\\server\\share\\", "f", ".txt"}},
    SplitCase{"ColonLaterIsNoDrive", "ab:c\\d", {"", "ab:c\\", "d", ""}},
    SplitCase{"Empty", "", {"", "", "", ""}}), CaseName<SplitCase>);

class CFakeFolders : public IFolders {
public:
    CFakeFolders(std::string windows, std::string exe, std::string desktop)
        : m_windows(std::move(windows)), m_exe(std::move(exe)), m_desktop(std::move(desktop)) {}
    std::string WindowsDirectory() const override { return m_windows; }
    std::string ModuleFileName() const override { return m_exe; }
    std::string DesktopDirectory() const override { return m_desktop; }

private:
    std::string m_windows, m_exe, m_desktop;
};

const CFakeFolders kWindows("C:\\WINDOWS", "C:\\Setup\\sfx.exe", "C:\\Users\\me\\Desktop");
const CFakeFolders kDriveRoot("C:\\WINDOWS", "C:\\sfx.exe", "C:\\Users\\me\\Desktop");
const CFakeFolders kLinux("/usr/bin", "/opt/setup/inst", "/home/me/Desktop");
// The Windows directory's value holds a macro word; the executable's directory holds another.
const CFakeFolders kMacroValues("/w/CURDIR", "/WINDIR/inst", "");

struct ExeDirCase {
    const char* name;
    std::string exePath;
    std::string dir;
};

void PrintTo(const ExeDirCase& c, std::ostream* os) { *os << c.name; }

class ExeDirTest : public testing::TestWithParam<ExeDirCase> {};

TEST_P(ExeDirTest, CutsAtLastSeparator)
{
    EXPECT_EQ(GetExeDir(CFakeFolders("", GetParam().exePath, "")), GetParam().dir);
}

INSTANTIATE_TEST_SUITE_P(ExeDir, ExeDirTest, testing::Values(
    ExeDirCase{"WindowsDirectory", "C:\\Setup\\sfx.exe", "C:\\Setup"},
    ExeDirCase{"WindowsDriveRoot", "C:\\sfx.exe", "C:"},
    ExeDirCase{"LinuxDirectory", "/opt/setup/inst", "/opt/setup"},
    ExeDirCase{"LinuxRoot", "/inst", ""},
    ExeDirCase{"MixedSeparators", "C:/a\\b/sfx", "C:/a\\b"},
    ExeDirCase{"BareName", "sfx.exe", ""}), CaseName<ExeDirCase>);

struct ExpandCase {
    const char* name;
    const CFakeFolders* folders;
    std::string text;
    std::string expanded;
    std::string expandedDir;
};

void PrintTo(const ExpandCase& c, std::ostream* os) { *os << c.name; }

class ExpandTest : public testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandTest, ReplacesMacroWords)
{
    std::string text = GetParam().text;
    ExpandMacros(text, *GetParam().folders);
    EXPECT_EQ(text, GetParam().expanded);
}

TEST_P(ExpandTest, DirEndsInOneBackslash)
{
    std::string text = GetParam().text;
    ExpandMacrosDir(text, *GetParam().folders);
    EXPECT_EQ(text, GetParam().expandedDir);
}

INSTANTIATE_TEST_SUITE_P(Macros, ExpandTest, testing::Values(
    ExpandCase{"CurdirIsExeDirectory", &kWindows, "CURDIR\\help", "C:\\Setup\\help", "C:\\Setup\\help\\"},
    ExpandCase{"ClosingBackslashNotDoubled", &kWindows, "CURDIR\\", "C:\\Setup\\", "C:\\Setup\\"},
    ExpandCase{"BlanksTrimmed", &kWindows, " \tWINDIR\\notepad.exe \r\n", "C:\\WINDOWS\\notepad.exe",
               "C:\\WINDOWS\\notepad.exe\\"},
    ExpandCase{"TrimmedBeforeBackslashCheck", &kWindows, "DSKDIR\\MyApp\\  ", "C:\\Users\\me\\Desktop\\MyApp\\",
               "C:\\Users\\me\\Desktop\\MyApp\\"},
    ExpandCase{"LowerCaseIsNoMacro", &kWindows, "windir\\notepad.exe", "windir\\notepad.exe", "windir\\notepad.exe\\"},
    ExpandCase{"EveryOccurrence", &kWindows, "CURDIR\\a;CURDIR\\b", "C:\\Setup\\a;C:\\Setup\\b",
               "C:\\Setup\\a;C:\\Setup\\b\\"},
    ExpandCase{"InsideLongerWord", &kWindows, "MYCURDIRS", "MYC:\\SetupS", "MYC:\\SetupS\\"},
    ExpandCase{"AllThree", &kWindows, "WINDIR|CURDIR|DSKDIR", "C:\\WINDOWS|C:\\Setup|C:\\Users\\me\\Desktop",
               "C:\\WINDOWS|C:\\Setup|C:\\Users\\me\\Desktop\\"},
    ExpandCase{"NoMacro", &kWindows, "D:\\data", "D:\\data", "D:\\data\\"},
    ExpandCase{"EmptyText", &kWindows, "", "", "\\"},
    ExpandCase{"DriveRootGivesBareDrive", &kDriveRoot, "CURDIR\\x", "C:\\x", "C:\\x\\"},
    ExpandCase{"LinuxExeDirectory", &kLinux, "CURDIR/data", "/opt/setup/data", "/opt/setup/data\\"},
    ExpandCase{"LinuxWindowsStylePath", &kLinux, "WINDIR\\xdg-open", "/usr/bin\\xdg-open", "/usr/bin\\xdg-open\\"},
    ExpandCase{"LaterWordSeesEarlierValue", &kMacroValues, "WINDIR", "/w//WINDIR", "/w//WINDIR\\"},
    ExpandCase{"EarlierWordNotRescanned", &kMacroValues, "CURDIR", "/WINDIR", "/WINDIR\\"},
    ExpandCase{"EmptyDesktop", &kMacroValues, "DSKDIR\\x", "\\x", "\\x\\"}), CaseName<ExpandCase>);

} // namespace
