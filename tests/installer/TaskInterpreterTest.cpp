// The task pass: its frame, the walk over the pair list, and every command.
#include "tests/installer/InterpreterFixture.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

using TaskPassTest = CInterpreterTest;

TEST_F(TaskPassTest, WhileTasksRunTheButtonIsOffAndTheBarStandsInForTheStatus)
{
    int shown = 0;
    m_box.m_onShow = [&](const CBoxCall&) {
        ++shown;
        EXPECT_FALSE(m_button.IsWindowEnabled());
        EXPECT_FALSE(m_status.IsWindowVisible());
        EXPECT_TRUE(m_progress.IsWindowVisible());
        EXPECT_EQ(m_progress.GetPos(), 2);
    };
    RunTasks("Title=x\r\nMessageBox: hi\r\n");
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(m_button.IsWindowEnabled());
    EXPECT_TRUE(m_status.IsWindowVisible());
    EXPECT_FALSE(m_progress.IsWindowVisible());
    EXPECT_EQ(std::make_pair(m_progress.m_lower, m_progress.m_upper), std::make_pair(0, 4));
    EXPECT_EQ(m_progress.m_positions, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(m_window.m_updates, 3); // the bar is painted after each step
    EXPECT_EQ(m_button.GetWindowText(), "&Apply");
}

TEST_F(TaskPassTest, TheWalk)
{
    // The setup pass reads only [Setup], and takes task commands there too.
    Run("[Setup]\r\nWriteToFile: " + Path("setup.txt") + " Mode: CREATE\r\n[Tasks]\r\nWriteToFile: " + Path("tasks.txt") + " Mode: CREATE\r\n", true);
    EXPECT_TRUE(fs::exists(Path("setup.txt")));
    EXPECT_FALSE(fs::exists(Path("tasks.txt")));

    // An unknown head takes one step, so its value is tested as a name: 'see
    // Readme' holds "Readme", and the next string, the next line's head,
    // becomes the read-me text; the walk goes on with that line's value.
    m_progress.m_positions.clear();
    RunTasks("Note: see Readme\r\nMessageBox: hi\r\nNote: nothing\r\nMessageBox: shown\r\n");
    EXPECT_EQ(m_readme.GetWindowText(), "MessageBox:");
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].text, "shown");
    EXPECT_EQ(m_progress.m_positions, (std::vector<int>{0, 1, 3, 4, 5, 6, 8}));

    // A word at the last string has no value and ends the pass; a second
    // pass runs every task again.
    m_readme.SetWindowText("before");
    RunTasks("MessageBox: again\r\nNote: see Readme\r\n");
    EXPECT_EQ(m_readme.GetWindowText(), "before");
    CTaskInterpreter(m_context).RunScriptSection(false);
    EXPECT_EQ(m_box.m_calls.size(), 3u);
    EXPECT_EQ(m_progress.m_positions.back(), 4);
}

TEST_F(TaskPassTest, ExtractFileAndExtractAll)
{
    RunTasks("ExtractFile: data.txt To: " + Path("copy.txt") + "\r\n");
    EXPECT_EQ(ReadTextFile(Path("copy.txt")), "second");
    // To a folder: the stored name is appended, after the macros are expanded.
    // Names are found as substrings, the file added last first.
    fs::create_directories(m_folders.m_desktop + "/app");
    RunTasks("ExtractFile: a.txt To: DSKDIR\\app\\\r\n");
    EXPECT_EQ(ReadTextFile(m_folders.m_desktop + "/app/data.txt"), "second");
    EXPECT_FALSE(fs::exists(m_folders.m_desktop + "/app/a.txt"));
    EXPECT_TRUE(m_box.m_calls.empty());

    // ExtractAll creates the folder and looks each stored name up again.
    RunTasks("ExtractAll: CURDIR\\all\r\n");
    EXPECT_EQ(ReadTextFile(Path("all/a.txt")), "second");
    EXPECT_EQ(ReadTextFile(Path("all/data.txt")), "second");
    EXPECT_TRUE(fs::exists(Path("all/empty.bin")));

    RunTasks("ExtractFile: missing.txt To: " + Path("m.txt") + "\r\n");
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].text, "Cannot find missing.txt in this file.");
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
        EXPECT_EQ(m_box.m_calls[0].caption, "setup");
        EXPECT_EQ(m_box.m_calls[0].style, unsigned(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(m_box.m_calls[1].text, "next") << line;
    }
    EXPECT_FALSE(fs::exists(Path("y")));
}

