#include "installer/Registry.h"

#include <string_view>

namespace {

struct RootName {
    std::string_view name;
    RegKey key;
};

// Searched in this order: the first contained name wins.
constexpr RootName kRootNames[] = {
    {"HKEY_LOCAL_MACHINE", kRegLocalMachine},
    {"HKEY_CURRENT_USER", kRegCurrentUser},
    {"HKEY_USERS", kRegUsers},
    {"HKEY_CURRENT_CONFIG", kRegCurrentConfig},
};
constexpr RootName kFallbackRoot{"HKEY_CLASSES_ROOT", kRegClassesRoot};

const RootName& FindRoot(const std::string& name)
{
    for (const RootName& root : kRootNames) {
        if (name.find(root.name) != std::string::npos)
            return root;
    }
    return kFallbackRoot;
}

// Opens the key, creating it when it is missing, writes one value, closes it.
bool SetRegValue(IRegistry& registry, RegKey root, const std::string& key, const std::string& name,
                 std::uint32_t type, const std::string& data)
{
    std::optional<RegKey> opened = registry.OpenKey(root, key);
    if (!opened) {
        if (!CreateRegKey(registry, root, key))
            return false;
        opened = registry.OpenKey(root, key);
        if (!opened)
            return false;
    }
    const bool written = registry.SetValue(*opened, name, type, data);
    registry.CloseKey(*opened);
    return written;
}

bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

RegKey RootKeyFromName(const std::string& name)
{
    return FindRoot(name).key;
}

std::string_view RootKeyNameFor(const std::string& name)
{
    return FindRoot(name).name;
}

bool IsFallbackRoot(const std::string& name)
{
    return &FindRoot(name) == &kFallbackRoot;
}

bool CreateRegKey(IRegistry& registry, RegKey root, const std::string& key)
{
    const std::optional<RegKey> created = registry.CreateKey(root, key);
    if (!created)
        return false;
    registry.CloseKey(*created);
    return true;
}

bool SetRegString(IRegistry& registry, RegKey root, const std::string& key, const std::string& name,
                  const std::string& text)
{
    std::string data = text;
    data.push_back('\0');
    return SetRegValue(registry, root, key, name, kRegString, data);
}

bool SetRegDword(IRegistry& registry, RegKey root, const std::string& key, const std::string& name,
                 std::uint32_t value)
{
    std::string data(4, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return SetRegValue(registry, root, key, name, kRegDword, data);
}

int AtoI(const std::string& text)
{
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    std::uint32_t total = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        total = total * 10u + static_cast<std::uint32_t>(text[pos] - '0');
    if (negative)
        total = 0u - total;
    return static_cast<int>(total);
}
