// The registry file store, written through the installer's registry
// operations: hive text, key paths, escaping, refusing damaged hives, and
// writers in two processes at once.
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
    // Folders that do not exist yet: the store creates them.
    fs::path UserFolder() const { return m_dir / "home/.local/share/sfxpack/registry"; }
    fs::path MachineFolder() const { return m_dir / "var/registry"; }
    fs::path UserHive() const { return UserFolder() / "HKEY_CURRENT_USER.reg"; }
    CRegStore Store() const { return CRegStore(UserFolder().string(), MachineFolder().string()); }

    std::vector<CRegValue> Values(HKEY root, const std::string& key)
    {
        std::vector<CRegValue> values;
        CRegStore store = Store();
        EXPECT_TRUE(store.QueryValues(root, key, values)) << store.LastError();
        return values;
    }

    CTempDir m_dirHolder;
    fs::path m_dir = m_dirHolder.Path();
};

TEST_F(RegStoreTest, WritesReadableRegedit4Text)
{
    CRegStore store = Store();
    EXPECT_TRUE(SetRegString(store, HKEY_CURRENT_USER, "Software\\My App", "Path", "C:\\Program Files\\My App"));
    EXPECT_TRUE(SetRegDword(store, HKEY_CURRENT_USER, "Software\\My App", "Count", 12));
    EXPECT_TRUE(SetRegString(store, HKEY_CURRENT_USER, "", "", "root default"));
    EXPECT_EQ(ReadTextFile(UserHive()), "REGEDIT4\n\n"
                                    "[HKEY_CURRENT_USER]\n@=\"root default\"\n\n"
                                    "[HKEY_CURRENT_USER\\Software]\n\n"
                                    "[HKEY_CURRENT_USER\\Software\\My App]\n"
                                    "\"Path\"=\"C:\\\\Program Files\\\\My App\"\n"
                                    "\"Count\"=dword:0000000c\n\n");
    std::string exported;
    EXPECT_TRUE(store.ExportHive(HKEY_CURRENT_USER, exported));
    EXPECT_EQ(exported, ReadTextFile(UserHive()));
    EXPECT_EQ(fs::status(UserHive()).permissions() & fs::perms::all, fs::perms(0600));

    // Every other root has its own hive in the machine folder, readable by all.
    for (const char* name : {"HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CURRENT_CONFIG"}) {
        EXPECT_TRUE(CreateRegKey(store, RootKeyFromName(name), "Key")) << store.LastError();
        const fs::path hive = MachineFolder() / (std::string(name) + ".reg");
        EXPECT_EQ(ReadTextFile(hive), "REGEDIT4\n\n[" + std::string(name) + "]\n\n[" + name + "\\Key]\n\n");
        EXPECT_EQ(fs::status(hive).permissions() & fs::perms::all, fs::perms(0644));
    }
}

TEST_F(RegStoreTest, KeyPathsIgnoreCaseAndEmptyNamesAndCreateParents)
{
    CRegStore store = Store();
    EXPECT_FALSE(store.OpenKey(HKEY_USERS, "a\\b"));
    EXPECT_NE(store.LastError().find("no key HKEY_USERS\\a\\b"), std::string::npos);
    EXPECT_TRUE(CreateRegKey(store, HKEY_USERS, "a\\b"));
    for (const char* key : {"", "a", "A\\B"}) {
        const std::optional<HKEY> opened = store.OpenKey(HKEY_USERS, key);
        EXPECT_TRUE(opened) << key;
        store.CloseKey(opened.value_or(0));
    }

    ASSERT_TRUE(CreateRegKey(store, HKEY_CURRENT_USER, "Software\\My App"));
    for (const char* path : {"software\\MY APP", "\\Software\\\\My App\\", "SOFTWARE\\my app\\"})
        EXPECT_TRUE(SetRegString(store, HKEY_CURRENT_USER, path, "Name", path)) << path;
    EXPECT_TRUE(SetRegString(store, HKEY_CURRENT_USER, "\\", "", "at the root"));
    EXPECT_EQ(ReadTextFile(UserHive()), "REGEDIT4\n\n[HKEY_CURRENT_USER]\n@=\"at the root\"\n\n"
                                    "[HKEY_CURRENT_USER\\Software]\n\n"
                                    "[HKEY_CURRENT_USER\\Software\\My App]\n\"Name\"=\"SOFTWARE\\\\my app\\\\\"\n\n");
    // A value name keeps the case it was first written with.
    EXPECT_TRUE(SetRegDword(store, HKEY_CURRENT_USER, "Software\\My App", "NAME", 7));
    const std::vector<CRegValue> values = Values(HKEY_CURRENT_USER, "software\\my app");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, "Name");
    EXPECT_EQ(values[0].data, std::string("\x07\0\0\0", 4));
}

