// The registry file store, written through the installer's registry
// operations: key paths, escaping, damaged hives, and writers in two
// processes at once.
#include "installer/Registry.h"
#include "platform/posix/RegStore.h"
#include "tests/platform/PlatformTestUtil.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Sz(const std::string& text)
{
    return text + '\0';
}

class RegStoreTest : public testing::Test {
protected:
    std::vector<CRegValue> Values(const std::string& key)
    {
        std::vector<CRegValue> values;
        EXPECT_TRUE(m_store.QueryValues(kRegCurrentUser, key, values)) << m_store.LastError();
        return values;
    }

    CTempDir m_dir;
    // Folders that do not exist yet: the store creates them.
    const std::string m_userHive = m_dir / "user/registry/HKEY_CURRENT_USER.reg";
    CRegStore m_store{m_dir / "user/registry", m_dir / "machine"};
};

TEST_F(RegStoreTest, KeyPathsIgnoreCaseAndEmptyNamesAndCreateParents)
{
    // A hive written by hand or by another tool is kept, in this store's own form.
    WriteText(m_userHive, "REGEDIT4\r\n\r\n; written by hand\r\n[hkey_current_user\\Software\\Old]\r\n"
                          "  \"Text\" = \"value\"  \r\n\"Number\"=dword:DEADBEEF\r\n\"Bytes\"=hex:01,02,\\\r\n  03,04");
    ASSERT_TRUE(CreateRegKey(m_store, kRegCurrentUser, "Software\\My App\\Sub"));
    EXPECT_TRUE(SetRegString(m_store, kRegCurrentUser, "\\SOFTWARE\\\\my app\\", "Path", "x"));
    // A value name keeps the case it was first written with.
    EXPECT_TRUE(SetRegDword(m_store, kRegCurrentUser, "Software\\My App", "Count", 7));
    EXPECT_TRUE(SetRegDword(m_store, kRegCurrentUser, "Software\\My App", "COUNT", 12));
    EXPECT_EQ(ReadTextFile(m_userHive), "REGEDIT4\n\n[HKEY_CURRENT_USER]\n\n[HKEY_CURRENT_USER\\Software]\n\n"
                                        "[HKEY_CURRENT_USER\\Software\\Old]\n\"Text\"=\"value\"\n\"Number\"=dword:deadbeef\n\"Bytes\"=hex:01,02,03,04\n\n"
                                        "[HKEY_CURRENT_USER\\Software\\My App]\n\"Path\"=\"x\"\n\"Count\"=dword:0000000c\n\n"
                                        "[HKEY_CURRENT_USER\\Software\\My App\\Sub]\n\n");
    // Every other root has its own hive in the machine folder, readable by all.
    for (const char* name : {"HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CURRENT_CONFIG"}) {
        EXPECT_TRUE(CreateRegKey(m_store, RootKeyFromName(name), "Key")) << m_store.LastError();
        EXPECT_EQ(fs::status(m_dir / ("machine/" + std::string(name) + ".reg")).permissions() & fs::perms::all, fs::perms(0644));
    }
}

TEST_F(RegStoreTest, NamesAndDataRoundTripOrAreRefused)
{
    const std::vector<CRegValue> written = {
        {"", kRegString, Sz("default")},
        {"quote\"d", kRegString, Sz("say \"hi\"")},
        {"back\\slash", kRegString, Sz("C:\\dir\\")},
        {"a=b", kRegString, Sz("x=y")},
        {"[section]", kRegString, Sz("[not a key]")},
        {"Grüße 日本", kRegString, Sz("Ünïcödé ✓")},
        {"two lines", kRegString, Sz("a\r\nb")},
        {"no zero", kRegString, "abc"},
        {"short dword", kRegDword, "ab"},
        {"binary", 3, std::string("\0\x01\x7F\x80\xFF", 5)},
    };
    const std::optional<RegKey> key = m_store.CreateKey(kRegCurrentUser, "Software\\Ünï [x] = \"q\"");
    ASSERT_TRUE(key);
    for (const CRegValue& value : written)
        EXPECT_TRUE(m_store.SetValue(*key, value.name, value.type, value.data)) << value.name;
    // Names that would break the hive's lines.
    EXPECT_FALSE(m_store.CreateKey(*key, "a\nb"));
    EXPECT_FALSE(m_store.SetValue(*key, "a\r\nb", kRegString, Sz("x")));

    const std::vector<CRegValue> read = Values("SOFTWARE\\Ünï [X] = \"Q\"");
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t i = 0; i < read.size(); ++i)
        EXPECT_EQ(std::tie(read[i].name, read[i].type, read[i].data), std::tie(written[i].name, written[i].type, written[i].data));
    // A hive the store creates is private to the user.
    EXPECT_EQ(fs::status(m_userHive).permissions() & fs::perms::all, fs::perms(0600));
}

TEST_F(RegStoreTest, LeavesAHiveItCannotParseUntouched)
{
    for (const char* text : {
             "garbage",
             "REGEDIT4\n\"a\"=\"value before any key\"\n",
             "REGEDIT4\n[HKEY_CURRENT_USERS]\n",
             "REGEDIT4\n[HKEY_CURRENT_USER\\Software\n",
             "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=\"unterminated\n",
             "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=\"bad \\escape\"\n",
             "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=\"x\" trailing\n",
             "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=dword:123456789\n",
             "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=hex:100\n",
             "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=hex:01,\\\n",
             "REGEDIT4\n[HKEY_CURRENT_USER]\n\"\"=\"\"\n",
             "REGEDIT4\n[HKEY_CURRENT_USER]\nName=value\n",
         }) {
        WriteText(m_userHive, text);
        EXPECT_FALSE(SetRegString(m_store, kRegCurrentUser, "Software", "Name", "x")) << text;
        EXPECT_NE(m_store.LastError().find("cannot parse " + m_userHive + ", line "), std::string::npos) << m_store.LastError();
        EXPECT_EQ(ReadTextFile(m_userHive), text);
    }
}

TEST_F(RegStoreTest, TwoProcessesWritingAtOnceLoseNothing)
{
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = ::fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            // A failed write shows as a missing value.
            for (int i = 0; i < 500; ++i) {
                // Appended piece by piece: GCC 12's -O3 sees a false overlap
                // (-Wrestrict) in "p" + std::string.
                std::string name = "p";
                name += std::to_string(child);
                name += '_';
                name += std::to_string(i);
                SetRegString(m_store, kRegCurrentUser, "Software\\Race", name, name);
            }
            ::_exit(0);
        }
    }
    for (pid_t child : children)
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const std::vector<CRegValue> values = Values("Software\\Race");
    EXPECT_EQ(values.size(), 1000u);
    for (const CRegValue& value : values)
        EXPECT_EQ(value.data, Sz(value.name));
}

// A relative XDG_DATA_HOME is invalid: the store would move with the current folder.
TEST(RegStore, DefaultPlaceFollowsAnAbsoluteXdgDataHome)
{
    CScopedEnv home("HOME", "/home/someone");
    CScopedEnv relative("XDG_DATA_HOME", "relative");
    EXPECT_EQ(CRegStore::Default().HivePath(kRegCurrentUser), "/home/someone/.local/share/sfxpack/registry/HKEY_CURRENT_USER.reg");
    CScopedEnv absolute("XDG_DATA_HOME", "/data");
    EXPECT_EQ(CRegStore::Default().HivePath(kRegCurrentUser), "/data/sfxpack/registry/HKEY_CURRENT_USER.reg");
}

} // namespace
