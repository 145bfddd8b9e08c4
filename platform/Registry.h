// The registry, as the installer's tasks reach it: create or open a key,
// write one value, close the key. Handles and value types keep the Win32
// numbers, so the root keys a script names are the values the code passes.
// A realisation may also accept any handle it returned as a root.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

using HKEY = std::uintptr_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr HKEY HKEY_USERS = 0x80000003;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;

enum : std::uint32_t {
    REG_SZ = 1,    // text bytes followed by one zero byte
    REG_DWORD = 4, // 4 bytes, little-endian
};

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // Opens the key at path under root with full access, creating it and
    // every missing key on the way. An empty path is the root itself.
    virtual std::optional<HKEY> CreateKey(HKEY root, const std::string& path) = 0;
    // Opens an existing key with full access; nothing is created.
    virtual std::optional<HKEY> OpenKey(HKEY root, const std::string& path) = 0;
    // Writes (or replaces) the value called name in the open key; an empty
    // name is the key's default value. data holds the value's bytes as
    // stored, e.g. a REG_SZ text with its terminating zero.
    virtual bool SetValue(HKEY key, const std::string& name, std::uint32_t type, const std::string& data) = 0;
    virtual void CloseKey(HKEY key) = 0;
};
