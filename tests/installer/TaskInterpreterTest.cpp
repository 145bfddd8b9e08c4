#include "tests/installer/InterpreterFixture.h"

#include "installer/Registry.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

using TaskPassTest = CInterpreterTest;

// ---------------------------------------------------------------- the frame

TEST_F(TaskPassTest, WhileTasksRunTheButtonIsOffAndTheBarStandsInForTheStatus)
{
    bool checked = false;
    m_box.m_onShow = [&](const CBoxCall&) {
        checked = true;
        EXPECT_FALSE(m_button.IsWindowEnabled());
        EXPECT_FALSE(m_status.IsWindowVisible());
        EXPECT_TRUE(m_progress.IsWindowVisible());
        EXPECT_EQ(m_progress.m_lower, 0);
        EXPECT_EQ(m_progress.m_upper, 4);
        EXPECT_EQ(m_progress.GetPos(), 2);
    };
    RunTasks("Title=x\r\nMessageBox: hi\r\n");
    EXPECT_TRUE(checked);
    EXPECT_TRUE(m_button.IsWindowEnabled());
    EXPECT_TRUE(m_status.IsWindowVisible());
    EXPECT_FALSE(m_progress.IsWindowVisible());
    EXPECT_EQ(m_progress.m_positions, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(m_button.GetWindowText(), "&Apply");
    EXPECT_EQ(m_status.GetWindowText(), " Status");
    EXPECT_GE(m_window.m_updates, 3); // the bar is painted after each step
}

TEST_F(TaskPassTest, NoTasksSectionGivesAnEmptyRangeAndRestoresTheScreen)
{
    for (const char* script : {"[Setup]\r\nTitle=a\r\n", "[Tasks]\r\n", "[tasks]\r\nMessageBox: x\r\n"}) {
        m_progress.m_positions.clear();
        Run(script);
        EXPECT_EQ(m_progress.m_upper, 0) << script;
        EXPECT_EQ(m_progress.m_positions, std::vector<int>{0}) << script;
        EXPECT_TRUE(m_button.IsWindowEnabled());
        EXPECT_TRUE(m_status.IsWindowVisible());
        EXPECT_FALSE(m_progress.IsWindowVisible());
    }
    EXPECT_TRUE(m_box.m_calls.empty());
}

TEST_F(TaskPassTest, SetupPassReadsOnlySetupAndAcceptsTaskCommands)
{
    Run("[Setup]\r\nWriteToFile: " + Path("setup.txt") + " Mode: CREATE Text: at start\r\n"
        "[Tasks]\r\nWriteToFile: " + Path("tasks.txt") + " Mode: CREATE\r\n",
        true);
    EXPECT_EQ(ReadTextFile(Path("setup.txt")), "at start\r\n");
    EXPECT_FALSE(fs::exists(Path("tasks.txt")));
}

TEST_F(TaskPassTest, ThePositionIsTheWalkIndexAfterEachStep)
{
    // "Note:" is unknown (1 string), its value too (1), then a command with
    // a To pair (4 strings).
    RunTasks("Note: nothing\r\nExtractFile: a.txt To: " + Path("out.txt") + "\r\n");
    EXPECT_EQ(m_progress.m_positions, (std::vector<int>{0, 1, 2, 6}));
}

// ---------------------------------------------------------------- the walk

TEST_F(TaskPassTest, AnUnknownHeadsValueIsTestedAsAName)
{
    // The Readme quirk: 'see Readme' holds "Readme", so the next string, the
    // next line's head name, becomes the read-me text.
    RunTasks("Note: see Readme\r\nMessageBox: hi\r\n");
    EXPECT_EQ(m_readme.GetWindowText(), "MessageBox:");
    // The head was used as a value: its own box never shows, and the walk
    // goes on with its value "hi", which is no word.
    EXPECT_TRUE(m_box.m_calls.empty());
}

TEST_F(TaskPassTest, AValueWithoutAnyWordDoesNothing)
{
    RunTasks("Note: nothing here\r\nMessageBox: shown\r\n");
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].text, "shown");
}

TEST_F(TaskPassTest, AWordAtTheLastStringHasNoValueAndEndsThePass)
{
    m_readme.SetWindowText("before");
    RunTasks("Note: see Readme\r\n");
    EXPECT_EQ(m_readme.GetWindowText(), "before");
    EXPECT_EQ(m_progress.m_positions.back(), 2);
    EXPECT_TRUE(m_button.IsWindowEnabled());
}

