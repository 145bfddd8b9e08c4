// The registry file store: hive text, key paths, escaping, refusing damaged
// hives, and writers in two processes at once.
#include "platform/posix/RegStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string Sz(const std::string& text)
{
    return text + '\0';
}

bool CreateRegKey(CRegStore& store, HKEY root, const std::string& path)
{
    const std::optional<HKEY> key = store.CreateKey(root, path);
    if (key)
        store.CloseKey(*key);
    return key.has_value();
}

bool SetValue(CRegStore& store, HKEY root, const std::string& path, const std::string& name, std::uint32_t type,
              const std::string& data)
{
    const std::optional<HKEY> key = store.CreateKey(root, path);
    if (!key)
        return false;
    const bool written = store.SetValue(*key, name, type, data);
    store.CloseKey(*key);
    return written;
}

bool SetRegString(CRegStore& store, HKEY root, const std::string& path, const std::string& name,
                  const std::string& text)
{
    return SetValue(store, root, path, name, REG_SZ, Sz(text));
}

bool SetRegDword(CRegStore& store, HKEY root, const std::string& path, const std::string& name, std::uint8_t low)
{
    return SetValue(store, root, path, name, REG_DWORD, std::string({static_cast<char>(low), 0, 0, 0}));
}

class RegStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::path(testing::TempDir()) / "regstore-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Folders that do not exist yet: the store creates them.
    fs::path UserFolder() const { return m_dir / "home/.local/share/sfxpack/registry"; }
    fs::path MachineFolder() const { return m_dir / "var/registry"; }
    CRegStore Store() const { return CRegStore(UserFolder().string(), MachineFolder().string()); }
    fs::path UserHive() const { return UserFolder() / "HKEY_CURRENT_USER.reg"; }

    std::vector<CRegValue> Values(HKEY root, const std::string& key)
    {
        std::vector<CRegValue> values;
        CRegStore store = Store();
        EXPECT_TRUE(store.QueryValues(root, key, values)) << store.LastError();
        return values;
    }

    fs::path m_dir;
};

