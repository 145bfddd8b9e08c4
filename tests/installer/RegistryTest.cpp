#include "installer/Registry.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <set>
#include <vector>

namespace {

// Keys by exact path; records each call so the order of open, create, write
// and close can be checked.
class CFakeRegistry : public IRegistry {
public:
    std::optional<HKEY> CreateKey(HKEY root, const std::string& path) override
    {
        m_calls.push_back("create " + path);
        if (m_failCreate)
            return std::nullopt;
        m_keys.insert({root, path});
        return Open(root, path);
    }
    std::optional<HKEY> OpenKey(HKEY root, const std::string& path) override
    {
        m_calls.push_back("open " + path);
        if (!m_keys.count({root, path}) || m_failOpen)
            return std::nullopt;
        return Open(root, path);
    }
    bool SetValue(HKEY key, const std::string& name, std::uint32_t type, const std::string& data) override
    {
        m_calls.push_back("set " + name);
        if (m_failSet || !m_open.count(key))
            return false;
        m_values[{m_open[key], name}] = {type, data};
        return true;
    }
    void CloseKey(HKEY key) override
    {
        m_calls.push_back("close");
        m_open.erase(key);
    }

    using KeyName = std::pair<HKEY, std::string>;
    std::set<KeyName> m_keys;
    std::map<std::pair<KeyName, std::string>, std::pair<std::uint32_t, std::string>> m_values;
    std::map<HKEY, KeyName> m_open;
    std::vector<std::string> m_calls;
    bool m_failCreate = false;
    bool m_failOpen = false;
    bool m_failSet = false;

private:
    HKEY Open(HKEY root, const std::string& path)
    {
        m_open[m_next] = {root, path};
        return m_next++;
    }
    HKEY m_next = 1;
};

using Calls = std::vector<std::string>;

TEST(RootKeyFromName, FindsTheFirstNameContainedCaseSensitively)
{
    const std::pair<const char*, HKEY> cases[] = {
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_USERS", HKEY_USERS},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_CURRENT_USER\\Software", HKEY_CURRENT_USER},
        {"xHKEY_USERSx", HKEY_USERS},
        {"HKEY_USERS HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"hkey_current_user", HKEY_CLASSES_ROOT},
        {"", HKEY_CLASSES_ROOT},
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKCU", HKEY_CLASSES_ROOT},
    };
    for (const auto& [name, root] : cases)
        EXPECT_EQ(RootKeyFromName(name), root) << name;
}

TEST(AtoI, ReadsAsTheRuntimeDoes)
{
    const std::pair<const char*, int> cases[] = {
        {"1", 1},
        {"12", 12},
        {"-1", -1},
        {"+42", 42},
        {" \t\r\n\v\f7", 7},
        {"12abc", 12},
        {"3 4", 3},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"- 5", 0},
        {"--1", 0},
        {"+-1", 0},
        {"0x10", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        // Beyond 32 bits the digits wrap, so a DWORD can be written unsigned.
        {"4294967295", -1},
        {"2147483648", INT_MIN},
        {"4294967296", 0},
        {"12345678901234567890", -350287150},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(AtoI(text), number) << '"' << text << '"';
}

TEST(CreateRegKey, CreatesAndClosesTheKey)
{
    CFakeRegistry registry;
    EXPECT_TRUE(CreateRegKey(registry, HKEY_CURRENT_USER, "Software\\My App"));
    EXPECT_EQ(registry.m_calls, (Calls{"create Software\\My App", "close"}));
    EXPECT_TRUE(registry.m_keys.count({HKEY_CURRENT_USER, "Software\\My App"}));
    EXPECT_TRUE(registry.m_open.empty());

    registry.m_failCreate = true;
    EXPECT_FALSE(CreateRegKey(registry, HKEY_CURRENT_USER, "Other"));
}

TEST(SetRegDword, WritesFourLittleEndianBytes)
{
    const std::pair<const char*, std::string> cases[] = {
        {"1", std::string("\x01\x00\x00\x00", 4)},
        {"abc", std::string(4, '\0')},
        {"", std::string(4, '\0')},
        {"-1", std::string("\xFF\xFF\xFF\xFF", 4)},
        {"305419896", std::string("\x78\x56\x34\x12", 4)},
    };
    for (const auto& [text, bytes] : cases) {
        CFakeRegistry registry;
        registry.m_keys.insert({HKEY_LOCAL_MACHINE, "Software"});
        EXPECT_TRUE(SetRegDword(registry, HKEY_LOCAL_MACHINE, "Software", "Count",
                                static_cast<std::uint32_t>(AtoI(text))));
        const auto value = registry.m_values[{{HKEY_LOCAL_MACHINE, "Software"}, "Count"}];
        EXPECT_EQ(value.first, REG_DWORD) << text;
        EXPECT_EQ(value.second, bytes) << text;
    }
}

TEST(SetRegString, WritesTextWithItsTerminatingZero)
{
    CFakeRegistry registry;
    registry.m_keys.insert({HKEY_CURRENT_USER, ""});
    EXPECT_TRUE(SetRegString(registry, HKEY_CURRENT_USER, "", "", ""));
    EXPECT_TRUE(SetRegString(registry, HKEY_CURRENT_USER, "", "Path", "C:\\x"));
    const auto empty = registry.m_values[{{HKEY_CURRENT_USER, ""}, ""}];
    EXPECT_EQ(empty.first, REG_SZ);
    EXPECT_EQ(empty.second, std::string(1, '\0'));
    const auto path = registry.m_values[{{HKEY_CURRENT_USER, ""}, "Path"}];
    EXPECT_EQ(path.second, std::string("C:\\x\0", 5));
}

TEST(SetRegString, OpensAnExistingKeyWithoutCreatingIt)
{
    CFakeRegistry registry;
    registry.m_keys.insert({HKEY_CURRENT_USER, "Software"});
    EXPECT_TRUE(SetRegString(registry, HKEY_CURRENT_USER, "Software", "Name", "x"));
    EXPECT_EQ(registry.m_calls, (Calls{"open Software", "set Name", "close"}));
}

TEST(SetRegString, CreatesAMissingKeyThenOpensItAgain)
{
    CFakeRegistry registry;
    EXPECT_TRUE(SetRegString(registry, HKEY_USERS, "a\\b", "Name", "x"));
    EXPECT_EQ(registry.m_calls, (Calls{"open a\\b", "create a\\b", "close", "open a\\b", "set Name", "close"}));
    EXPECT_TRUE(registry.m_open.empty());
}

TEST(SetRegString, ReportsEachFailureAndClosesWhatItOpened)
{
    {
        CFakeRegistry registry;
        registry.m_failCreate = true;
        EXPECT_FALSE(SetRegString(registry, HKEY_USERS, "a", "Name", "x"));
        EXPECT_EQ(registry.m_calls, (Calls{"open a", "create a"}));
    }
    {
        CFakeRegistry registry;
        registry.m_failOpen = true;
        EXPECT_FALSE(SetRegDword(registry, HKEY_USERS, "a", "Name", 1));
        EXPECT_EQ(registry.m_calls, (Calls{"open a", "create a", "close", "open a"}));
    }
    {
        // The key created on the way stays.
        CFakeRegistry registry;
        registry.m_failSet = true;
        EXPECT_FALSE(SetRegString(registry, HKEY_USERS, "a", "Name", "x"));
        EXPECT_TRUE(registry.m_keys.count({HKEY_USERS, "a"}));
        EXPECT_TRUE(registry.m_open.empty());
    }
}

} // namespace
