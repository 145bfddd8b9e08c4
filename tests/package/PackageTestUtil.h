// Helpers of the package tests: a byte-exact assembler for hand-made
// packages, and a build report that records what it is told. Temporary
// folders and the platform fakes come from tests/fakes.
#pragma once

#include "package/Builder.h"
#include "package/PackageFormat.h"
#include "tests/fakes/TestPackage.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pkgtest {

namespace fs = std::filesystem;

// Bytes that differ from position to position, so a misplaced copy shows.
inline std::string Pattern(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return bytes;
}

// A stub as the program's own executable ends: in zero bytes.
inline std::string Stub(std::size_t size)
{
    std::string bytes = Pattern(size, 7);
    bytes.replace(size - 4, 4, 4, '\0');
    return bytes;
}

inline std::string Int32(std::uint32_t value)
{
    std::string bytes(4, '\0');
    PutInt32(reinterpret_cast<unsigned char*>(bytes.data()), value);
    return bytes;
}

inline std::string FileRecord(const std::string& body, const std::string& name)
{
    return body + name + '\0' + Int32(static_cast<std::uint32_t>(name.size() + 1))
        + Int32(static_cast<std::uint32_t>(body.size())) + Int32(kFileMarker);
}

inline std::string TextBlock(const std::string& text)
{
    return text + '\0' + Int32(static_cast<std::uint32_t>(text.size() + 1)) + Int32(kTextMarker);
}

inline CFakeFolders Folders(const std::string& exe)
{
    CFakeFolders folders;
    folders.m_module = exe;
    return folders;
}

// Records what the build tells, one line each, in order.
class FakeReport : public IBuildReport {
public:
    void SetStatus(const std::string& text) override { log.push_back("status " + text); }
    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override
    {
        log.push_back("box " + caption + " " + std::to_string(style) + " " + text);
        return answer;
    }
    void StartFile(const std::string& path) override { log.push_back("start " + path); }
    void Progress(const std::string& path, std::int64_t done, std::int64_t total) override
    {
        log.push_back("progress " + path + " " + std::to_string(done) + "/" + std::to_string(total));
    }

    std::vector<std::string> log;
    int answer = IDNO;
};

} // namespace pkgtest
