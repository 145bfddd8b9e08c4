// The setup and task passes over a setup screen of fake controls, an
// installer in a temporary folder and a registry store beside it: the frame,
// the walk over the pair list, every key and command, and random sections.
#include "installer/TaskInterpreter.h"
#include "platform/posix/RegStore.h"
#include "tests/fakes/TestPackage.h"

#include <gtest/gtest.h>

#include <random>

namespace {

namespace fs = std::filesystem;

class TaskPassTest : public testing::Test {
protected:
    TaskPassTest()
        : m_reader(WriteInstaller(m_dir, "setup", "[Tasks]\r\n",
                                  {{"a.txt", "first"}, {"data.txt", "second"}, {"empty.bin", ""}}),
                   m_box),
          m_registry(m_dir / "reg-user", m_dir / "reg-machine"),
          m_screen{m_window, m_title, m_readme, m_separator, m_status, m_progress, m_button, m_editor},
          m_context{m_screen, false, m_script, m_reader, m_folders, m_shell, m_box, m_registry, "setup"}
    {
        m_folders.m_module = m_dir / "setup";
        m_folders.m_windows = m_dir / "win";
        m_folders.m_desktop = m_dir / "desk";
        fs::create_directories(m_folders.m_desktop);
        m_window.m_window = {50, 60, 408, 390};
    }

    void RunTasks(const std::string& lines, bool bSetup = false)
    {
        m_script.SetText((bSetup ? "[Setup]\r\n" : "[Tasks]\r\n") + lines);
        CTaskInterpreter(m_context).RunScriptSection(bSetup);
    }

    std::string Path(const std::string& name) const { return m_dir / name; }

    CTempDir m_dir;
    CFakeMessageBox m_box;
    CPackageFile m_reader;
    CRegStore m_registry;
    CFakeDialogWindow m_window;
    CFakeControl m_title, m_readme, m_separator, m_status, m_button, m_editor;
    CFakeProgress m_progress;
    CSetupScreen m_screen;
    CScript m_script;
    CFakeFolders m_folders;
    CFakeShell m_shell;
    CTaskContext m_context;
};

TEST_F(TaskPassTest, SetupKeysSetTheirPartOfTheScreen)
{
    // "WindowTitle" is not taken for "Title"; an empty Status leaves the line.
    RunTasks("Title=My App 1.0\r\nWindowTitle=My Setup\r\nReadme=Line one\\nLine\\ttwo\\\\n\\x\r\nOK=Install\r\n"
             "Status=Ready\r\nStatus=\r\nSize=320,250\r\n",
             true);
    EXPECT_EQ(m_window.GetWindowText(), "My Setup");
    EXPECT_EQ(m_title.GetWindowText(), "   My App 1.0");
    // Only "\\n" and "\\t" are escapes; "\\\\n" is a backslash and a line break.
    EXPECT_EQ(m_readme.GetWindowText(), "Line one\r\nLine\ttwo\\\r\n\\x");
    EXPECT_EQ(m_button.GetWindowText(), "Install");
    EXPECT_EQ(m_status.GetWindowText(), " Ready");
    // Size is the outer size, at the same corner, and the controls follow.
    EXPECT_EQ(m_window.GetWindowRect(), (CRect{50, 60, 370, 310}));
    EXPECT_EQ(m_button.GetWindowRect().right, m_window.GetClientRect().right - 12);
}

TEST_F(TaskPassTest, TheFrameAndTheWalk)
{
    m_box.m_onShow = [&](const CBoxCall&) {
        EXPECT_FALSE(m_button.IsWindowEnabled());
        EXPECT_FALSE(m_status.IsWindowVisible());
        EXPECT_TRUE(m_progress.IsWindowVisible());
    };
    // An unknown head takes one step, so its value is tested as a name: 'see
    // Readme' holds "Readme", and the next string, the next line's head,
    // becomes the read-me text; the walk goes on with that line's value.
    RunTasks("Note: see Readme\r\nMessageBox: hi\r\nNote: nothing\r\nMessageBox: shown\r\n");
    EXPECT_EQ(m_readme.GetWindowText(), "MessageBox:");
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].text, "shown");
    EXPECT_EQ(m_progress.m_positions, (std::vector<int>{0, 1, 3, 4, 5, 6, 8}));
    EXPECT_EQ(m_window.m_updates, 7); // the bar is painted after each step

    // A head at the last string has no value and ends the pass.
    m_readme.SetWindowText("before");
    RunTasks("MessageBox: again\r\nNote: see Readme\r\n");
    EXPECT_EQ(m_readme.GetWindowText(), "before");
    EXPECT_EQ(m_box.m_calls.size(), 2u);
}

