// Starting programs and documents on Linux. An executable file is started
// directly, its parameters split into arguments (blanks separate, double
// quotes group), so no command shell ever reads them; any other file goes to
// xdg-open. The child is detached in its own session and never waited for.
#pragma once

#include "platform/Shell.h"

#include <string>
#include <vector>

class CPosixShell : public IShell {
public:
    bool Open(const std::string& file, const std::string& params) override;
    bool CanFind(const std::string& file) const override;
};

// Blanks (space, tab) separate arguments; a double quote starts or ends a
// quoted run, in which blanks are kept. The quotes themselves are removed.
std::vector<std::string> SplitParams(const std::string& params);
