#include "platform/win32/Win32Shell.h"
#include "platform/win32/Wide.h"

#include <vector>
#include <windows.h>
#include <shellapi.h>

namespace {

// The full path Open starts: file itself when it names a path, else the
// first match along PATH (trying .exe when no extension is given); empty
// when there is none.
std::wstring Resolve(const std::string& file)
{
    const std::wstring wide = WidePath(file);
    if (wide.empty())
        return {};
    if (wide.find_first_of(L"\\:") != std::wstring::npos)
        return ::GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES ? wide : std::wstring();
    const DWORD pathLength = ::GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (pathLength == 0)
        return {};
    std::vector<wchar_t> path(pathLength);
    ::GetEnvironmentVariableW(L"PATH", path.data(), pathLength);
    wchar_t found[MAX_PATH];
    const DWORD length = ::SearchPathW(path.data(), wide.c_str(), L".exe", MAX_PATH, found, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(found, length) : std::wstring();
}

} // namespace

bool CWin32Shell::CanFind(const std::string& file) const
{
    return !Resolve(file).empty();
}

bool CWin32Shell::Open(const std::string& file, const std::string& params)
{
    const std::wstring path = Resolve(file);
    if (path.empty())
        return false;
    const std::wstring args = Wide(params);
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", path.c_str(), args.empty() ? nullptr : args.c_str(), nullptr, SW_SHOWNORMAL));
    // Values above 32 mean it started.
    return result > 32;
}
