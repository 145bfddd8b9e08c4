// The few string operations the script language and its callers need.
// Strings are byte strings; on Linux they hold UTF-8, where a byte-wise
// substring search never matches inside a multi-byte character.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace str {

// The white space that values are trimmed of.
inline constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

inline bool Contains(std::string_view text, std::string_view word)
{
    return text.find(word) != std::string_view::npos;
}

// Replaces every non-overlapping occurrence, left to right, without
// rescanning what was inserted.
inline void ReplaceAll(std::string& text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return;
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
        out.append(text, pos, hit - pos);
        out.append(to);
    }
    if (pos == 0)
        return;
    out.append(text, pos, std::string::npos);
    text.swap(out);
}

inline void TrimLeft(std::string& text)
{
    text.erase(0, std::min(text.size(), text.find_first_not_of(kWhiteSpace)));
}

inline void TrimRight(std::string& text)
{
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    text.erase(last == std::string::npos ? 0 : last + 1);
}

inline void Trim(std::string& text)
{
    TrimRight(text);
    TrimLeft(text);
}

inline std::string Trimmed(std::string text)
{
    Trim(text);
    return text;
}

inline bool EndsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The text with control characters written as \xHH, so that a name taken
// from a file cannot steer the terminal it is printed on.
inline std::string EscapeControls(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
            continue;
        }
        constexpr char kHex[] = "0123456789abcdef";
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    }
    return out;
}

} // namespace str