TEST_F(TaskPassTest, MissingOrMisplacedRequiredParametersAreReportedAndTheWalkGoesOn)
{
    const std::pair<std::string, const char*> cases[] = {
        {"ExtractFile: a.txt", "ExtractFile command requires To param"},
        {"ExtractFile: a.txt Dest: " + Path("x") + " To: " + Path("y"), "ExtractFile command requires To param"},
        {"MoveFile: " + Path("a"), "MoveFile command requires To param"},
        {"CreateRegKey: HKEY_CURRENT_USER Query: x Key: Software", "CreateRegKey command requires Key param"},
    };
    for (const auto& [line, message] : cases) {
        m_box.m_calls.clear();
        RunTasks(line + "\r\nMessageBox: next\r\n");
        ASSERT_EQ(m_box.m_calls.size(), 2u) << line;
        EXPECT_EQ(m_box.m_calls[0].text, message) << line;
        EXPECT_EQ(m_box.m_calls[0].style, unsigned(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(m_box.m_calls[1].text, "next") << line;
    }
    EXPECT_FALSE(fs::exists(Path("y")));
}

TEST_F(TaskPassTest, FileAndShellCommands)
{
    WriteTextFile(Path("old.txt"), "moved");
    WriteTextFile(Path("gone.txt"), "x");
    const std::string log = Path("log.txt");
    // Stored names are found as substrings, the file added last first, also
    // when ExtractAll looks each name up again; a folder takes the stored
    // name. WriteToFile without "CREATE" (case-sensitive) writes only an
    // existing file, and one that cannot be opened is passed over in silence.
    RunTasks("ExtractFile: a.txt To: DSKDIR\\\r\nExtractAll: CURDIR\\all\r\n"
             "MoveFile: CURDIR\\old.txt To: CURDIR\\new.txt\r\nDeleteFile:   CURDIR\\gone.txt  \r\n"
             "WriteToFile: " + log + " Text: first Mode: CREATE\r\nWriteToFile: " + log + " Text: second\r\n"
             "WriteToFile: CURDIR\\lower.txt Text: a Mode: create\r\n"
             "WriteToFile: CURDIR\\no\\f Text: a Mode: CREATE\r\n"
             "Run: WINDIR\\notepad.exe\r\nRun: CURDIR\\tool Param: --dir CURDIR \"a b\" $(x) `y`\r\n"
             "Run: tool Other: x Param: -v\r\n");
    EXPECT_EQ(ReadTextFile(m_folders.m_desktop + "/data.txt"), "second");
    EXPECT_EQ(ReadTextFile(Path("all/a.txt")) + ReadTextFile(Path("all/data.txt")), "secondsecond");
    EXPECT_TRUE(fs::exists(Path("all/empty.bin")));
    EXPECT_EQ(ReadTextFile(Path("new.txt")), "moved");
    for (const char* gone : {"old.txt", "gone.txt", "lower.txt", "no"})
        EXPECT_FALSE(fs::exists(Path(gone))) << gone;
    // Parameters reach the shell as written, macros expanded; a Param that is
    // not the next pair is left to the walk.
    EXPECT_EQ(m_shell.m_calls, (std::vector<std::pair<std::string, std::string>>{
                                   {m_folders.m_windows + "\\notepad.exe", ""},
                                   {m_dir.Path() + "\\tool", "--dir " + m_dir.Path() + " \"a b\" $(x) `y`"},
                                   {"tool", ""}}));
    // Two lines on one path give two lines, also after a second pass.
    CTaskInterpreter(m_context).RunScriptSection(false);
    EXPECT_EQ(ReadTextFile(log), "first\r\nsecond\r\n");
    EXPECT_TRUE(m_box.m_calls.empty());

    // A write error after the file opened is reported.
    RunTasks("WriteToFile: /dev/full Text: a\r\n");
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].text, "Cannot write /dev/full.");
}

TEST_F(TaskPassTest, RegistryCommands)
{
    RunTasks("CreateRegKey: HKEY_CURRENT_USER Key: Software\\Made\r\n"
             "SetRegDword: HKEY_CURRENT_USER Key: Software Query: Twelve Value: 12abc\r\n"
             "SetRegDword: HKEY_CURRENT_USER Key: Software Query: None\r\n"
             // Any order, the last of a name wins, and values are not expanded.
             "SetRegString: HKEY_CURRENT_USER Value: some text Query: Name Key: Software\\My App\r\n"
             "SetRegString: HKEY_CURRENT_USER Key: Software Key: Software\\Two Query: A Value: 1 Value: CURDIR\r\n"
             // The run stops at the next head: this Key is not the first line's.
             "SetRegString: HKEY_CURRENT_USER\r\nSetRegString: HKEY_LOCAL_MACHINE Key: K2 Query: Q Value: v2\r\n");
    const std::tuple<HKEY, const char*, const char*, std::string> expected[] = {
        {HKEY_CURRENT_USER, "Software", "Twelve", std::string("\x0C\0\0\0", 4)},
        {HKEY_CURRENT_USER, "Software", "None", std::string(4, '\0')},
        {HKEY_CURRENT_USER, "Software\\My App", "Name", std::string("some text\0", 10)},
        {HKEY_CURRENT_USER, "Software\\Two", "A", std::string("CURDIR\0", 7)},
        {HKEY_CURRENT_USER, "", "", std::string(1, '\0')},
        {HKEY_LOCAL_MACHINE, "K2", "Q", std::string("v2\0", 3)},
    };
    for (const auto& [root, key, name, data] : expected) {
        CRegValue value;
        EXPECT_TRUE(m_registry.QueryValue(root, key, name, value)) << m_registry.LastError();
        EXPECT_EQ(value.data, data) << key << " " << name;
    }
    std::vector<CRegValue> values;
    EXPECT_TRUE(m_registry.QueryValues(HKEY_CURRENT_USER, "Software\\Made", values));
}

