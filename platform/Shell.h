// Starting programs and documents ("open"). The child is detached and never
// waited for.
#pragma once

#include <string>

class IShell {
public:
    virtual ~IShell() = default;
    // An executable is started with params split into arguments (blanks
    // separate, double quotes group; no command shell sees them); any other
    // file is handed to the desktop's opener. False when nothing could start.
    virtual bool Open(const std::string& file, const std::string& params) = 0;
    // True when Open would find file: a path that exists, or a bare name
    // found where Open looks for programs. Nothing is started.
    virtual bool CanFind(const std::string& file) const = 0;
};
