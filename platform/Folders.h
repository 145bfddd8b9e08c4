// The three places the program asks the operating system about: its own
// executable, the system's program folder (WINDIR) and the user's desktop.
// The logic takes them through this interface so tests can supply them.
#pragma once

#include <string>

class IFolders {
public:
    virtual ~IFolders() = default;
    // WINDIR: the Windows directory; on Linux the system's program folder.
    virtual std::string WindowsDirectory() const = 0;
    // Full path of the running executable.
    virtual std::string ModuleFileName() const = 0;
    // The user's desktop folder; empty when it cannot be named.
    virtual std::string DesktopDirectory() const = 0;
};
