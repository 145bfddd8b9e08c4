// How the registry tasks read root-key names and numbers. Their writes are
// tested through the store, with the platform and the task commands.
#include "installer/Registry.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Registry, RootKeyFromNameTakesTheFirstNameContainedCaseSensitively)
{
    const std::pair<const char*, HKEY> cases[] = {
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_CURRENT_USER\\Software", HKEY_CURRENT_USER},
        {"xHKEY_USERSx", HKEY_USERS},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_USERS HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"hkey_current_user", HKEY_CLASSES_ROOT},
        {"", HKEY_CLASSES_ROOT},
    };
    for (const auto& [name, root] : cases)
        EXPECT_EQ(RootKeyFromName(name), root) << name;
}

TEST(Registry, AtoIReadsAsTheRuntimeDoes)
{
    const std::pair<const char*, int> cases[] = {
        {"12", 12},
        {"-1", -1},
        {"+42", 42},
        {" \t\r\n\v\f7", 7},
        {"12abc", 12},
        {"abc", 0},
        {"- 5", 0},
        {"+-1", 0},
        {"-2147483648", INT_MIN},
        // Beyond 32 bits the digits wrap, so a DWORD can be written unsigned.
        {"4294967295", -1},
        {"12345678901234567890", -350287150},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(AtoI(text), number) << '"' << text << '"';
}

} // namespace