TEST_F(RegStoreTest, HandlesAndNamesALineCannotCarry)
{
    CRegStore store = Store();
    const std::optional<HKEY> app = store.CreateKey(HKEY_CURRENT_USER, "Software\\App");
    ASSERT_TRUE(app);
    // A handle is a root for the keys below it, until it is closed.
    EXPECT_TRUE(SetRegString(store, *app, "Sub", "x", "y"));
    // Names that would break the hive's lines are refused.
    EXPECT_FALSE(store.CreateKey(*app, "a\nb"));
    EXPECT_FALSE(store.CreateKey(*app, "a\tb"));
    EXPECT_FALSE(store.SetValue(*app, "a\r\nb", REG_SZ, Sz("x")));
    EXPECT_FALSE(store.SetValue(*app, std::string("a\0b", 3), REG_SZ, Sz("x")));
    store.CloseKey(*app);
    EXPECT_FALSE(store.SetValue(*app, "z", REG_SZ, Sz("z")));
    EXPECT_EQ(ReadTextFile(UserHive()), "REGEDIT4\n\n[HKEY_CURRENT_USER]\n\n[HKEY_CURRENT_USER\\Software]\n\n"
                                    "[HKEY_CURRENT_USER\\Software\\App]\n\n[HKEY_CURRENT_USER\\Software\\App\\Sub]\n\"x\"=\"y\"\n\n");
}

TEST_F(RegStoreTest, NamesAndDataRoundTrip)
{
    const std::vector<CRegValue> written = {
        {"", REG_SZ, Sz("default")},
        {"quote\"d", REG_SZ, Sz("say \"hi\"")},
        {"back\\slash", REG_SZ, Sz("C:\\dir\\")},
        {"a=b", REG_SZ, Sz("x=y")},
        {"[section]", REG_SZ, Sz("[not a key]")},
        {"Grüße 日本", REG_SZ, Sz("Ünïcödé ✓")},
        {"empty", REG_SZ, Sz("")},
        {"two lines", REG_SZ, Sz("a\r\nb")},
        {"inner zero", REG_SZ, Sz(std::string("a\0b", 3))},
        {"no zero", REG_SZ, "abc"},
        {"short dword", REG_DWORD, "ab"},
        {"binary", 3, std::string("\0\x01\x7F\x80\xFF", 5)},
    };
    CRegStore store = Store();
    const std::optional<HKEY> key = store.CreateKey(HKEY_CURRENT_USER, "Software\\Ünï [x] = \"q\"");
    ASSERT_TRUE(key);
    for (const CRegValue& value : written)
        EXPECT_TRUE(store.SetValue(*key, value.name, value.type, value.data)) << value.name;

    const std::vector<CRegValue> read = Values(HKEY_CURRENT_USER, "SOFTWARE\\Ünï [X] = \"Q\"");
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].name, written[i].name);
        EXPECT_EQ(read[i].type, written[i].type) << written[i].name;
        EXPECT_EQ(read[i].data, written[i].data) << written[i].name;
    }
    const std::string text = ReadTextFile(UserHive());
    EXPECT_NE(text.find("\"Grüße 日本\"=\"Ünïcödé ✓\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"two lines\"=hex(1):61,0d,0a,62,00\n"), std::string::npos);
    EXPECT_NE(text.find("\"binary\"=hex:00,01,7f,80,ff\n"), std::string::npos);
}

