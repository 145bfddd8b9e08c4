// Colours as the program states them: 32-bit values laid out 0x00BBGGRR.
#pragma once

#include <cstdint>

using Color = std::uint32_t;

constexpr Color Rgb(unsigned red, unsigned green, unsigned blue)
{
    return (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16;
}

constexpr unsigned RedOf(Color color) { return color & 0xFF; }
constexpr unsigned GreenOf(Color color) { return color >> 8 & 0xFF; }
constexpr unsigned BlueOf(Color color) { return color >> 16 & 0xFF; }
