// The package appended to an installer, stated once for the writer and the
// reader: markers, limits, and the byte order of its numbers.
//
//   stub | 1983 | { body | name\0 | K | N | 1984 }* | { text\0 | L | 1985 }*
//
// Every number is a 32-bit little-endian integer on every host, so a package
// built on one machine reads the same on any other.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::int32_t kStubMarker = 1983;
inline constexpr std::int32_t kFileMarker = 1984;
inline constexpr std::int32_t kTextMarker = 1985;

// A stored name with its zero byte, and the field that holds it.
inline constexpr std::size_t kNameSize = 260;
// A text length field at or above this reads as "no further text".
inline constexpr std::int32_t kTextLengthLimit = 300000;
// Positions are signed 32-bit numbers, so an installer stays below 2 GiB.
inline constexpr std::int64_t kMaxInstallerSize = 0x7FFFFFFF;

// Copies stream through one buffer of this size; large enough that the
// system calls cost nothing next to the bytes they move.
inline constexpr std::size_t kCopyBufferSize = 1 << 20;

inline void PutInt32(unsigned char* out, std::uint32_t value)
{
    out[0] = static_cast<unsigned char>(value);
    out[1] = static_cast<unsigned char>(value >> 8);
    out[2] = static_cast<unsigned char>(value >> 16);
    out[3] = static_cast<unsigned char>(value >> 24);
}

inline std::int32_t GetInt32(const unsigned char* in)
{
    const std::uint32_t value = std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8
        | std::uint32_t(in[2]) << 16 | std::uint32_t(in[3]) << 24;
    return static_cast<std::int32_t>(value);
}

inline bool IsMarker(std::int32_t value)
{
    return value == kStubMarker || value == kFileMarker || value == kTextMarker;
}
