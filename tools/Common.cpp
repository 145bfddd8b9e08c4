#include "tools/Commands.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

int Fail(int code, const std::string& message)
{
    return CommandFail(kProgram, code, message);
}

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& error)
{
    // A directory opens as a stream and reads as nothing: say so instead.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = "cannot read " + path + ": " + std::strerror(EISDIR);
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    bytes = std::move(buffer).str();
    return true;
}
