// The Linux desktop folder, from the XDG user directories.
#include "platform/posix/PosixFolders.h"
#include "tests/platform/PlatformTestUtil.h"

#include <gtest/gtest.h>

namespace {

TEST(PosixFolders, DesktopFromTheUserDirsFile)
{
    CTempDir dir;
    const std::string home = dir / "home", config = dir / "config";
    WriteText(home + "/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Dot\"\n");
    const struct {
        std::optional<std::string> home, config;
        std::string file; // config's user-dirs.dirs
        std::string desktop;
    } cases[] = {
        // As in the shell that reads the file, the last assignment wins.
        {home, config, "# xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n#XDG_DESKTOP_DIR=\"$HOME/Old\"\n"
                       "XDG_DESKTOP_DIR=\"$HOME/A\"\n  XDG_DESKTOP_DIR = \"$HOME/Escritorio\"\nXDG_DESKTOP_DIRS=\"$HOME/Not\"\n",
         home + "/Escritorio"},
        {home, config, "XDG_DESKTOP_DIR=\"$HOME/My \\\"Desk\\\" \\$x\"\r\n", home + "/My \"Desk\" $x"},
        // No desktop path: ignored.
        {home, config, "XDG_DESKTOP_DIR=\"$HOMEDIR/x\"\n", home + "/Desktop"},
        {home, config, "XDG_DESKTOP_DIR=\"$HOME/Desk\n", home + "/Desktop"},
        // Without XDG_CONFIG_HOME the file is in ~/.config.
        {home + "/", dir / "none", "", home + "/Desktop"},
        {home, std::nullopt, "", home + "/Dot"},
        // Without a home only an absolute entry names a desktop.
        {std::nullopt, config, "XDG_DESKTOP_DIR=\"$HOME/Desk\"\n", ""},
        {std::nullopt, config, "XDG_DESKTOP_DIR=\"/srv/desk/\"\n", "/srv/desk"},
    };
    for (const auto& c : cases) {
        WriteText(config + "/user-dirs.dirs", c.file);
        CScopedEnv homeEnv("HOME", c.home);
        CScopedEnv configEnv("XDG_CONFIG_HOME", c.config);
        EXPECT_EQ(CPosixFolders().DesktopDirectory(), c.desktop) << c.home.value_or("no HOME") << " " << c.file;
    }
}

} // namespace
