// The registry operations of the task commands CreateRegKey, SetRegString and
// SetRegDword. They keep no state and report success as a truth value, which
// the task interpreter is free to ignore.
#pragma once

#include "platform/Registry.h"

#include <cstdint>
#include <string>
#include <string_view>

// The first root-key name found in name as a case-sensitive substring, in the
// order HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS,
// HKEY_CURRENT_CONFIG; HKEY_CLASSES_ROOT when none is found.
RegKey RootKeyFromName(const std::string& name);
// The name of the root RootKeyFromName takes name for.
std::string_view RootKeyNameFor(const std::string& name);
// True when name holds none of the four names, so HKEY_CLASSES_ROOT is taken.
bool IsFallbackRoot(const std::string& name);

// True when the key (and so every key on its path) exists after the call.
bool CreateRegKey(IRegistry& registry, RegKey root, const std::string& key);

// Write a REG_SZ (text plus its terminating zero) or a REG_DWORD value,
// creating the key first when it is missing. A key created on the way stays
// even when the write then fails.
bool SetRegString(IRegistry& registry, RegKey root, const std::string& key, const std::string& name,
                  const std::string& text);
bool SetRegDword(IRegistry& registry, RegKey root, const std::string& key, const std::string& name,
                 std::uint32_t value);

// A number read the way the C runtime's atoi reads it: leading white space,
// an optional sign, then decimal digits up to the first other character; 0
// when there are none. Digits accumulate modulo 2^32 (as the runtime the
// scripts were first written for did), so nothing overflows and
// "4294967295" reads as -1, the same bits as 0xFFFFFFFF.
int AtoI(const std::string& text);
