// The three folders as Windows names them: the running module, the Windows
// directory and the user's desktop.
#pragma once

#include "platform/Folders.h"

class CWin32Folders : public IFolders {
public:
    std::string WindowsDirectory() const override;
    std::string ModuleFileName() const override;
    std::string DesktopDirectory() const override;
};
