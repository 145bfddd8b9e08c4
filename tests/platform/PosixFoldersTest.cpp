// The Linux desktop folder, from the XDG user directories.
#include "platform/posix/PosixFolders.h"
#include "tests/platform/PlatformTestUtil.h"

#include <gtest/gtest.h>

namespace {

TEST(PosixFolders, DesktopFromTheUserDirsFile)
{
    CTempDir dir;
    const std::string home = dir / "home";
    CScopedEnv homeEnv("HOME", home);
    CScopedEnv config("XDG_CONFIG_HOME", dir / "config");
    const struct {
        const char* name;
        std::string file;
        std::string desktop; // a leading "~" stands for the home folder
    } cases[] = {
        {"home relative", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", "~/Schreibtisch"},
        {"home itself", "XDG_DESKTOP_DIR=\"$HOME\"\n", "~"},
        {"absolute", "XDG_DESKTOP_DIR=\"/srv/desk\"\n", "/srv/desk"},
        {"among others, last one wins",
         "# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n#XDG_DESKTOP_DIR=\"$HOME/Old\"\n"
         "XDG_DESKTOP_DIR=\"$HOME/A\"\n  XDG_DESKTOP_DIR = \"$HOME/Escritorio\"\nXDG_DESKTOP_DIRS=\"$HOME/Not\"\n",
         "~/Escritorio"},
        {"trailing slash dropped", "XDG_DESKTOP_DIR=\"$HOME/Desk/\"\n", "~/Desk"},
        {"escapes and CR LF", "XDG_DESKTOP_DIR=\"$HOME/My \\\"Desk\\\" \\$x\"\r\n", "~/My \"Desk\" $x"},
        {"relative ignored", "XDG_DESKTOP_DIR=\"Desk\"\n", "~/Desktop"},
        {"other variable ignored", "XDG_DESKTOP_DIR=\"$HOMEDIR/x\"\n", "~/Desktop"},
        {"unclosed quote ignored", "XDG_DESKTOP_DIR=\"$HOME/Desk\n", "~/Desktop"},
    };
    for (const auto& c : cases) {
        WriteText(dir / "config/user-dirs.dirs", c.file);
        std::string want = c.desktop;
        if (want.starts_with("~"))
            want.replace(0, 1, home);
        EXPECT_EQ(CPosixFolders().DesktopDirectory(), want) << c.name;
    }
}

TEST(PosixFolders, WhereTheUserDirsFileIs)
{
    CTempDir dir;
    const std::string home = dir / "home";
    WriteText(home + "/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Dot\"\n");
    WriteText(dir / "config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desk\"\n");
    WriteText(dir / "absolute/user-dirs.dirs", "XDG_DESKTOP_DIR=\"/srv/desk\"\n");
    const struct {
        std::optional<std::string> home, config;
        std::string desktop;
    } cases[] = {
        {home, dir / "config", home + "/Desk"},
        {home + "/", dir / "none", home + "/Desktop"},
        {home, std::nullopt, home + "/Dot"},
        // Without a home only an absolute entry names a desktop.
        {std::nullopt, dir / "config", ""},
        {std::nullopt, dir / "absolute", "/srv/desk"},
        {std::nullopt, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        CScopedEnv homeEnv("HOME", c.home);
        CScopedEnv config("XDG_CONFIG_HOME", c.config);
        EXPECT_EQ(CPosixFolders().DesktopDirectory(), c.desktop) << c.home.value_or("no HOME") << " " << c.config.value_or("no XDG_CONFIG_HOME");
    }
}

} // namespace
