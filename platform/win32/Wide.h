// UTF-8 inside, UTF-16 at the Win32 calls: the conversions every
// realisation here uses.
#pragma once

#include <string>

// path or text as UTF-16; Path also turns '/' into '\'.
std::wstring Wide(const std::string& text);
std::wstring WidePath(const std::string& path);
std::string Utf8(const std::wstring& text);
std::string Utf8(const wchar_t* text, std::size_t length);
// Sets errno from a Win32 error, so callers that report strerror(errno) say
// something true.
void SetErrnoFrom(unsigned long error);