TEST_F(TaskPassTest, ASecondPassRunsEveryTaskAgain)
{
    RunTasks("MessageBox: once\r\n");
    CTaskInterpreter(m_context).RunScriptSection(false);
    EXPECT_EQ(m_box.m_calls.size(), 2u);
}

// ---------------------------------------------------------------- commands

TEST_F(TaskPassTest, ExtractFileWithToWritesThePackedBody)
{
    RunTasks("ExtractFile: data.txt To: " + Path("copy.txt") + "\r\n");
    EXPECT_EQ(ReadTextFile(Path("copy.txt")), "second");
    EXPECT_TRUE(m_box.m_calls.empty());
}

TEST_F(TaskPassTest, ExtractFileToAFolderAppendsTheStoredNameAndExpandsMacros)
{
    fs::create_directories(m_folders.m_desktop + "/app");
    RunTasks("ExtractFile: empty.bin To: DSKDIR\\app\\\r\n");
    EXPECT_TRUE(fs::exists(m_folders.m_desktop + "/app/empty.bin"));
    // Names are found as substrings, the file added last first: "a.txt" is
    // found in data.txt, which lands under its own name.
    RunTasks("ExtractFile: a.txt To: DSKDIR\\app\\\r\n");
    EXPECT_EQ(ReadTextFile(m_folders.m_desktop + "/app/data.txt"), "second");
    EXPECT_FALSE(fs::exists(m_folders.m_desktop + "/app/a.txt"));
}

TEST_F(TaskPassTest, MissingOrMisplacedRequiredParametersAreReportedAndTheWalkGoesOn)
{
    const struct {
        std::string line;
        const char* message;
    } cases[] = {
        {"ExtractFile: a.txt", "ExtractFile command requires To param"},
        {"ExtractFile: a.txt Dest: " + Path("x") + " To: " + Path("y"), "ExtractFile command requires To param"},
        {"MoveFile: " + Path("a"), "MoveFile command requires To param"},
        {"CreateRegKey: HKEY_CURRENT_USER", "CreateRegKey command requires Key param"},
        {"CreateRegKey: HKEY_CURRENT_USER Query: x Key: Software", "CreateRegKey command requires Key param"},
    };
    for (const auto& c : cases) {
        m_box.m_calls.clear();
        RunTasks(c.line + "\r\nMessageBox: next\r\n");
        ASSERT_EQ(m_box.m_calls.size(), 2u) << c.line;
        EXPECT_EQ(m_box.m_calls[0].text, c.message) << c.line;
        EXPECT_EQ(m_box.m_calls[0].caption, "setup");
        EXPECT_EQ(m_box.m_calls[0].style, unsigned(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(m_box.m_calls[1].text, "next") << c.line;
    }
    EXPECT_FALSE(fs::exists(Path("y")));
}

TEST_F(TaskPassTest, ExtractFileOfANameNotPackedIsReportedByThePackage)
{
    RunTasks("ExtractFile: missing.txt To: " + Path("m.txt") + "\r\nMessageBox: next\r\n");
    ASSERT_EQ(m_box.m_calls.size(), 2u);
    EXPECT_EQ(m_box.m_calls[0].text, "Cannot find missing.txt in this file.");
    EXPECT_EQ(m_box.m_calls[1].text, "next");
}

TEST_F(TaskPassTest, ExtractAllCreatesTheFolderAndWritesEveryFile)
{
    RunTasks("ExtractAll: CURDIR\\all\r\n");
    const std::string dir = m_dir / "all";
    // Each stored name is looked up again by substring: for "a.txt" the
    // first match in list order is data.txt.
    EXPECT_EQ(ReadTextFile(dir + "/a.txt"), "second");
    EXPECT_EQ(ReadTextFile(dir + "/data.txt"), "second");
    EXPECT_TRUE(fs::exists(dir + "/empty.bin"));
    EXPECT_EQ(fs::file_size(dir + "/empty.bin"), 0u);
    EXPECT_TRUE(m_box.m_calls.empty());
}

TEST_F(TaskPassTest, MoveAndDeleteFilesThroughMacros)
{
    WriteTextFile(Path("old.txt"), "moved");
    WriteTextFile(Path("gone.txt"), "x");
    RunTasks("MoveFile: CURDIR\\old.txt To: CURDIR\\new.txt\r\nDeleteFile:   CURDIR\\gone.txt  \r\n");
    EXPECT_FALSE(fs::exists(Path("old.txt")));
    EXPECT_EQ(ReadTextFile(Path("new.txt")), "moved");
    EXPECT_FALSE(fs::exists(Path("gone.txt")));
}

TEST_F(TaskPassTest, RunOpensTheExpandedFileWithOptionalParameters)
{
    RunTasks("Run: WINDIR\\notepad.exe\r\nMessageBox: Done\r\n"
             "Run: CURDIR\\tool Param: --dir CURDIR \"a b\" $(x) `y`\r\n");
    ASSERT_EQ(m_shell.m_calls.size(), 2u);
    EXPECT_EQ(m_shell.m_calls[0], std::make_pair(m_folders.m_windows + "\\notepad.exe", std::string()));
    EXPECT_EQ(m_shell.m_calls[1],
              std::make_pair(m_dir.Path() + "\\tool", "--dir " + m_dir.Path() + " \"a b\" $(x) `y`"));
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].text, "Done");
}

