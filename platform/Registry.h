// The registry, as the installer's tasks reach it: create or open a key,
// write one value, close the key. Handles and value types have names of their
// own but keep the Win32 numbers (kRegCurrentUser is HKEY_CURRENT_USER's
// 0x80000001), so the root keys a script names are the values the code passes.
// A realisation may also accept any handle it returned as a root.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using RegKey = std::uintptr_t;

inline constexpr RegKey kRegClassesRoot = 0x80000000;
inline constexpr RegKey kRegCurrentUser = 0x80000001;
inline constexpr RegKey kRegLocalMachine = 0x80000002;
inline constexpr RegKey kRegUsers = 0x80000003;
inline constexpr RegKey kRegCurrentConfig = 0x80000005;

enum : std::uint32_t {
    kRegString = 1, // text bytes followed by one zero byte
    kRegDword = 4,  // 4 bytes, little-endian
};

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // Opens the key at path under root with full access, creating it and
    // every missing key on the way. An empty path is the root itself.
    virtual std::optional<RegKey> CreateKey(RegKey root, const std::string& path) = 0;
    // Opens an existing key with full access; nothing is created.
    virtual std::optional<RegKey> OpenKey(RegKey root, const std::string& path) = 0;
    // Writes (or replaces) the value called name in the open key; an empty
    // name is the key's default value. data holds the value's bytes as
    // stored, e.g. a kRegString text with its terminating zero.
    virtual bool SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::string& data) = 0;
    virtual void CloseKey(RegKey key) = 0;
};

struct CRegValue {
    std::string name; // "" is the key's default value
    std::uint32_t type = 0;
    std::string data;
};

// A registry that can also be read back and says why an operation failed:
// what sfxtool's reg commands show.
class IRegistryStore : public IRegistry {
public:
    // The values of an existing key, in the order they were first written.
    virtual bool QueryValues(RegKey root, const std::string& path, std::vector<CRegValue>& values) = 0;
    // One value of an existing key; "" names the default value.
    virtual bool QueryValue(RegKey root, const std::string& path, const std::string& name, CRegValue& value) = 0;
    // The whole tree of root as REGEDIT4 text.
    virtual bool ExportHive(RegKey root, std::string& text) = 0;
    // Why the last failed operation failed, as one line for people.
    virtual const std::string& LastError() const = 0;
};