TEST_F(RegStoreTest, WritesReadableRegedit4Text)
{
    CRegStore store = Store();
    EXPECT_TRUE(SetRegString(store, HKEY_CURRENT_USER, "Software\\My App", "Path", "C:\\Program Files\\My App"));
    EXPECT_TRUE(SetRegDword(store, HKEY_CURRENT_USER, "Software\\My App", "Count", 12));
    EXPECT_TRUE(SetRegString(store, HKEY_CURRENT_USER, "", "", "root default"));
    EXPECT_EQ(ReadText(UserHive()), "REGEDIT4\n"
                                    "\n"
                                    "[HKEY_CURRENT_USER]\n"
                                    "@=\"root default\"\n"
                                    "\n"
                                    "[HKEY_CURRENT_USER\\Software]\n"
                                    "\n"
                                    "[HKEY_CURRENT_USER\\Software\\My App]\n"
                                    "\"Path\"=\"C:\\\\Program Files\\\\My App\"\n"
                                    "\"Count\"=dword:0000000c\n"
                                    "\n");
    std::string exported;
    EXPECT_TRUE(store.ExportHive(HKEY_CURRENT_USER, exported));
    EXPECT_EQ(exported, ReadText(UserHive()));
    EXPECT_EQ(fs::status(UserHive()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(RegStoreTest, EachRootHasItsOwnHive)
{
    CRegStore store = Store();
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG})
        EXPECT_TRUE(CreateRegKey(store, root, "Key")) << store.LastError();
    EXPECT_TRUE(fs::exists(UserHive()));
    for (const char* name : {"HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CURRENT_CONFIG"}) {
        const fs::path hive = MachineFolder() / (std::string(name) + ".reg");
        EXPECT_EQ(ReadText(hive), "REGEDIT4\n\n[" + std::string(name) + "]\n\n[" + name + "\\Key]\n\n");
        EXPECT_EQ(fs::status(hive).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    }
}

TEST_F(RegStoreTest, KeyPathsIgnoreCaseAndEmptyNames)
{
    CRegStore store = Store();
    ASSERT_TRUE(CreateRegKey(store, HKEY_CURRENT_USER, "Software\\My App"));
    for (const char* path : {"software\\MY APP", "\\Software\\\\My App\\", "SOFTWARE\\my app\\"})
        EXPECT_TRUE(SetRegString(store, HKEY_CURRENT_USER, path, "Name", path)) << path;
    EXPECT_TRUE(SetRegString(store, HKEY_CURRENT_USER, "\\", "", "at the root"));

    EXPECT_EQ(ReadText(UserHive()), "REGEDIT4\n\n[HKEY_CURRENT_USER]\n@=\"at the root\"\n\n"
                                    "[HKEY_CURRENT_USER\\Software]\n\n"
                                    "[HKEY_CURRENT_USER\\Software\\My App]\n\"Name\"=\"SOFTWARE\\\\my app\\\\\"\n\n");
    EXPECT_TRUE(SetRegDword(store, HKEY_CURRENT_USER, "Software\\My App", "NAME", 7));
    const std::vector<CRegValue> values = Values(HKEY_CURRENT_USER, "software\\my app");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, "Name");
    EXPECT_EQ(values[0].type, REG_DWORD);
    EXPECT_EQ(values[0].data, std::string("\x07\0\0\0", 4));
}

TEST_F(RegStoreTest, CreatesMissingParentsAndLeavesExistingKeysAlone)
{
    CRegStore store = Store();
    EXPECT_FALSE(store.OpenKey(HKEY_USERS, "a\\b\\c"));
    EXPECT_NE(store.LastError().find("no key HKEY_USERS\\a\\b\\c"), std::string::npos);
    EXPECT_TRUE(SetRegDword(store, HKEY_USERS, "a\\b\\c", "n", 1));
    for (const char* key : {"", "a", "a\\b", "a\\b\\c"}) {
        const std::optional<HKEY> opened = store.OpenKey(HKEY_USERS, key);
        EXPECT_TRUE(opened) << key;
        if (opened)
            store.CloseKey(*opened);
    }

    const fs::path hive = MachineFolder() / "HKEY_USERS.reg";
    const std::string before = ReadText(hive);
    struct stat old {};
    ASSERT_EQ(::stat(hive.c_str(), &old), 0);
    EXPECT_TRUE(CreateRegKey(store, HKEY_USERS, "A\\B"));
    struct stat now {};
    ASSERT_EQ(::stat(hive.c_str(), &now), 0);
    EXPECT_EQ(now.st_ino, old.st_ino) << "the hive was rewritten";
    EXPECT_EQ(ReadText(hive), before);
}

TEST_F(RegStoreTest, HandlesNameKeysBelowThem)
{
    CRegStore store = Store();
    const std::optional<HKEY> app = store.CreateKey(HKEY_CURRENT_USER, "Software\\App");
    ASSERT_TRUE(app);
    const std::optional<HKEY> sub = store.CreateKey(*app, "Sub");
    ASSERT_TRUE(sub);
    EXPECT_TRUE(store.SetValue(*sub, "x", REG_SZ, Sz("y")));
    store.CloseKey(*sub);
    store.CloseKey(*app);
    EXPECT_FALSE(store.SetValue(*sub, "x", REG_SZ, Sz("z")));
    EXPECT_FALSE(store.CreateKey(*app, "Other"));
    ASSERT_EQ(Values(HKEY_CURRENT_USER, "Software\\App\\Sub").size(), 1u);
}

TEST_F(RegStoreTest, RefusesNamesALineCannotCarry)
{
    CRegStore store = Store();
    EXPECT_FALSE(store.CreateKey(HKEY_CURRENT_USER, "a\nb"));
    EXPECT_FALSE(store.CreateKey(HKEY_CURRENT_USER, "a\tb"));
    const std::optional<HKEY> key = store.CreateKey(HKEY_CURRENT_USER, "k");
    ASSERT_TRUE(key);
    EXPECT_FALSE(store.SetValue(*key, "a\r\nb", REG_SZ, Sz("x")));
    EXPECT_FALSE(store.SetValue(*key, std::string("a\0b", 3), REG_SZ, Sz("x")));
    store.CloseKey(*key);
    EXPECT_TRUE(Values(HKEY_CURRENT_USER, "k").empty());
}

TEST_F(RegStoreTest, NamesAndDataRoundTrip)
{
    const std::vector<CRegValue> written = {
        {"", REG_SZ, Sz("default")},
        {"quote\"d", REG_SZ, Sz("say \"hi\"")},
        {"back\\slash", REG_SZ, Sz("C:\\dir\\")},
        {"a=b", REG_SZ, Sz("x=y")},
        {"[section]", REG_SZ, Sz("[not a key]")},
        {"@", REG_SZ, Sz("@=")},
        {"Grüße 日本", REG_SZ, Sz("Ünïcödé ✓")},
        {"empty", REG_SZ, Sz("")},
        {" spaced ", REG_SZ, Sz("  ")},
        {"\\\"", REG_SZ, Sz("\\\"\\")},
        {"two lines", REG_SZ, Sz("a\r\nb")},
        {"inner zero", REG_SZ, Sz(std::string("a\0b", 3))},
        {"no zero", REG_SZ, "abc"},
        {"dword", REG_DWORD, std::string("\xFF\xFF\xFF\xFF", 4)},
        {"short dword", REG_DWORD, "ab"},
        {"binary", 3, std::string("\0\x01\x7F\x80\xFF", 5)},
        {"none", 0, ""},
        {"multi", 7, Sz(std::string("a\0b\0", 4))},
    };
    CRegStore store = Store();
    const std::optional<HKEY> key = store.CreateKey(HKEY_CURRENT_USER, "Software\\Ünï [x] = \"q\"");
    ASSERT_TRUE(key);
    for (const CRegValue& value : written)
        EXPECT_TRUE(store.SetValue(*key, value.name, value.type, value.data)) << value.name;
    store.CloseKey(*key);

    const std::vector<CRegValue> read = Values(HKEY_CURRENT_USER, "SOFTWARE\\Ünï [X] = \"Q\"");
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].name, written[i].name);
        EXPECT_EQ(read[i].type, written[i].type) << written[i].name;
        EXPECT_EQ(read[i].data, written[i].data) << written[i].name;
    }
    const std::string text = ReadText(UserHive());
    EXPECT_NE(text.find("\"Grüße 日本\"=\"Ünïcödé ✓\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"empty\"=\"\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"two lines\"=hex(1):61,0d,0a,62,00\n"), std::string::npos);
    EXPECT_NE(text.find("\"binary\"=hex:00,01,7f,80,ff\n"), std::string::npos);
}

