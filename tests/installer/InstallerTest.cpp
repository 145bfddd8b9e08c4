// The setup and task passes over a setup screen of fake controls, an
// installer in a temporary folder and a fake registry: the frame, the walk
// over the pair list, every key and command, the layout, and random sections.
#include "installer/TaskInterpreter.h"
#include "tests/fakes/PosixTestUtil.h"
#include "tests/fakes/TestPackage.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <random>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// Each number is read as the C runtime's atoi reads it.
TEST(SetupScreen, SizeSplitsAtTheCommaIntoTwoAtoiNumbers)
{
    const struct {
        const char* value;
        int cx, cy;
    } cases[] = {
        {"400", 400, 400}, {" \t\r\n\v\f+42,12abc", 42, 12}, {"- 5,+-1", 0, 0}, {",-7", 0, -7},
        // Beyond 32 bits the digits wrap, so a DWORD can be written unsigned.
        {"-2147483648,4294967295", INT_MIN, -1}, {"12345678901234567890", -350287150, -350287150},
    };
    for (const auto& c : cases) {
        const CWindowSize size = ParseSize(c.value);
        EXPECT_EQ(std::make_pair(size.cx, size.cy), std::make_pair(c.cx, c.cy)) << c.value;
    }
}

CRect Rect(int x, int y, int cx, int cy)
{
    return {x, y, x + cx, y + cy};
}

class TaskPassTest : public testing::Test {
protected:
    TaskPassTest()
        : m_reader(WriteInstaller(m_dir, "setup", "[Tasks]\r\n",
                                  {{"a.txt", "first"}, {"data.txt", "second"}, {"empty.bin", ""}}),
                   m_box),
          m_screen{m_window, m_title, m_readme, m_separator, m_status, m_progress, m_button, m_editor},
          m_context{m_screen, false, m_script, m_reader, m_folders, m_shell, m_box, m_registry, "setup"}
    {
        m_folders.m_module = m_dir / "setup";
        m_folders.m_windows = m_dir / "win";
        m_folders.m_desktop = m_dir / "desk";
        fs::create_directories(m_folders.m_desktop);
        m_window.m_window = {50, 60, 408, 390};
        // Steps a second apart, so every step shows on the bar.
        m_context.clock = [this] { return m_now += std::chrono::seconds(1); };
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
    CFakeDialogWindow m_window;
    CFakeControl m_title, m_readme, m_separator, m_status, m_button, m_editor;
    CFakeProgress m_progress;
    CSetupScreen m_screen;
    CScript m_script;
    CFakeFolders m_folders;
    CFakeShell m_shell;
    CFakeRegistry m_registry;
    CTaskContext m_context;
    std::chrono::steady_clock::time_point m_now;
};

TEST_F(TaskPassTest, SetupKeysSetTheirPartOfTheScreenAndSizeLaysItOut)
{
    // "WindowTitle" is not taken for "Title"; an empty Status leaves the line.
    RunTasks("Title=My App 1.0\r\nWindowTitle=My Setup\r\nReadme=Line one\\nLine\\ttwo\\\\n\\x\r\nOK=Install\r\n"
             "Status=Ready\r\nStatus=\r\nSize=320,250\r\n",
             true);
    EXPECT_EQ(m_title.GetText(), "   My App 1.0");
    // Only "\\n" and "\\t" are escapes; "\\\\n" is a backslash and a line break.
    EXPECT_EQ(m_readme.GetText(), "Line one\r\nLine\ttwo\\\r\n\\x");
    EXPECT_EQ(m_button.GetText(), "Install");
    EXPECT_EQ(m_status.GetText(), " Ready");
    // Size is the outer size, at the same corner, and the controls follow
    // in the client area of 312 x 220.
    EXPECT_EQ(m_window.GetRect(), (CRect{50, 60, 370, 310}));
    EXPECT_EQ(m_title.GetRect(), Rect(0, 0, 312, 51));
    EXPECT_EQ(m_readme.GetRect(), Rect(12, 63, 288, 106));
    EXPECT_EQ(m_separator.GetRect(), Rect(0, 180, 312, 3));
    EXPECT_EQ(m_progress.GetRect(), Rect(12, 190, 206, 23));
    EXPECT_EQ(m_button.GetRect(), Rect(230, 188, 70, 27));
    LayoutControls(m_screen, true);
    EXPECT_EQ(m_editor.GetRect(), Rect(12, 12, 288, 169));
}

TEST_F(TaskPassTest, TheFrameAndTheWalk)
{
    m_box.m_onShow = [&](const CBoxCall&) {
        EXPECT_FALSE(m_button.IsEnabled());
        EXPECT_FALSE(m_status.IsVisible());
        EXPECT_TRUE(m_progress.IsVisible());
    };
    // An unknown head takes one step, so its value is tested as a name: 'see
    // Readme' holds "Readme", and the next string, the next line's head,
    // becomes the read-me text; the walk goes on with that line's value.
    RunTasks("Note: see Readme\r\nMessageBox: hi\r\nNote: nothing\r\nMessageBox: shown\r\n");
    EXPECT_EQ(m_readme.GetText(), "MessageBox:");
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].text, "shown");
    EXPECT_EQ(m_progress.m_positions, (std::vector<int>{0, 1, 3, 4, 5, 6, 8}));
    EXPECT_EQ(m_window.m_updates, 7); // the bar is painted after each step

    // A head at the last string has no value and ends the pass.
    m_readme.SetText("before");
    RunTasks("MessageBox: again\r\nNote: see Readme\r\n");
    EXPECT_EQ(m_readme.GetText(), "before");
    EXPECT_EQ(m_box.m_calls.size(), 2u);
}

