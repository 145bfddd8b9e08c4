// The Windows realisation under Wine: files by UTF-8 names, the safety rules
// for devices and folders, replace-by-rename, the folders, the registry.
#include "platform/Files.h"
#include "platform/win32/Win32Folders.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "tests/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <windows.h>

namespace fs = std::filesystem;

namespace {

class Win32FilesTest : public ::testing::Test {
protected:
    CTempDir m_dir;
    std::string Path(const std::string& name) const { return m_dir / name; }
    // What is in the folder, by the wide names Windows keeps.
    std::vector<std::u8string> Names() const
    {
        std::vector<std::u8string> names;
        for (const auto& entry : fs::directory_iterator(fs::u8path(m_dir.Path())))
            names.push_back(entry.path().filename().u8string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::string ReadAll(const std::string& path)
{
    CFile in;
    std::string text;
    if (!in.Open(path, CFile::Mode::Read))
        return "<cannot open>";
    char block[256];
    for (std::int64_t n; (n = in.Read(block, sizeof block)) > 0;)
        text.append(block, static_cast<std::size_t>(n));
    return text;
}

TEST_F(Win32FilesTest, NonAsciiNamesAreTheWideNamesWindowsShows)
{
    const std::string name = "Grüße ✓ файл.txt";
    CFile out;
    ASSERT_TRUE(out.Open(Path(name), CFile::Mode::Replace));
    ASSERT_TRUE(out.Write("hello", 5));
    out.Close();
    EXPECT_EQ(Names(), std::vector<std::u8string>{u8"Grüße ✓ файл.txt"});
    EXPECT_EQ(ReadAll(Path(name)), "hello");
    // Both separators name the one file.
    std::string backslashed = Path(name);
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    EXPECT_TRUE(IsSameFile(Path(name), backslashed));
    EXPECT_TRUE(IsRegularFileAt(backslashed));
}

TEST_F(Win32FilesTest, DevicesAndFoldersAreNeverOpenedOrReplaced)
{
    ASSERT_TRUE(CreateDirectoryAt(Path("folder")));
    const struct {
        std::string path;
        CFile::Failure failure;
    } cases[] = {
        {"NUL", CFile::Failure::NotRegular},
        {Path("folder"), CFile::Failure::Folder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        for (CFile::Mode mode : {CFile::Mode::Read, CFile::Mode::Write, CFile::Mode::CreateWrite, CFile::Mode::Replace,
                                 CFile::Mode::CreateNew}) {
            CFile file;
            EXPECT_FALSE(file.Open(c.path, mode));
            EXPECT_EQ(file.GetOpenFailure(), c.failure);
        }
        EXPECT_FALSE(IsRegularFileAt(c.path));
        EXPECT_TRUE(IsSpecialEntry(c.path));
        EXPECT_EQ(ReplaceFileContents(c.path, "x"), ReplaceResult::CannotCreate);
    }
    EXPECT_TRUE(IsDirectory(Path("folder")));
}

// Names from a package or a script that Windows would turn into a device
// or a stream of another file, beside look-alikes that are plain names.
TEST_F(Win32FilesTest, NewFilesNeverTakeADeviceOrStreamName)
{
    const std::string refused[] = {
        "a.txt:s", "notes:", "CON", "con.txt", "NUL.", "Nul. .", "COM1", "com0", "LPT9.log", "COM¹", "lpt³.txt", "AUX ",
        "PRN .log", "CONIN$", "conout$.txt",
    };
    const CFile::Mode creating[] = {CFile::Mode::CreateWrite, CFile::Mode::Replace, CFile::Mode::CreateNew};
    WriteTextFile(Path("source"), "source");
    for (const std::string& name : refused) {
        SCOPED_TRACE(name);
        const std::string path = Path(name);
        for (CFile::Mode mode : creating) {
            CFile file;
            EXPECT_FALSE(file.Open(path, mode));
            EXPECT_EQ(file.GetOpenFailure(), CFile::Failure::NotRegular);
        }
        CFile temp;
        std::string tempPath;
        EXPECT_FALSE(temp.CreateTemporaryBeside(path, tempPath));
        EXPECT_FALSE(MoveFileTo(Path("source"), path));
        EXPECT_FALSE(ReplaceFileWith(Path("source"), path));
        EXPECT_EQ(ReplaceFileContents(path, "x"), ReplaceResult::CannotCreate);
        EXPECT_EQ(Names(), std::vector<std::u8string>{u8"source"});
    }
    const std::string fine[] = {"CONSOLE.txt", "COM10", "nul_file", "LPT", "x.con", "COM1x.txt", "a.txt"};
    for (const std::string& name : fine) {
        SCOPED_TRACE(name);
        for (CFile::Mode mode : creating) {
            CFile file;
            EXPECT_TRUE(file.Open(Path(name), mode));
            file.Close();
            EXPECT_TRUE(DeleteFileAt(Path(name)));
        }
        EXPECT_TRUE(MoveFileTo(Path("source"), Path(name)));
        EXPECT_TRUE(ReplaceFileWith(Path(name), Path("source")));
        EXPECT_EQ(Names(), std::vector<std::u8string>{u8"source"});
    }
    // "C:x" is x in drive C's current folder, not in the folder meant.
    const std::string driveRelative = "C:" + fs::u8path(m_dir.Path()).filename().string();
    for (CFile::Mode mode : creating) {
        CFile file;
        EXPECT_FALSE(file.Open(driveRelative, mode));
    }
    EXPECT_FALSE(MoveFileTo(Path("source"), driveRelative));
    EXPECT_FALSE(fs::exists(fs::u8path(driveRelative)));
    DeleteFileAt(driveRelative);
}

TEST_F(Win32FilesTest, ReplaceMakesANewFileAndAFailureLeavesTheOldOne)
{
    WriteTextFile(Path("a.txt"), "old contents, longer than the new");
    const FileId old = GetFileId(Path("a.txt"));
    CFile out;
    ASSERT_TRUE(out.Open(Path("a.txt"), CFile::Mode::Replace));
    EXPECT_EQ(out.GetLengthAtOpen(), 0);
    EXPECT_TRUE(out.IsSameFile(Path("a.txt")));
    ASSERT_TRUE(out.Write("new", 3));
    out.Close();
    EXPECT_EQ(ReadAll(Path("a.txt")), "new");
    EXPECT_NE(GetFileId(Path("a.txt")), old);
    EXPECT_EQ(Names(), std::vector<std::u8string>{u8"a.txt"});

    // A file that cannot be replaced (held open without leave to delete
    // it) stays as it was, and no temporary is left beside it.
    const std::wstring wide = fs::u8path(Path("a.txt")).wstring();
    const HANDLE held = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(out.Open(Path("a.txt"), CFile::Mode::Replace));
    EXPECT_EQ(out.GetOpenFailure(), CFile::Failure::Other);
    ::CloseHandle(held);
    EXPECT_EQ(ReadAll(Path("a.txt")), "new");
    EXPECT_EQ(Names(), std::vector<std::u8string>{u8"a.txt"});
}

TEST_F(Win32FilesTest, ReplacingContentsRenamesANewFileOverTheOld)
{
    WriteTextFile(Path("a.ini"), "old contents, longer than the new");
    const FileId old = GetFileId(Path("a.ini"));
    EXPECT_EQ(ReplaceFileContents(Path("a.ini"), "new"), ReplaceResult::Replaced);
    EXPECT_EQ(ReadAll(Path("a.ini")), "new");
    // A new file took the name; the old one was never written into.
    EXPECT_NE(GetFileId(Path("a.ini")), old);
    // No temporary left beside it.
    EXPECT_EQ(Names(), std::vector<std::u8string>{u8"a.ini"});
    EXPECT_EQ(ReplaceFileContents(Path("new.ini"), "made"), ReplaceResult::Replaced);
    EXPECT_EQ(ReadAll(Path("new.ini")), "made");
}

TEST_F(Win32FilesTest, MovesNeverReplaceButReplaceFileWithDoes)
{
    WriteTextFile(Path("from"), "from");
    WriteTextFile(Path("to"), "to");
    EXPECT_FALSE(MoveFileTo(Path("from"), Path("to")));
    EXPECT_EQ(ReadAll(Path("to")), "to");
    EXPECT_TRUE(MoveFileTo(Path("from"), Path("moved")));
    EXPECT_TRUE(ReplaceFileWith(Path("moved"), Path("to")));
    EXPECT_EQ(ReadAll(Path("to")), "from");
    EXPECT_TRUE(DeleteFileAt(Path("to")));
    EXPECT_TRUE(DeleteFileAt(Path("to"))); // already gone counts as deleted
    EXPECT_EQ(Names(), std::vector<std::u8string>{});
}

TEST_F(Win32FilesTest, OpenModesKeepEmptyOrRefuseAsTheirNamesSay)
{
    WriteTextFile(Path("f"), "0123456789");
    CFile file;
    ASSERT_TRUE(file.Open(Path("f"), CFile::Mode::Write));
    ASSERT_TRUE(file.Write("ab", 2));
    char at[3] = {};
    EXPECT_FALSE(file.ReadAt(0, at, 2)); // write-only handle
    file.Close();
    EXPECT_EQ(ReadAll(Path("f")), "ab23456789");
    ASSERT_TRUE(file.Open(Path("f"), CFile::Mode::Read));
    ASSERT_TRUE(file.ReadAt(8, at, 2));
    EXPECT_STREQ(at, "89");
    // A positioned read leaves the reading position where it was.
    char first[3] = {};
    EXPECT_EQ(file.Read(first, 2), 2);
    EXPECT_STREQ(first, "ab");
    EXPECT_EQ(file.GetLength(), 10);
    EXPECT_EQ(file.GetLengthAtOpen(), 10);
    file.Close();
    ASSERT_TRUE(file.Open(Path("f"), CFile::Mode::CreateWrite));
    EXPECT_EQ(file.GetLength(), 0);
    EXPECT_EQ(file.GetLengthAtOpen(), 0);
    file.Close();
    // CreateNew takes no name that is taken.
    errno = 0;
    EXPECT_FALSE(file.Open(Path("f"), CFile::Mode::CreateNew));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_TRUE(file.Open(Path("g"), CFile::Mode::CreateNew));
    file.Close();
    CFile missing;
    EXPECT_FALSE(missing.Open(Path("none"), CFile::Mode::Write));
    EXPECT_EQ(missing.GetOpenFailure(), CFile::Failure::Other);
    EXPECT_FALSE(fs::exists(fs::u8path(Path("none"))));
}

TEST(Win32Folders, NameTheWindowsFoldersAndThisProgram)
{
    const CWin32Folders folders;
    EXPECT_TRUE(IsDirectory(folders.WindowsDirectory())) << folders.WindowsDirectory();
    EXPECT_TRUE(IsRegularFileAt(folders.ModuleFileName())) << folders.ModuleFileName();
    EXPECT_TRUE(folders.ModuleFileName().ends_with("test_platform_win32.exe"));
    EXPECT_FALSE(folders.DesktopDirectory().empty());
}

TEST(Win32Shell, FindsProgramsAlongPathOnly)
{
    CWin32Shell shell;
    EXPECT_TRUE(shell.CanFind("cmd"));
    EXPECT_TRUE(shell.CanFind("cmd.exe"));
    EXPECT_FALSE(shell.CanFind("no-such-program-sfx"));
    EXPECT_FALSE(shell.Open("no-such-program-sfx", ""));
}

TEST(Win32Registry, WritesReadBackAndFailuresSayWhy)
{
    CWin32Registry registry;
    const std::string path = "Software\\sfxpack-test\\unit";
    const std::optional<RegKey> key = registry.CreateKey(kRegCurrentUser, path);
    ASSERT_TRUE(key);
    EXPECT_TRUE(registry.SetValue(*key, "", kRegString, std::string("default\0", 8)));
    EXPECT_TRUE(registry.SetValue(*key, "Grüße", kRegString, std::string("naïve ✓") + '\0'));
    EXPECT_TRUE(registry.SetValue(*key, "n", kRegDword, std::string("\x01\x02\x03\x04", 4)));
    registry.CloseKey(*key);

    CRegValue value;
    ASSERT_TRUE(registry.QueryValue(kRegCurrentUser, path, "Grüße", value));
    EXPECT_EQ(value.type, kRegString);
    EXPECT_EQ(value.data, std::string("naïve ✓") + '\0');
    std::vector<CRegValue> values;
    ASSERT_TRUE(registry.QueryValues(kRegCurrentUser, path, values));
    ASSERT_EQ(values.size(), 3u);
    for (const CRegValue& v : values) {
        if (v.name == "n")
            EXPECT_EQ(v.data, "\x01\x02\x03\x04");
        else if (v.name.empty())
            EXPECT_EQ(v.data, std::string("default\0", 8));
        else
            EXPECT_EQ(v.name, "Grüße");
    }
    EXPECT_FALSE(registry.QueryValue(kRegCurrentUser, path, "missing", value));
    EXPECT_NE(registry.LastError().find("missing"), std::string::npos) << registry.LastError();
    EXPECT_FALSE(registry.OpenKey(kRegCurrentUser, "Software\\sfxpack-test\\no such key"));
}

} // namespace