TEST_F(RegStoreTest, ReadsHivesWrittenElsewhere)
{
    WriteText(UserHive(), "REGEDIT4\r\n"
                          "\r\n"
                          "; written by hand\r\n"
                          "[hkey_current_user\\Software\\Deep\\Key]\r\n"
                          "  \"Text\" = \"value\"  \r\n"
                          "\"Number\"=dword:DEADBEEF\r\n"
                          "\"Bytes\"=hex:01,02,\\\r\n"
                          "  03,04\r\n"
                          "\"Expand\"=hex(2):25,00\r\n"
                          "@=\"default\"\r\n"
                          "[HKEY_CURRENT_USER\\Software\\Deep\\Key]\r\n"
                          "\"text\"=\"replaced\"");
    const std::vector<CRegValue> values = Values(HKEY_CURRENT_USER, "Software\\Deep\\Key");
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[0].name, "Text");
    EXPECT_EQ(values[0].data, Sz("replaced"));
    EXPECT_EQ(values[1].data, std::string("\xEF\xBE\xAD\xDE", 4));
    EXPECT_EQ(values[2].type, 3u);
    EXPECT_EQ(values[2].data, std::string("\x01\x02\x03\x04", 4));
    EXPECT_EQ(values[3].type, 2u);
    EXPECT_EQ(values[3].data, std::string("%\0", 2));
    EXPECT_EQ(values[4].name, "");
    EXPECT_TRUE(Values(HKEY_CURRENT_USER, "Software\\Deep").empty());

    // Written back in this store's own form.
    CRegStore store = Store();
    EXPECT_TRUE(CreateRegKey(store, HKEY_CURRENT_USER, "New"));
    EXPECT_EQ(ReadText(UserHive()), "REGEDIT4\n\n[HKEY_CURRENT_USER]\n\n"
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
    const char* damaged[] = {
        "garbage",
        "\nREGEDIT4\n",
        "REGEDIT4\n\"a\"=\"value before any key\"\n",
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n",
        "REGEDIT4\n[HKEY_CURRENT_USERS]\n",
        "REGEDIT4\n[-HKEY_CURRENT_USER\\Software]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=\"unterminated\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=\"bad \\escape\"\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=\"x\" trailing\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=dword:123456789\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=dword:\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=hex:1,2,\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=hex:100\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=hex:01,\\\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=hex(z):01\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\n\"a\"=-\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\n\"\"=\"\"\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\nName=value\n",
    };
    for (const char* text : damaged) {
        WriteText(UserHive(), text);
        CRegStore store = Store();
        EXPECT_FALSE(SetRegString(store, HKEY_CURRENT_USER, "Software", "Name", "x")) << text;
        EXPECT_NE(store.LastError().find("cannot parse " + UserHive().string() + ", line "), std::string::npos)
            << store.LastError();
        EXPECT_FALSE(CreateRegKey(store, HKEY_CURRENT_USER, "Software")) << text;
        EXPECT_FALSE(store.OpenKey(HKEY_CURRENT_USER, ""));
        EXPECT_EQ(ReadText(UserHive()), text);
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

TEST_F(RegStoreTest, DefaultPlacesFollowTheXdgDataHome)
{
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";

    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(CRegStore::Default().HivePath(HKEY_CURRENT_USER), "/data/sfxpack/registry/HKEY_CURRENT_USER.reg");
    ::setenv("XDG_DATA_HOME", "relative", 1);
    EXPECT_EQ(CRegStore::Default().HivePath(HKEY_CURRENT_USER),
              "/home/someone/.local/share/sfxpack/registry/HKEY_CURRENT_USER.reg");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(CRegStore::Default().HivePath(HKEY_CURRENT_USER),
              "/home/someone/.local/share/sfxpack/registry/HKEY_CURRENT_USER.reg");
    EXPECT_EQ(CRegStore::Default().HivePath(HKEY_LOCAL_MACHINE), "/var/lib/sfxpack/registry/HKEY_LOCAL_MACHINE.reg");

    if (oldXdg)
        ::setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    if (oldHome)
        ::setenv("HOME", savedHome.c_str(), 1);
    else
        ::unsetenv("HOME");
}

} // namespace