TEST_F(TaskPassTest, MissingOrMisplacedRequiredParametersAreReportedAndTheWalkGoesOn)
{
    RunTasks("ExtractFile: a.txt\r\nExtractFile: a.txt Dest: " + Path("x") + " To: " + Path("y") + "\r\n"
             "MoveFile: " + Path("a") + "\r\nCreateRegKey: HKEY_CURRENT_USER Query: x Key: Software\r\nMessageBox: next\r\n");
    std::vector<std::string> texts;
    for (const CBoxCall& call : m_box.m_calls)
        texts.push_back(call.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"ExtractFile command requires To param", "ExtractFile command requires To param",
                                              "MoveFile command requires To param", "CreateRegKey command requires Key param",
                                              "next"}));
    EXPECT_EQ(m_box.m_calls[0].style, unsigned(kBoxOk | kBoxIconWarning));
}

TEST_F(TaskPassTest, FileAndShellCommands)
{
    WriteTextFile(Path("old.txt"), "moved");
    WriteTextFile(Path("gone.txt"), "x");
    const std::string log = Path("log.txt");
    // ExtractFile finds a stored name as a substring, the file added last
    // first; ExtractAll writes each file's own body; a folder takes the
    // stored name. WriteToFile without "CREATE" (case-sensitive) writes only
    // an existing file, one that cannot be opened is passed over in silence,
    // and a device is refused with a message.
    RunTasks("ExtractFile: a.txt To: DSKDIR\\\r\nExtractAll: CURDIR\\all\r\n"
             "MoveFile: CURDIR\\old.txt To: CURDIR\\new.txt\r\nDeleteFile:   CURDIR\\gone.txt  \r\n"
             "WriteToFile: " + log + " Text: first Mode: CREATE\r\nWriteToFile: " + log + " Text: second\r\n"
             "WriteToFile: CURDIR\\lower.txt Text: a Mode: create\r\n"
             "WriteToFile: CURDIR\\no\\f Text: a Mode: CREATE\r\nWriteToFile: /dev/full Text: a\r\n"
             "Run: WINDIR\\notepad.exe\r\nRun: CURDIR\\tool Param: --dir CURDIR\\x \"CURDIR\\a b\" a\\b $(x) `y`\r\n"
             "Run: tool Other: x Param: -v\r\n");
    EXPECT_EQ(ReadTextFile(m_folders.m_desktop + "/data.txt"), "second");
    EXPECT_EQ(ReadTextFile(Path("all/a.txt")) + ReadTextFile(Path("all/data.txt")), "firstsecond");
    EXPECT_TRUE(fs::exists(Path("all/empty.bin")));
    EXPECT_EQ(ReadTextFile(Path("new.txt")), "moved");
    for (const char* gone : {"old.txt", "gone.txt", "lower.txt", "no"})
        EXPECT_FALSE(fs::exists(Path(gone))) << gone;
    // Parameters reach the shell as written, macros expanded; a word that
    // begins with a macro is a path, with '/' for '\\'. A Param that is not
    // the next pair is left to the walk.
    EXPECT_EQ(m_shell.m_calls, (std::vector<std::pair<std::string, std::string>>{
                                   {m_folders.m_windows + "\\notepad.exe", ""},
                                   {m_dir.Path() + "\\tool", "--dir " + m_dir.Path() + "/x \"" + m_dir.Path() + "/a b\" a\\b $(x) `y`"},
                                   {"tool", ""}}));
    // Two lines on one path give two lines, also after a second pass.
    CTaskInterpreter(m_context).RunScriptSection(false);
    EXPECT_EQ(ReadTextFile(log), "first\r\nsecond\r\n");
    ASSERT_EQ(m_box.m_calls.size(), 2u);
    EXPECT_EQ(m_box.m_calls[1].text, "Cannot write /dev/full: it is not a regular file.");
    // A write error after the file opened is reported.
    const CFileSizeLimit diskFull(fs::file_size(log));
    RunTasks("WriteToFile: " + log + " Text: third\r\n");
    ASSERT_EQ(m_box.m_calls.size(), 3u);
    EXPECT_EQ(m_box.m_calls[2].text, "Cannot write " + log + ".");
}