TEST_F(TaskPassTest, RunWithParamNotNextLeavesTheParameterPairToTheWalk)
{
    RunTasks("Run: tool Other: x Param: -v\r\n");
    ASSERT_EQ(m_shell.m_calls.size(), 1u);
    EXPECT_EQ(m_shell.m_calls[0].second, "");
}

TEST_F(TaskPassTest, CreateRegKeyCreatesTheKey)
{
    RunTasks("CreateRegKey: HKEY_CURRENT_USER Key: Software\\Made\r\n");
    std::vector<CRegValue> values;
    EXPECT_TRUE(m_registry.QueryValues(HKEY_CURRENT_USER, "Software\\Made", values));
}

struct CStoredValue {
    std::uint32_t type;
    std::string data;
};

class RegistryTaskTest : public CInterpreterTest {
protected:
    CStoredValue Value(HKEY root, const std::string& key, const std::string& name)
    {
        CRegValue value;
        EXPECT_TRUE(m_registry.QueryValue(root, key, name, value)) << key << " " << name;
        return {value.type, value.data};
    }
};

TEST_F(RegistryTaskTest, SetRegDwordReadsTheValueAsAtoi)
{
    const struct {
        const char* value;
        std::string bytes;
    } cases[] = {
        {"12abc", std::string("\x0C\0\0\0", 4)},
        {"abc", std::string(4, '\0')},
        {"-1", std::string(4, '\xFF')},
        {"1", std::string("\x01\0\0\0", 4)},
    };
    for (const auto& c : cases) {
        RunTasks(std::string("SetRegDword: HKEY_CURRENT_USER Key: Software Query: Count Value: ") + c.value + "\r\n");
        const CStoredValue stored = Value(HKEY_CURRENT_USER, "Software", "Count");
        EXPECT_EQ(stored.type, REG_DWORD) << c.value;
        EXPECT_EQ(stored.data, c.bytes) << c.value;
    }
    RunTasks("SetRegDword: HKEY_CURRENT_USER Key: Software Query: NoValue\r\n");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, "Software", "NoValue").data, std::string(4, '\0'));
}

TEST_F(RegistryTaskTest, SetRegStringTakesItsParametersInAnyOrderAndTheLastWins)
{
    RunTasks("SetRegString: HKEY_CURRENT_USER Value: some text Query: Name Key: Software\\My App\r\n"
             "SetRegString: HKEY_CURRENT_USER Key: Software Key: Software\\Two Query: A Value: 1 Value: 2\r\n");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, "Software\\My App", "Name").data, std::string("some text\0", 10));
    EXPECT_EQ(Value(HKEY_CURRENT_USER, "Software\\Two", "A").data, std::string("2\0", 2));
}

TEST_F(RegistryTaskTest, SetRegStringWithoutParametersWritesTheRootsDefaultValue)
{
    RunTasks("SetRegString: HKEY_CURRENT_USER\r\n");
    const CStoredValue stored = Value(HKEY_CURRENT_USER, "", "");
    EXPECT_EQ(stored.type, REG_SZ);
    EXPECT_EQ(stored.data, std::string(1, '\0'));
}

TEST_F(RegistryTaskTest, TheParameterRunStopsAtTheNextHead)
{
    // The second line's head ends in ':', so its Key is not taken by the
    // first command; the values are not expanded either.
    RunTasks("SetRegString: HKEY_CURRENT_USER Key: K1 Query: Q Value: CURDIR\r\n"
             "SetRegString: HKEY_CURRENT_USER Key: K2 Query: Q Value: v2\r\n");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, "K1", "Q").data, std::string("CURDIR\0", 7));
    EXPECT_EQ(Value(HKEY_CURRENT_USER, "K2", "Q").data, std::string("v2\0", 3));
}

