#include "tools/Commands.h"

#include "platform/Files.h"
#include "script/StrUtil.h"

#include <cerrno>
#include <cstring>
#include <iostream>

int Fail(int code, const std::string& message)
{
    return CommandFail(kProgram, code, message);
}

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& error)
{
    // Through CFile: a pipe or device named here is refused, never waited on.
    CFile in;
    if (!in.Open(path, CFile::Mode::Read)) {
        const CFile::Failure failure = in.GetOpenFailure();
        error = "cannot read " + path + ": "
            + (failure == CFile::Failure::NotRegular ? std::string("not a regular file") : std::strerror(errno));
        return false;
    }
    std::string text;
    char block[65536];
    for (;;) {
        const std::int64_t n = in.Read(block, sizeof block);
        if (n < 0) {
            error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
        if (n == 0)
            break;
        text.append(block, static_cast<std::size_t>(n));
    }
    bytes = std::move(text);
    return true;
}