// Each task that did not do what it says is told once, with its words and
// why; a task that did is not, and the walk goes on. Tasks are numbered
// among those the walk will run; setup keys and unknown lines are none.
TEST_F(TaskPassTest, FailedTasksAreToldWithTheirWords)
{
    CFakeProgressLog log;
    m_context.log = &log;
    fs::create_directory(Path("dir"));
    m_shell.m_starts = false;
    const std::string d = m_dir.Path();
    RunTasks("ExtractFile: a.txt\r\nExtractFile: nothere To: CURDIR\\x\r\nExtractAll: CURDIR\\no\\deeper\r\n"
             "Title=not a task\r\nNote: nor this\r\n"
             "MoveFile: CURDIR\\missing To: CURDIR\\b\r\nMoveFile: CURDIR\\missing\r\n"
             "DeleteFile: CURDIR\\never.txt\r\nDeleteFile: CURDIR\\dir\r\nRun: CURDIR\\tool\r\n"
             "WriteToFile: CURDIR\\no\\f Text: a\r\nWriteToFile: /dev/full Text: a\r\n"
             "WriteToFile: CURDIR\\made Text: a Mode: CREATE\r\nMessageBox: done\r\n");
    EXPECT_EQ(log.m_failed, (std::vector<std::string>{
                                "ExtractFile: a.txt: ExtractFile command requires To param",
                                "ExtractFile: nothere: not extracted to " + d + "\\x",
                                "ExtractAll: CURDIR\\no\\deeper: cannot create " + d + "\\no\\deeper\\",
                                "ExtractAll: CURDIR\\no\\deeper: cannot extract a.txt",
                                "ExtractAll: CURDIR\\no\\deeper: cannot extract data.txt",
                                "ExtractAll: CURDIR\\no\\deeper: cannot extract empty.bin",
                                "MoveFile: CURDIR\\missing: cannot move " + d + "\\missing to " + d + "\\b",
                                "MoveFile: CURDIR\\missing: MoveFile command requires To param",
                                "DeleteFile: CURDIR\\dir: cannot delete " + d + "\\dir",
                                "Run: CURDIR\\tool: cannot start " + d + "\\tool",
                                "WriteToFile: CURDIR\\no\\f: cannot open " + d + "\\no\\f",
                                "WriteToFile: /dev/full: cannot open /dev/full",
                            }));
    ASSERT_EQ(log.m_started.size(), 12u);
    EXPECT_EQ(log.m_started.front(), "1/12 ExtractFile: a.txt");
    EXPECT_EQ(log.m_started.back(), "12/12 MessageBox: done");

    log.m_failed.clear();
    m_registry.m_broken = true;
    RunTasks("CreateRegKey: HKEY_CURRENT_USER Key: K\r\nCreateRegKey: HKEY_CURRENT_USER\r\n"
             "SetRegString: HKEY_CURRENT_USER Key: K\r\nSetRegDword: HKEY_USERS Key: K Value: 1\r\n");
    EXPECT_EQ(log.m_failed, (std::vector<std::string>{
                                "CreateRegKey: HKEY_CURRENT_USER: cannot create the key",
                                "CreateRegKey: HKEY_CURRENT_USER: CreateRegKey command requires Key param",
                                "SetRegString: HKEY_CURRENT_USER: cannot write the value",
                                "SetRegDword: HKEY_USERS: cannot write the value",
                            }));
}

