// The Linux folders: the running executable and the desktop from the XDG user directories.
#include "platform/posix/PosixFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Sets or unsets an environment variable for one test, and puts it back after.
class CScopedEnv {
public:
    CScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        Set(value);
    }
    ~CScopedEnv() { Set(m_old); }
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

private:
    void Set(const std::optional<std::string>& value)
    {
        if (value)
            setenv(m_name, value->c_str(), 1);
        else
            unsetenv(m_name);
    }

    const char* m_name;
    std::optional<std::string> m_old;
};

class PosixFoldersTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        m_root = fs::temp_directory_path() / ("sfx-folders-" + std::to_string(getpid()) + "-" + name);
        fs::remove_all(m_root);
        fs::create_directories(Home() + "/.config");
        fs::create_directories(m_root / "config");
    }
    void TearDown() override { fs::remove_all(m_root); }

    std::string Home() const { return (m_root / "home").string(); }
    std::string Config() const { return (m_root / "config").string(); }

    static void Write(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

    fs::path m_root;
};

struct UserDirsCase {
    const char* name;
    std::string file;
    std::string desktop; // a leading "$HOME" stands for the test's home folder
};

// Failure messages name the case rather than dumping its bytes.
void PrintTo(const UserDirsCase& c, std::ostream* os) { *os << c.name; }

class UserDirsTest : public PosixFoldersTest, public testing::WithParamInterface<UserDirsCase> {};

TEST_P(UserDirsTest, ReadsDesktopEntry)
{
    CScopedEnv home("HOME", Home());
    CScopedEnv config("XDG_CONFIG_HOME", Config());
    Write(Config() + "/user-dirs.dirs", GetParam().file);
    std::string want = GetParam().desktop;
    if (want.starts_with("$HOME"))
        want.replace(0, 5, Home());
    EXPECT_EQ(CPosixFolders().DesktopDirectory(), want);
}

INSTANTIATE_TEST_SUITE_P(Desktop, UserDirsTest, testing::Values(
    UserDirsCase{"HomeRelative", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", "$HOME/Schreibtisch"},
    UserDirsCase{"BracedHome", "XDG_DESKTOP_DIR=\"${HOME}/Bureau\"\n", "$HOME/Bureau"},
    UserDirsCase{"HomeItself", "XDG_DESKTOP_DIR=\"$HOME\"\n", "$HOME"},
    UserDirsCase{"Absolute", "XDG_DESKTOP_DIR=\"/srv/desk\"\n", "/srv/desk"},
    UserDirsCase{"AmongOthersWithComments",
                 "# written by xdg-user-dirs-update\n"
                 "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                 "#XDG_DESKTOP_DIR=\"$HOME/Old\"\n"
                 "  XDG_DESKTOP_DIR = \"$HOME/Escritorio\"\n"
                 "XDG_DESKTOP_DIRS=\"$HOME/Not\"\n",
                 "$HOME/Escritorio"},
    UserDirsCase{"TrailingSlashDropped", "XDG_DESKTOP_DIR=\"$HOME/Desk/\"\n", "$HOME/Desk"},
    UserDirsCase{"EscapesAndCrLf", "XDG_DESKTOP_DIR=\"$HOME/My \\\"Desk\\\" \\$x\"\r\n", "$HOME/My \"Desk\" $x"},
    UserDirsCase{"LastEntryWins", "XDG_DESKTOP_DIR=\"$HOME/A\"\nXDG_DESKTOP_DIR=\"$HOME/B\"\n", "$HOME/B"},
    UserDirsCase{"RelativeIgnored", "XDG_DESKTOP_DIR=\"Desk\"\n", "$HOME/Desktop"},
    UserDirsCase{"OtherVariableIgnored", "XDG_DESKTOP_DIR=\"$HOMEDIR/x\"\n", "$HOME/Desktop"},
    UserDirsCase{"UnquotedIgnored", "XDG_DESKTOP_DIR=$HOME/Desk\n", "$HOME/Desktop"},
    UserDirsCase{"UnclosedQuoteIgnored", "XDG_DESKTOP_DIR=\"$HOME/Desk\n", "$HOME/Desktop"},
    UserDirsCase{"NoEntry", "XDG_MUSIC_DIR=\"$HOME/Music\"\n", "$HOME/Desktop"}), [](const auto& info) {
        return std::string(info.param.name);
    });

TEST_F(PosixFoldersTest, NoUserDirsFileGivesHomeDesktop)
{
    CScopedEnv home("HOME", Home() + "/");
    CScopedEnv config("XDG_CONFIG_HOME", Config());
    EXPECT_EQ(CPosixFolders().DesktopDirectory(), Home() + "/Desktop");
}

TEST_F(PosixFoldersTest, ConfigHomeDefaultsToDotConfig)
{
    CScopedEnv home("HOME", Home());
    CScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
    Write(Home() + "/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Dot\"\n");
    EXPECT_EQ(CPosixFolders().DesktopDirectory(), Home() + "/Dot");
}

TEST_F(PosixFoldersTest, RelativeConfigHomeIgnored)
{
    CScopedEnv home("HOME", Home());
    CScopedEnv config("XDG_CONFIG_HOME", "relative/config");
    Write(Home() + "/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Dot\"\n");
    EXPECT_EQ(CPosixFolders().DesktopDirectory(), Home() + "/Dot");
}

TEST_F(PosixFoldersTest, WithoutHomeOnlyAbsoluteEntryCounts)
{
    CScopedEnv home("HOME", std::nullopt);
    CScopedEnv config("XDG_CONFIG_HOME", Config());
    Write(Config() + "/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desk\"\n");
    EXPECT_EQ(CPosixFolders().DesktopDirectory(), "");
    Write(Config() + "/user-dirs.dirs", "XDG_DESKTOP_DIR=\"/srv/desk\"\n");
    EXPECT_EQ(CPosixFolders().DesktopDirectory(), "/srv/desk");
}

TEST_F(PosixFoldersTest, WithoutHomeOrConfigDesktopIsEmpty)
{
    CScopedEnv home("HOME", std::nullopt);
    CScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(CPosixFolders().DesktopDirectory(), "");
}

TEST(PosixFolders, ModuleFileNameIsThisExecutable)
{
    const fs::path exe = CPosixFolders().ModuleFileName();
    ASSERT_TRUE(exe.is_absolute()) << exe;
    EXPECT_TRUE(fs::equivalent(exe, "/proc/self/exe")) << exe;
    EXPECT_EQ(exe.filename(), "test_platform");
}

} // namespace