TEST_F(RegStoreTest, ReadsHivesWrittenElsewhere)
{
    WriteText(UserHive(), "REGEDIT4\r\n\r\n; written by hand\r\n"
                          "[hkey_current_user\\Software\\Deep\\Key]\r\n"
                          "  \"Text\" = \"value\"  \r\n"
                          "\"Number\"=dword:DEADBEEF\r\n"
                          "\"Bytes\"=hex:01,02,\\\r\n  03,04\r\n"
                          "\"Expand\"=hex(2):25,00\r\n"
                          "@=\"default\"\r\n"
                          "[HKEY_CURRENT_USER\\Software\\Deep\\Key]\r\n"
                          "\"text\"=\"replaced\"");
    // Written back in this store's own form.
    CRegStore store = Store();
    EXPECT_TRUE(CreateRegKey(store, HKEY_CURRENT_USER, "New"));
    EXPECT_EQ(ReadTextFile(UserHive()), "REGEDIT4\n\n[HKEY_CURRENT_USER]\n\n"
                                    "[HKEY_CURRENT_USER\\Software]\n\n"
                                    "[HKEY_CURRENT_USER\\Software\\Deep]\n\n"
                                    "[HKEY_CURRENT_USER\\Software\\Deep\\Key]\n"
                                    "\"Text\"=\"replaced\"\n"
                                    "\"Number\"=dword:deadbeef\n"
                                    "\"Bytes\"=hex:01,02,03,04\n"
                                    "\"Expand\"=hex(2):25,00\n"
                                    "@=\"default\"\n\n"
                                    "[HKEY_CURRENT_USER\\New]\n\n");
}

TEST_F(RegStoreTest, LeavesAHiveItCannotParseUntouched)
{
    for (const char* text : {
             "garbage",
             "REGEDIT4\n\"a\"=\"value before any key\"\n",
             "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n",
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
        WriteText(UserHive(), text);
        CRegStore store = Store();
        EXPECT_FALSE(SetRegString(store, HKEY_CURRENT_USER, "Software", "Name", "x")) << text;
        EXPECT_NE(store.LastError().find("cannot parse " + UserHive().string() + ", line "), std::string::npos)
            << store.LastError();
        EXPECT_FALSE(CreateRegKey(store, HKEY_CURRENT_USER, "Software")) << text;
        EXPECT_EQ(ReadTextFile(UserHive()), text);
    }
}

TEST_F(RegStoreTest, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int kPerProcess = 500;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = ::fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            CRegStore store = Store();
            bool ok = true;
            for (int i = 0; i < kPerProcess; ++i) {
                const std::string name = "p" + std::to_string(child) + "_" + std::to_string(i);
                ok = SetRegString(store, HKEY_CURRENT_USER, "Software\\Race", name, name) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::vector<CRegValue> values = Values(HKEY_CURRENT_USER, "Software\\Race");
    EXPECT_EQ(values.size(), 2u * kPerProcess);
    for (const CRegValue& value : values)
        EXPECT_EQ(value.data, Sz(value.name));
    EXPECT_FALSE(fs::exists(UserFolder() / "HKEY_CURRENT_USER.reg.tmp"));
}

TEST(RegStore, DefaultPlacesFollowTheXdgDataHome)
{
    CScopedEnv home("HOME", "/home/someone");
    const std::string fallback = "/home/someone/.local/share/sfxpack/registry/HKEY_CURRENT_USER.reg";
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {"/data", "/data/sfxpack/registry/HKEY_CURRENT_USER.reg"},
        {"relative", fallback},
        {std::nullopt, fallback},
    };
    for (const auto& [xdg, hive] : cases) {
        CScopedEnv data("XDG_DATA_HOME", xdg);
        EXPECT_EQ(CRegStore::Default().HivePath(HKEY_CURRENT_USER), hive);
    }
    EXPECT_EQ(CRegStore::Default().HivePath(HKEY_LOCAL_MACHINE), "/var/lib/sfxpack/registry/HKEY_LOCAL_MACHINE.reg");
}

} // namespace
