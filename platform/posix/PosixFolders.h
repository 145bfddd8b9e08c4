// The folders of a Linux desktop: /usr/bin stands for the Windows directory,
// /proc/self/exe names the running executable, and the desktop comes from the
// XDG user directories.
#pragma once

#include "platform/Folders.h"

class CPosixFolders : public IFolders {
public:
    std::string WindowsDirectory() const override;
    std::string ModuleFileName() const override;
    // XDG_DESKTOP_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (default
    // ~/.config), else $HOME/Desktop; empty when neither can be named.
    std::string DesktopDirectory() const override;
};