// sfxtool extract-all DIR on the test's installer: what it said on stderr.
std::string ToolExtractAll(const std::string& installer, const std::string& dir)
{
    const std::string err = dir + ".err";
    const std::string command = "timeout -s KILL 20 '" SFXTOOL_PATH "' extract-all '" + installer + "' '" + dir + "' 2>'" + err + "'";
    return std::system(command.c_str()) >= 0 ? ReadTextFile(err) : "no sfxtool";
}

// An entry planted at a name taken from the package is replaced, never
// written through and never waited on; a folder there is an error. An
// explicit file destination follows a link, as cp does, but refuses a pipe.
// Each extraction runs in a child with a deadline, so a block fails.
TEST_F(TaskPassTest, PlantedEntriesAtTheDestination)
{
    WriteTextFile(Path("victim"), "victim");
    const std::string inTheWay = "a folder of that name is in the way.";
    const struct {
        const char* label;
        std::function<void(const std::string&)> plant;
    } plants[] = {
        {"link to a victim", [&](const std::string& at) { fs::create_symlink(Path("victim"), at); }},
        {"dangling link", [&](const std::string& at) { fs::create_symlink(Path("nowhere"), at); }},
        {"pipe", [](const std::string& at) { ::mkfifo(at.c_str(), 0644); }},
        {"folder", [](const std::string& at) { fs::create_directory(at); }},
    };
    const struct {
        const char* label;
        std::function<std::string(const std::string&)> extract; // into a folder; what was told
    } routes[] = {
        {"ExtractAll", [&](const std::string& dir) { RunTasks("ExtractAll: " + dir + "\r\n"); return m_box.m_calls.empty() ? "" : m_box.m_calls.back().text; }},
        {"ExtractFile to a folder", [&](const std::string& dir) { RunTasks("ExtractFile: data To: " + dir + "\\\r\n"); return m_box.m_calls.empty() ? "" : m_box.m_calls.back().text; }},
        {"sfxtool extract-all", [&](const std::string& dir) { return ToolExtractAll(Path("setup"), dir); }},
    };
    int n = 0;
    for (const auto& route : routes) {
        for (const auto& plant : plants) {
            SCOPED_TRACE(std::string(route.label) + ", " + plant.label);
            const std::string dir = Path("to" + std::to_string(++n)), at = dir + "/data.txt";
            fs::create_directory(dir);
            plant.plant(at);
            const bool folder = std::string(plant.label) == "folder";
            EXPECT_TRUE(InChildWithin(20, [&] {
                const std::string told = route.extract(dir);
                return folder ? told.find(inTheWay) != std::string::npos : told.find("Cannot") == std::string::npos;
            }));
            EXPECT_EQ(fs::is_directory(at), folder);
            // Read only once it is a file: a pipe left there would block the read.
            if (!folder) {
                EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(at)) && ReadTextFile(at) == "second");
            }
            EXPECT_EQ(ReadTextFile(Path("victim")), "victim");
            EXPECT_FALSE(fs::exists(Path("nowhere")));
        }
    }

    // To a file named by the script: a link is followed, a pipe is refused.
    fs::create_symlink(Path("victim"), Path("link"));
    ::mkfifo(Path("pipe").c_str(), 0644);
    EXPECT_TRUE(InChildWithin(20, [&] {
        RunTasks("ExtractFile: data To: " + Path("link") + "\r\nExtractFile: data To: " + Path("pipe") + "\r\n");
        return m_box.m_calls.size() == 1 && m_box.m_calls[0].text == "Cannot create " + Path("pipe") + ": it is not a regular file.";
    }));
    EXPECT_EQ(ReadTextFile(Path("victim")), "second");
    EXPECT_EQ(fs::status(Path("pipe")).type(), fs::file_type::fifo);
}

