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

class FakeReport : public IBuildReport {
public:
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override
    {
        boxes.push_back({text, caption, style});
        return answer;
    }
    void StartFile(const std::string& path) override { started.push_back(path); }
    void Progress(const std::string& path, std::int64_t done, std::int64_t total) override
    {
        progress.push_back(path + " " + std::to_string(done) + "/" + std::to_string(total));
    }

    std::vector<std::string> statuses;
    std::vector<CBoxCall> boxes;
    std::vector<std::string> started;
    std::vector<std::string> progress;
    int answer = IDNO;
};

} // namespace pkgtest