TEST_F(TaskPassTest, MessageBoxIconAndCaption)
{
    const std::pair<const char*, unsigned> cases[] = {
        {"MessageBox: m", MB_ICONHAND},
        {"MessageBox: m Icon: MB_ICONQUESTION", MB_ICONQUESTION},
        {"MessageBox: m Icon: MB_ICONEXCLAMATION", MB_ICONEXCLAMATION},
        {"MessageBox: m Icon: MB_ICONASTERISK", MB_ICONHAND}, // trimmed: the blank is gone
        {"MessageBox: m Icon: MB_ICONASTERISK please", MB_ICONASTERISK},
        {"MessageBox: m Text: x Icon: MB_ICONQUESTION", MB_ICONHAND}, // Icon not next
    };
    for (const auto& [line, icon] : cases) {
        m_box.m_calls.clear();
        // The caption is the window's at the time of the box.
        RunTasks(std::string("WindowTitle=Now\r\n") + line + "\r\n");
        ASSERT_EQ(m_box.m_calls.size(), 1u) << line;
        EXPECT_EQ(m_box.m_calls[0].text, "m") << line;
        EXPECT_EQ(m_box.m_calls[0].caption, "Now");
        EXPECT_EQ(m_box.m_calls[0].style, MB_OK | icon) << line;
    }
}

// Paths stay inside the test's folder: nothing here can form "..".
const std::vector<std::string> kHeads = {
    "ExtractFile:", "ExtractAll:", "MoveFile:", "DeleteFile:", "Run:", "CreateRegKey:", "SetRegString:", "SetRegDword:",
    "WriteToFile:", "MessageBox:", "WindowTitle=", "Readme=", "Title=", "OK=", "Status=", "Size=", "Note:", "", ";",
};
const std::vector<std::string> kParams = {" To:", " Param:", " Key:", " Query:", " Value:", " Text:", " Mode:", " Icon:", " Other:"};
const std::vector<std::string> kValues = {
    "a.txt", "data.txt", "CURDIR\\out", "CURDIR\\sub\\", "DSKDIR\\d.txt", "WINDIR\\tool", "CREATE", "HKEY_CURRENT_USER",
    "12abc", "-1", "99999999999", "MB_ICONQUESTION", "MB_ICONASTERISK ", "Readme", "Title", "Size", "\\n\\t", "",
    "x=y", "a:b", "http://h", "C:\\dir", "320,250", "-5,-5", "[Files]", "empty.bin", "$(id) `id`", "\xC3\xA9\x7F\t#!",
};

// Whatever a [Tasks] section says, the pass ends with the screen restored,
// and every step moves on and stays in bounds.
TEST_F(TaskPassTest, RandomSectionsEndWithTheScreenRestored)
{
    const fs::path previous = fs::current_path();
    fs::current_path(m_dir.Path());
    CFakeRegistry registry;
    CTaskContext context{m_screen, false, m_script, m_reader, m_folders, m_shell, m_box, registry, "setup"};
    std::mt19937 rng(20240607);
    auto pick = [&rng](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    };
    auto count = [&rng](int most) { return std::uniform_int_distribution<int>(0, most)(rng); };
    for (int run = 0; run < 10000; ++run) {
        std::string tasks = "[Tasks]\r\n";
        for (int line = count(8); line > 0; --line) {
            tasks.append(pick(kHeads)).append(" ").append(pick(kValues));
            if (count(2))
                tasks.append(" ").append(pick(kValues));
            for (int param = count(3); param > 0; --param)
                tasks.append(pick(kParams)).append(" ").append(pick(kValues));
            tasks += count(3) ? "\r\n" : "\n";
        }
        CStringArray pairs;
        CScript(tasks).GetSectionPairs("Tasks", pairs);
        m_progress.m_positions.clear();
        m_script.SetText(tasks);
        CTaskInterpreter(context).RunScriptSection(false);
        ASSERT_TRUE(m_button.IsWindowEnabled() && m_status.IsWindowVisible() && !m_progress.IsWindowVisible()) << tasks;
        ASSERT_EQ(m_progress.m_upper, static_cast<int>(pairs.size())) << tasks;
        ASSERT_EQ(m_progress.m_positions.back(), static_cast<int>(pairs.size())) << tasks;
        ASSERT_EQ(std::adjacent_find(m_progress.m_positions.begin(), m_progress.m_positions.end(), std::greater_equal<int>()),
                  m_progress.m_positions.end()) << tasks;
    }
    fs::current_path(previous);
    // The sections did reach the commands.
    EXPECT_GT(m_box.m_calls.size(), 1000u);
    EXPECT_GT(m_shell.m_calls.size(), 1000u);
    EXPECT_FALSE(registry.m_values.empty());
}

} // namespace