// The package stores no modes: a body that starts as a program does (ELF,
// "#!") is created executable, anything else not, each less the umask.
TEST(Extraction, ProgramsBecomeExecutableLessTheUmask)
{
    CTempDir dir;
    const std::string installer = WriteInstaller(dir, "progs", "[Tasks]\r\n",
        {{"prog", std::string("\x7F" "ELF\x02\x01\x01", 7)}, {"run.sh", "#!/bin/sh\nexit 0\n"}, {"notes.txt", "#not a script"}, {"elf-like", "\x7F" "EL"}});
    CFakeMessageBox box;
    for (const ::mode_t mask : {022, 077}) {
        const ::mode_t previous = ::umask(mask);
        const std::string byReader = dir / ("reader" + std::to_string(mask)), byTool = dir / ("tool" + std::to_string(mask));
        fs::create_directory(byReader);
        CPackageFile reader(installer, box);
        EXPECT_EQ(reader.ExtractAll(byReader + "/"), 4u);
        ToolExtractAll(installer, byTool);
        ::umask(previous);
        for (const std::string& folder : {byReader, byTool}) {
            SCOPED_TRACE(folder);
            auto perms = [&](const char* name) { return static_cast<unsigned>(fs::status(folder + "/" + name).permissions()); };
            EXPECT_EQ(perms("prog"), 0777u & ~mask);
            EXPECT_EQ(perms("run.sh"), 0777u & ~mask);
            EXPECT_EQ(perms("notes.txt"), 0666u & ~mask);
            EXPECT_EQ(perms("elf-like"), 0666u & ~mask);
        }
    }
}

TEST_F(TaskPassTest, RegistryCommands)
{
    // A root is the first name contained, in a fixed order and case-sensitively.
    RunTasks("CreateRegKey: HKEY_CURRENT_USER Key: Software\\Made\r\n"
             "SetRegDword: HKEY_CURRENT_USER Key: Software Query: Twelve Value: 12abc\r\n"
             "SetRegDword: xHKEY_USERSx Key: Software Query: None\r\n"
             // Any order, the last of a name wins, and values are not expanded.
             "SetRegString: HKEY_CURRENT_USER Value: some text Query: Name Key: Software\\My App\r\n"
             "SetRegString: HKEY_CURRENT_USER Key: Software Key: Software\\Two Query: A Value: 1 Value: CURDIR\r\n"
             // The run stops at the next head: this Key is not the first line's.
             "SetRegString: hkey_current_user\r\nSetRegString: HKEY_USERS HKEY_LOCAL_MACHINE Key: K2 Query: Q Value: v2\r\n");
    auto at = [](RegKey root, const std::string& key) { return std::to_string(root) + "\\" + key; };
    const std::map<std::string, std::pair<std::uint32_t, std::string>> values = {
        {at(kRegCurrentUser, "Software|Twelve"), {kRegDword, std::string("\x0C\0\0\0", 4)}},
        {at(kRegUsers, "Software|None"), {kRegDword, std::string(4, '\0')}},
        {at(kRegCurrentUser, "Software\\My App|Name"), {kRegString, std::string("some text\0", 10)}},
        {at(kRegCurrentUser, "Software\\Two|A"), {kRegString, std::string("CURDIR\0", 7)}},
        {at(kRegClassesRoot, "|"), {kRegString, std::string(1, '\0')}},
        {at(kRegLocalMachine, "K2|Q"), {kRegString, std::string("v2\0", 3)}},
    };
    EXPECT_EQ(m_registry.m_values, values);
    EXPECT_EQ(m_registry.m_keys.front(), at(kRegCurrentUser, "Software\\Made"));
}

