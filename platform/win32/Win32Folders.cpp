#include "platform/win32/Win32Folders.h"
#include "platform/win32/Wide.h"

#include <vector>
#include <windows.h>
#include <shlobj.h>

std::string CWin32Folders::WindowsDirectory() const
{
    wchar_t buffer[MAX_PATH + 1];
    const UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH ? Utf8(buffer, length) : std::string();
}

std::string CWin32Folders::ModuleFileName() const
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return Utf8(buffer.data(), length);
        // Cut to the buffer: try again with more room.
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::string CWin32Folders::DesktopDirectory() const
{
    wchar_t buffer[MAX_PATH];
    if (::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK)
        return {};
    return Utf8(buffer, ::wcslen(buffer));
}
