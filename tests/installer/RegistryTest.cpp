// The registry operations of the tasks: root-key names, atoi, and the order
// of open, create, write and close (the store itself is tested with the
// platform).
#include "installer/Registry.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <vector>

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
        {"0x10", 0},
        {"-2147483648", INT_MIN},
        // Beyond 32 bits the digits wrap, so a DWORD can be written unsigned.
        {"4294967295", -1},
        {"12345678901234567890", -350287150},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(AtoI(text), number) << '"' << text << '"';
}

// Records each call; keys by exact path.
class CCallRegistry : public IRegistry {
public:
    std::optional<HKEY> CreateKey(HKEY, const std::string& path) override
    {
        m_calls += "create " + path + ";";
        if (m_failCreate)
            return std::nullopt;
        m_keys.insert(path);
        return ++m_open;
    }
    std::optional<HKEY> OpenKey(HKEY, const std::string& path) override
    {
        m_calls += "open " + path + ";";
        return m_keys.count(path) && !m_failOpen ? std::optional<HKEY>(++m_open) : std::nullopt;
    }
    bool SetValue(HKEY, const std::string& name, std::uint32_t type, const std::string& data) override
    {
        m_calls += "set " + name + " " + std::to_string(type) + " " + std::to_string(data.size()) + ";";
        return !m_failSet;
    }
    void CloseKey(HKEY) override
    {
        m_calls += "close;";
        --m_open;
    }

    std::set<std::string> m_keys;
    std::string m_calls;
    HKEY m_open = 0; // keys open now
    bool m_failCreate = false, m_failOpen = false, m_failSet = false;
};

TEST(Registry, OpensOrCreatesWritesAndClosesWhatItOpened)
{
    const struct {
        const char* name;
        bool exists, failCreate, failOpen, failSet, result;
        std::string calls;
    } cases[] = {
        {"existing key", true, false, false, false, true, "open k;set n 1 2;close;"},
        {"missing key", false, false, false, false, true, "open k;create k;close;open k;set n 1 2;close;"},
        {"create fails", false, true, false, false, false, "open k;create k;"},
        {"open fails", false, false, true, false, false, "open k;create k;close;open k;"},
        {"write fails", true, false, false, true, false, "open k;set n 1 2;close;"},
    };
    for (const auto& c : cases) {
        CCallRegistry registry;
        if (c.exists)
            registry.m_keys.insert("k");
        registry.m_failCreate = c.failCreate;
        registry.m_failOpen = c.failOpen;
        registry.m_failSet = c.failSet;
        EXPECT_EQ(SetRegString(registry, HKEY_USERS, "k", "n", "x"), c.result) << c.name;
        EXPECT_EQ(registry.m_calls, c.calls) << c.name;
        EXPECT_EQ(registry.m_open, 0u) << c.name;
    }
    CCallRegistry registry;
    EXPECT_TRUE(SetRegDword(registry, HKEY_USERS, "k", "n", 1));
    EXPECT_TRUE(CreateRegKey(registry, HKEY_USERS, "k"));
    EXPECT_EQ(registry.m_calls, "open k;create k;close;open k;set n 4 4;close;create k;close;");
    registry.m_failCreate = true;
    EXPECT_FALSE(CreateRegKey(registry, HKEY_USERS, "k"));
}

} // namespace