TEST_F(TaskPassTest, MessageBoxIconAndCaption)
{
    // The caption is the window's at the time of the box.
    RunTasks("WindowTitle=Now\r\nMessageBox: m Icon: MB_ICONQUESTION\r\n"
             "MessageBox: m Icon: MB_ICONQUESTION MB_ICONEXCLAMATION\r\nMessageBox: m Icon: MB_ICONASTERISK please\r\n"
             // Trimmed at the line's end, the value has lost the blank the word needs.
             "MessageBox: m Icon: MB_ICONASTERISK\r\n"
             // Icon is not the next pair.
             "MessageBox: m Text: x Icon: MB_ICONQUESTION\r\n");
    std::vector<unsigned> styles;
    for (const CBoxCall& call : m_box.m_calls) {
        EXPECT_EQ(call.text, "m");
        EXPECT_EQ(call.caption, "Now");
        styles.push_back(call.style);
    }
    EXPECT_EQ(styles, (std::vector<unsigned>{kBoxIconQuestion, kBoxIconWarning, kBoxIconInformation, kBoxIconError, kBoxIconError}));
}

// A pass of many cheap pairs repaints about 60 times a second of its own
// time and always once at the end, with the bar full.
TEST_F(TaskPassTest, RepaintsAtMostSixtyTimesASecondAndAtTheEnd)
{
    const struct {
        std::chrono::microseconds perCall;
        int most, least;
    } cases[] = {
        {std::chrono::microseconds(0), 2, 2},       // a pass in no time: before and after
        {std::chrono::microseconds(500), 62, 58},     // 2,000 steps in one second
        {std::chrono::microseconds(20000), 2001, 2001}, // slow steps: each one shows
    };
    std::string tasks;
    for (int i = 0; i < 1000; ++i)
        tasks += "Note: pair\r\n"; // two strings, two steps
    for (const auto& c : cases) {
        auto now = std::chrono::steady_clock::time_point();
        m_context.clock = [&] { return now += c.perCall; };
        m_window.m_updates = 0;
        m_progress.m_positions.clear();
        RunTasks(tasks);
        EXPECT_LE(m_window.m_updates, c.most) << c.perCall.count();
        EXPECT_GE(m_window.m_updates, c.least) << c.perCall.count();
        EXPECT_EQ(m_progress.m_positions.back(), 2000);
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
        CTaskInterpreter(m_context).RunScriptSection(false);
        ASSERT_TRUE(m_button.IsEnabled() && m_status.IsVisible() && !m_progress.IsVisible()) << tasks;
        ASSERT_EQ(m_progress.m_upper, static_cast<int>(pairs.size())) << tasks;
        ASSERT_EQ(m_progress.m_positions.back(), static_cast<int>(pairs.size())) << tasks;
        ASSERT_EQ(std::adjacent_find(m_progress.m_positions.begin(), m_progress.m_positions.end(), std::greater_equal<int>()),
                  m_progress.m_positions.end()) << tasks;
    }
    fs::current_path(previous);
    // The sections did reach the commands.
    EXPECT_GT(m_box.m_calls.size(), 1000u);
    EXPECT_GT(m_shell.m_calls.size(), 1000u);
    EXPECT_FALSE(m_registry.m_values.empty());
}

} // namespace
