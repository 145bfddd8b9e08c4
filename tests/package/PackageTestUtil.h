// Hand-made package bytes for the package and tool tests. Temporary folders
// and the platform fakes come from tests/fakes.
#pragma once

#include "package/PackageFormat.h"
#include "tests/fakes/TestPackage.h"

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

namespace pkgtest {

namespace fs = std::filesystem;

// Bytes that differ from position to position, so a misplaced copy shows.
inline std::string Pattern(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

// A stub as the program's own executable ends: in zero bytes.
inline std::string Stub(std::size_t size)
{
    return Pattern(size - 4, 7) + std::string(4, '\0');
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

} // namespace pkgtest