TEST_F(TaskPassTest, TwoWriteToFileLinesGiveTwoLinesAlsoAfterASecondPass)
{
    const std::string path = Path("log.txt");
    RunTasks("WriteToFile: " + path + " Text: first Mode: CREATE\r\nWriteToFile: " + path + " Text: second\r\n");
    EXPECT_EQ(ReadTextFile(path), "first\r\nsecond\r\n");
    CTaskInterpreter(m_context).RunScriptSection(false);
    EXPECT_EQ(ReadTextFile(path), "first\r\nsecond\r\n");
}

TEST_F(TaskPassTest, WriteToFileWithoutCreateNeedsAnExistingFile)
{
    const std::string path = Path("lower.txt");
    RunTasks("WriteToFile: " + path + " Text: a Mode: create\r\nMessageBox: next\r\n");
    EXPECT_FALSE(fs::exists(path));
    ASSERT_EQ(m_box.m_calls.size(), 1u); // nothing reported, the next command ran
    EXPECT_EQ(m_box.m_calls[0].text, "next");
    EXPECT_TRUE(m_button.IsWindowEnabled());

    WriteTextFile(path, "kept\r\n");
    RunTasks("WriteToFile: " + path + " Text: more\r\n");
    EXPECT_EQ(ReadTextFile(path), "kept\r\nmore\r\n");
}

TEST_F(TaskPassTest, WriteToFileIntoAMissingFolderWritesNothing)
{
    RunTasks("WriteToFile: " + Path("no/such/dir.txt") + " Text: a Mode: CREATE\r\nMessageBox: next\r\n");
    EXPECT_FALSE(fs::exists(Path("no")));
    ASSERT_EQ(m_box.m_calls.size(), 1u);
}

TEST_F(TaskPassTest, AWriteErrorAfterTheFileOpenedIsReported)
{
    RunTasks("WriteToFile: /dev/full Text: a\r\nMessageBox: next\r\n");
    ASSERT_EQ(m_box.m_calls.size(), 2u);
    EXPECT_EQ(m_box.m_calls[0].text, "Cannot write /dev/full.");
    EXPECT_EQ(m_box.m_calls[0].caption, "setup");
    EXPECT_EQ(m_box.m_calls[1].text, "next");
}

TEST_F(TaskPassTest, MessageBoxIconsAndCaption)
{
    const struct {
        const char* line;
        unsigned icon;
    } cases[] = {
        {"MessageBox: m", MB_ICONHAND},
        {"MessageBox: m Icon: MB_ICONQUESTION", MB_ICONQUESTION},
        {"MessageBox: m Icon: MB_ICONEXCLAMATION", MB_ICONEXCLAMATION},
        {"MessageBox: m Icon: MB_ICONASTERISK", MB_ICONHAND}, // trimmed: the blank is gone
        {"MessageBox: m Icon: MB_ICONASTERISK please", MB_ICONASTERISK},
        {"MessageBox: m Icon: MB_ICONQUESTION,MB_ICONEXCLAMATION", MB_ICONEXCLAMATION},
        {"MessageBox: m Icon: MB_ICONEXCLAMATION MB_ICONQUESTION", MB_ICONEXCLAMATION},
        {"MessageBox: m Text: x Icon: MB_ICONQUESTION", MB_ICONHAND}, // Icon not next
    };
    m_window.SetWindowText("Caption Now");
    for (const auto& c : cases) {
        m_box.m_calls.clear();
        RunTasks(std::string(c.line) + "\r\n");
        ASSERT_FALSE(m_box.m_calls.empty()) << c.line;
        EXPECT_EQ(m_box.m_calls[0].text, "m") << c.line;
        EXPECT_EQ(m_box.m_calls[0].caption, "Caption Now");
        EXPECT_EQ(m_box.m_calls[0].style, MB_OK | c.icon) << c.line;
    }
}

TEST_F(TaskPassTest, MessageBoxTakesTheCaptionAsTheWindowTitleKeyLeftIt)
{
    RunTasks("MessageBox: before\r\nWindowTitle=Later\r\nMessageBox: after\r\n");
    ASSERT_EQ(m_box.m_calls.size(), 2u);
    EXPECT_EQ(m_box.m_calls[0].caption, "");
    EXPECT_EQ(m_box.m_calls[1].caption, "Later");
}

} // namespace