TEST_F(TaskPassTest, MoveDeleteAndRun)
{
    WriteTextFile(Path("old.txt"), "moved");
    WriteTextFile(Path("gone.txt"), "x");
    RunTasks("MoveFile: CURDIR\\old.txt To: CURDIR\\new.txt\r\nDeleteFile:   CURDIR\\gone.txt  \r\n"
             "Run: WINDIR\\notepad.exe\r\nRun: CURDIR\\tool Param: --dir CURDIR \"a b\" $(x) `y`\r\n"
             "Run: tool Other: x Param: -v\r\n");
    EXPECT_FALSE(fs::exists(Path("old.txt")));
    EXPECT_EQ(ReadTextFile(Path("new.txt")), "moved");
    EXPECT_FALSE(fs::exists(Path("gone.txt")));
    // Parameters reach the shell as written, macros expanded; a Param that is
    // not the next pair is left to the walk.
    EXPECT_EQ(m_shell.m_calls, (std::vector<std::pair<std::string, std::string>>{
                                   {m_folders.m_windows + "\\notepad.exe", ""},
                                   {m_dir.Path() + "\\tool", "--dir " + m_dir.Path() + " \"a b\" $(x) `y`"},
                                   {"tool", ""}}));
}

TEST_F(TaskPassTest, RegistryCommands)
{
    RunTasks("CreateRegKey: HKEY_CURRENT_USER Key: Software\\Made\r\n"
             "SetRegDword: HKEY_CURRENT_USER Key: Software Query: Twelve Value: 12abc\r\n"
             "SetRegDword: HKEY_CURRENT_USER Key: Software Query: Minus Value: -1\r\n"
             "SetRegDword: HKEY_CURRENT_USER Key: Software Query: None\r\n"
             // Any order, the last of a name wins, and values are not expanded.
             "SetRegString: HKEY_CURRENT_USER Value: some text Query: Name Key: Software\\My App\r\n"
             "SetRegString: HKEY_CURRENT_USER Key: Software Key: Software\\Two Query: A Value: 1 Value: CURDIR\r\n"
             // The run stops at the next head: this Key is not the first line's.
             "SetRegString: HKEY_CURRENT_USER\r\nSetRegString: HKEY_LOCAL_MACHINE Key: K2 Query: Q Value: v2\r\n");
    const std::tuple<HKEY, const char*, const char*, std::string> expected[] = {
        {HKEY_CURRENT_USER, "Software", "Twelve", std::string("\x0C\0\0\0", 4)},
        {HKEY_CURRENT_USER, "Software", "Minus", std::string(4, '\xFF')},
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

TEST_F(TaskPassTest, WriteToFile)
{
    // Two lines on one path give two lines, also after a second pass.
    const std::string path = Path("log.txt");
    RunTasks("WriteToFile: " + path + " Text: first Mode: CREATE\r\nWriteToFile: " + path + " Text: second\r\n");
    EXPECT_EQ(ReadTextFile(path), "first\r\nsecond\r\n");
    CTaskInterpreter(m_context).RunScriptSection(false);
    EXPECT_EQ(ReadTextFile(path), "first\r\nsecond\r\n");

    // Without "CREATE" (case-sensitive) only an existing file is written,
    // and a file that cannot be opened is passed over in silence.
    RunTasks("WriteToFile: " + Path("lower.txt") + " Text: a Mode: create\r\n"
             "WriteToFile: " + Path("no/such/dir.txt") + " Text: a Mode: CREATE\r\n");
    EXPECT_FALSE(fs::exists(Path("lower.txt")) || fs::exists(Path("no")));
    EXPECT_TRUE(m_box.m_calls.empty());

    // A write error after the file opened is reported.
    RunTasks("WriteToFile: /dev/full Text: a\r\nMessageBox: next\r\n");
    ASSERT_EQ(m_box.m_calls.size(), 2u);
    EXPECT_EQ(m_box.m_calls[0].text, "Cannot write /dev/full.");
    EXPECT_EQ(m_box.m_calls[0].caption, "setup");
}

TEST_F(TaskPassTest, MessageBoxIconsAndCaption)
{
    const std::pair<const char*, unsigned> cases[] = {
        {"MessageBox: m", MB_ICONHAND},
        {"MessageBox: m Icon: MB_ICONQUESTION", MB_ICONQUESTION},
        {"MessageBox: m Icon: MB_ICONEXCLAMATION", MB_ICONEXCLAMATION},
        {"MessageBox: m Icon: MB_ICONASTERISK", MB_ICONHAND}, // trimmed: the blank is gone
        {"MessageBox: m Icon: MB_ICONASTERISK please", MB_ICONASTERISK},
        {"MessageBox: m Icon: MB_ICONEXCLAMATION MB_ICONQUESTION", MB_ICONEXCLAMATION},
        {"MessageBox: m Text: x Icon: MB_ICONQUESTION", MB_ICONHAND}, // Icon not next
    };
    m_window.SetWindowText("Caption Now");
    for (const auto& [line, icon] : cases) {
        m_box.m_calls.clear();
        RunTasks(std::string(line) + "\r\n");
        ASSERT_FALSE(m_box.m_calls.empty()) << line;
        EXPECT_EQ(m_box.m_calls[0].text, "m") << line;
        EXPECT_EQ(m_box.m_calls[0].caption, "Caption Now");
        EXPECT_EQ(m_box.m_calls[0].style, MB_OK | icon) << line;
    }
    // The caption is the window's at the time of the box.
    RunTasks("WindowTitle=Later\r\nMessageBox: after\r\n");
    EXPECT_EQ(m_box.m_calls.back().caption, "Later");
}

} // namespace
