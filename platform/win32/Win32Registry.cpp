#include "platform/win32/Win32Registry.h"
#include "platform/win32/Wide.h"

#include <windows.h>

namespace {

HKEY Key(RegKey key)
{
    return reinterpret_cast<HKEY>(key);
}

bool IsRoot(RegKey key)
{
    return key >= kRegClassesRoot && key <= kRegCurrentConfig;
}

// Windows stores text as UTF-16 with its terminating zero; inside, a
// kRegString value is its UTF-8 bytes and one zero byte.
CRegValue FromStored(const wchar_t* name, DWORD nameLength, DWORD type, const std::string& bytes)
{
    CRegValue value{Utf8(name, nameLength), type, bytes};
    if (type == REG_SZ) {
        std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
        bytes.copy(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        value.data = Utf8(text) + '\0';
    }
    return value;
}

} // namespace

bool CWin32Registry::Failed(long status, const std::string& what)
{
    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(status), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = text ? Utf8(text, ::wcslen(text)) : "error " + std::to_string(status);
    ::LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
        reason.pop_back();
    m_error = what + ": " + reason;
    return false;
}

std::optional<RegKey> CWin32Registry::CreateKey(RegKey root, const std::string& path)
{
    HKEY key = nullptr;
    const LONG status = ::RegCreateKeyExW(Key(root), Wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        Failed(status, "cannot create key " + path);
        return std::nullopt;
    }
    return reinterpret_cast<RegKey>(key);
}

std::optional<RegKey> CWin32Registry::OpenKey(RegKey root, const std::string& path)
{
    HKEY key = nullptr;
    const LONG status = ::RegOpenKeyExW(Key(root), Wide(path).c_str(), 0, KEY_ALL_ACCESS, &key);
    if (status != ERROR_SUCCESS) {
        Failed(status, "cannot open key " + path);
        return std::nullopt;
    }
    return reinterpret_cast<RegKey>(key);
}

bool CWin32Registry::SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::string& data)
{
    std::wstring text;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(data.data());
    std::size_t size = data.size();
    if (type == kRegString) {
        std::string utf8 = data;
        if (!utf8.empty() && utf8.back() == '\0')
            utf8.pop_back();
        text = Wide(utf8);
        bytes = reinterpret_cast<const BYTE*>(text.c_str());
        size = (text.size() + 1) * sizeof(wchar_t);
    }
    const LONG status =
        ::RegSetValueExW(Key(key), Wide(name).c_str(), 0, type, bytes, static_cast<DWORD>(size));
    return status == ERROR_SUCCESS || Failed(status, "cannot write value " + name);
}

void CWin32Registry::CloseKey(RegKey key)
{
    if (!IsRoot(key))
        ::RegCloseKey(Key(key));
}

bool CWin32Registry::QueryValues(RegKey root, const std::string& path, std::vector<CRegValue>& values)
{
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExW(Key(root), Wide(path).c_str(), 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS)
        return Failed(status, "cannot open key " + path);
    DWORD count = 0, maxName = 0, maxData = 0;
    status = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxName, &maxData,
                                nullptr, nullptr);
    values.clear();
    std::wstring name(maxName + 1, L'\0');
    std::string data(maxData, '\0');
    for (DWORD i = 0; status == ERROR_SUCCESS && i < count; ++i) {
        DWORD nameLength = maxName + 1, type = 0, dataSize = maxData;
        status = ::RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type,
                                 reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (status == ERROR_SUCCESS)
            values.push_back(FromStored(name.c_str(), nameLength, type, data.substr(0, dataSize)));
    }
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS || Failed(status, "cannot read key " + path);
}

bool CWin32Registry::QueryValue(RegKey root, const std::string& path, const std::string& name, CRegValue& value)
{
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExW(Key(root), Wide(path).c_str(), 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS)
        return Failed(status, "cannot open key " + path);
    const std::wstring wideName = Wide(name);
    DWORD type = 0, size = 0;
    status = ::RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size);
    std::string data(size, '\0');
    if (status == ERROR_SUCCESS)
        status = ::RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return Failed(status, "cannot read value " + name);
    value = FromStored(wideName.c_str(), static_cast<DWORD>(wideName.size()), type, data.substr(0, size));
    return true;
}

bool CWin32Registry::ExportHive(RegKey /*root*/, std::string& /*text*/)
{
    m_error = "exporting a whole hive is not done here on Windows: use 'reg export'";
    return false;
}
