// Starting programs and documents with the shell's "open", as Explorer does.
// A bare name is looked for along PATH only and started by its full path, so
// a program of that name in the current folder is never picked.
#pragma once

#include "platform/Shell.h"

class CWin32Shell : public IShell {
public:
    bool Open(const std::string& file, const std::string& params) override;
    bool CanFind(const std::string& file) const override;
};
