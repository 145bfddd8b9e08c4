// The main dialog's own wiring: the mode chosen at start-up, which handler a
// command or a close reaches, Create New Archive, the About box and colours.
#include "app/Resources.h"
#include "app/SfxDlg.h"
#include "editor/ScriptCommands.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/TestPackage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace {

namespace fs = std::filesystem;

class SfxDlgTest : public ::testing::Test {
protected:
    // Editor mode looks for "sample.ini" in the current folder.
    SfxDlgTest() { fs::current_path(m_dir.Path()); }
    ~SfxDlgTest() override { fs::current_path(m_oldFolder); }

    // Starts the dialog on the program file at path, in a fresh window.
    CSfxDlg& Start(const std::string& path)
    {
        m_window = CFakeDialogWindow();
        m_box = CFakeMessageBox();
        m_shell = CFakeShell();
        m_folders.m_module = path;
        m_dialog.emplace(CSfxServices{m_window, m_box, m_fileDialog, m_shell, m_folders, m_registry});
        m_dialog->DoModal();
        return *m_dialog;
    }
    CSfxDlg& StartEditor() { return Start(WriteStub(m_dir)); }
    CSfxDlg& StartInstaller(const std::string& script,
                            const std::string& compileLine = " Compiled : Mar. 07, 2002 09:05:31 AM")
    {
        return Start(WriteInstaller(m_dir, "my-setup.bin", script, {{"a.txt", "body"}}, compileLine));
    }

    CFakeControl& Item(int id) { return m_window.Item<CFakeControl>(id); }
    CFakeTextWidget& Editor() { return m_window.Item<CFakeTextWidget>(IDC_EDITOR); }

    const fs::path m_oldFolder = fs::current_path();
    CTempDir m_dir;
    CFakeDialogWindow m_window;
    CFakeMessageBox m_box;
    CFakeFileDialog m_fileDialog;
    CFakeShell m_shell;
    CFakeFolders m_folders;
    CFakeRegistry m_registry;
    std::optional<CSfxDlg> m_dialog;
};

TEST_F(SfxDlgTest, TheScriptChoosesTheModeItsScreenAndItsLayout)
{
    const struct {
        const char* name;
        const char* script; // nullptr: the program alone, without a package
        const char* compileLine;
        const char* sampleIni; // sample.ini in the current folder, if any
        const char* caption;
        const char* status;
    } cases[] = {
        {"program alone", nullptr, "", nullptr, "Editor - sample.ini*", " Status"},
        {"program alone, sample.ini here", nullptr, "", "[Setup]\r\nTitle=Mine\r\n", "Editor - sample.ini", " Status"},
        {"empty script, with files", "", " Compiled : x", nullptr, "Editor - sample.ini*", " Status"},
        {"a script", "[Setup]\r\nWindowTitle=My Setup\r\n", " Compiled : x", nullptr, "My Setup", " Compiled : x"},
        {"no title, no compile line", "[Setup]\r\n", "", nullptr, "", " Status"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(m_dir / "sample.ini");
        if (c.sampleIni)
            WriteTextFile(m_dir / "sample.ini", c.sampleIni);
        CSfxDlg& dialog = c.script ? StartInstaller(c.script, c.compileLine) : StartEditor();
        const bool editor = c.script == nullptr || *c.script == '\0';
        EXPECT_EQ(dialog.IsEditorMode(), editor);
        EXPECT_EQ(m_window.GetWindowText(), c.caption);
        EXPECT_EQ(Item(IDC_STATUS).GetWindowText(), c.status);
        EXPECT_EQ(m_window.m_systemItems, (std::vector<std::pair<unsigned, std::string>>{{16u, "&About.."}}));
        EXPECT_EQ(m_window.m_fonts.size(), 2u); // the heading's and the editor's
        EXPECT_EQ(m_window.Item<CFakeProgress>(IDC_PROGRESS).m_color, 0x00AC6D34u);

        EXPECT_EQ(Editor().IsWindowVisible(), editor);
        EXPECT_EQ(m_window.m_menu.empty(), !editor);
        EXPECT_EQ(m_window.m_resizable, editor);
        // The setup screen keeps the template's places until a Size key.
        for (int id : {IDC_APPLY, IDC_README, IDC_TITLE, IDC_SEPARATOR, IDC_TITLE_RULE}) {
            EXPECT_EQ(Item(id).IsWindowVisible(), !editor) << id;
            EXPECT_TRUE(editor || Item(id).m_moves == 1) << id;
        }
        if (editor) {
            std::string shown = c.sampleIni ? c.sampleIni : BuiltInSample();
            std::erase(shown, '\r');
            EXPECT_EQ(Editor().m_text, shown);
            EXPECT_EQ(fs::exists(m_dir / "sample.ini"), c.sampleIni != nullptr); // the sample is not written
            EXPECT_EQ(Editor().m_formats[shown.find("[Setup]")].color, 0x000001u);
        }

        // A resize lays out a shown window only, for its mode: the status
        // line leaves room for the button on the setup screen alone.
        const CRect status = Item(IDC_STATUS).GetWindowRect();
        m_window.m_client = {0, 0, 600, 500};
        m_window.m_visible = false;
        dialog.OnSize(SIZE_RESTORED, 600, 500);
        EXPECT_EQ(Item(IDC_STATUS).GetWindowRect(), status);
        m_window.m_visible = true;
        dialog.OnSize(SIZE_RESTORED, 600, 500);
        EXPECT_EQ(Item(IDC_STATUS).GetWindowRect(), (CRect{12, 470, editor ? 588 : 506, 493}));
    }
}

TEST_F(SfxDlgTest, TheButtonRunsTheTasksEachTimeItIsPressed)
{
    CSfxDlg& dialog = StartInstaller("[Setup]\r\nWindowTitle=Setup\r\n[Tasks]\r\nMessageBox: done\r\nMoveFile: x\r\n");
    EXPECT_TRUE(m_box.m_calls.empty());
    dialog.OnCommand(IDC_APPLY);
    dialog.OnCommand(IDC_README); // not a command
    dialog.OnCommand(IDC_APPLY);
    ASSERT_EQ(m_box.m_calls.size(), 4u);
    // The script's box has the window's caption; a missing parameter's, the program's name.
    EXPECT_EQ(m_box.m_calls[2].caption, "Setup");
    EXPECT_EQ(m_box.m_calls[3].caption, "my-setup");
}

TEST_F(SfxDlgTest, TheMenuRunsTheScriptFileCommands)
{
    WriteTextFile(m_dir / "sample.ini", "[Setup]\r\n");
    CSfxDlg& dialog = StartEditor();
    m_box.m_answers = {IDNO}; // Load asks about the document Close emptied
    const struct {
        int command;
        std::string chosen; // the file dialog's answer, if it opens
        const char* caption;
    } steps[] = {
        {ID_ARCHIVE_ADD_FILE, m_dir / "data.bin", "Editor - sample.ini*"},
        {ID_FILE_SAVE, "", "Editor - sample.ini"},
        {ID_FILE_SAVE_AS, m_dir / "copy", "Editor - copy.ini"},
        {ID_FILE_CLOSE, "", "Editor - untitled.ini*"},
        {ID_FILE_LOAD, m_dir / "sample.ini", "Editor - sample.ini"},
    };
    for (const auto& step : steps) {
        m_fileDialog.m_paths = {step.chosen};
        dialog.OnCommand(step.command);
        EXPECT_EQ(m_window.GetWindowText(), step.caption) << step.command;
    }
    EXPECT_NE(Editor().GetWindowText().find("[Files]\r\n" + (m_dir / "data.bin")), std::string::npos);
    EXPECT_EQ(ReadTextFile(m_dir / "copy.ini"), Editor().GetWindowText());
}

enum class EndBy { Exit, CloseBox, CancelKey };

TEST_F(SfxDlgTest, LeavingTheEditorOffersToSaveChangesAndCancelKeepsThem)
{
    const struct {
        const char* name;
        bool installer;
        EndBy by;
        bool modified;
        int answer;
        int result; // 0: the dialog stays
    } cases[] = {
        {"exit, clean", false, EndBy::Exit, false, IDCANCEL, IDOK},
        {"exit, yes", false, EndBy::Exit, true, IDYES, IDOK},
        {"exit, cancel", false, EndBy::Exit, true, IDCANCEL, 0},
        {"close box, no", false, EndBy::CloseBox, true, IDNO, IDCANCEL},
        {"close box, cancel", false, EndBy::CloseBox, true, IDCANCEL, 0},
        {"cancel key, yes", false, EndBy::CancelKey, true, IDYES, IDCANCEL},
        {"cancel key, cancel", false, EndBy::CancelKey, true, IDCANCEL, 0},
        // The setup screen ends at once, whatever its hidden editor holds.
        {"setup, close box", true, EndBy::CloseBox, true, IDCANCEL, IDCANCEL},
        {"setup, cancel key", true, EndBy::CancelKey, true, IDCANCEL, IDCANCEL},
    };
    const std::string sample = m_dir / "sample.ini";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteTextFile(sample, "[Setup]\r\n");
        CSfxDlg& dialog = c.installer ? StartInstaller("[Setup]\r\n") : StartEditor();
        if (c.modified)
            Editor().Type("; mine\n");
        m_box.m_answers = {c.answer};
        const std::string text = Editor().GetWindowText();

        if (c.by == EndBy::Exit)
            dialog.OnCommand(ID_FILE_EXIT);
        else if (c.by == EndBy::CloseBox)
            dialog.OnClose();
        else
            dialog.OnCancel();

        EXPECT_EQ(m_window.m_ended, c.result != 0);
        EXPECT_EQ(m_window.m_result, c.result);
        const bool asks = c.modified && !c.installer;
        ASSERT_EQ(m_box.m_calls.size(), asks ? 1u : 0u);
        if (asks) {
            EXPECT_EQ(m_box.m_calls[0].text, "Save changes to\n" + sample);
            EXPECT_EQ(m_box.m_calls[0].style, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
        }
        EXPECT_EQ(ReadTextFile(sample), asks && c.answer == IDYES ? text : "[Setup]\r\n");
        // The editor empties its document only when it lets the dialog end.
        EXPECT_EQ(Editor().GetWindowText(), !c.installer && c.result != 0 ? "" : text);
    }
}

TEST_F(SfxDlgTest, CreateNewArchiveBuildsTheEditorsTextAndStartsItOnYes)
{
    using Calls = std::vector<std::pair<std::string, std::string>>;
    const std::string output = m_dir / "setup.bin";
    WriteTextFile(m_dir / "a.txt", "body");
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        CSfxDlg& dialog = StartEditor();
        // Never saved: what the editor shows is what is built.
        Editor().SetWindowText("[Setup]\r\nOutputFile=" + output + "\r\n[Files]\r\na.txt\r\n");
        m_box.m_answers = {answer};
        dialog.OnCommand(ID_FILE_CREATE_ARCHIVE);
        EXPECT_EQ(Item(IDC_STATUS).GetWindowText(), " Done creating sfx");
        // Each of the three statuses is painted at once: the build takes no input.
        EXPECT_EQ(m_window.m_updates, 3);
        ASSERT_EQ(m_box.m_calls.size(), 1u);
        EXPECT_EQ(m_box.m_calls[0].text, "File " + output + " created.\nDo you want to test it now?");
        EXPECT_EQ(m_shell.m_calls, (answer == IDYES ? Calls{{output, ""}} : Calls{}));
        CFakeMessageBox box;
        EXPECT_EQ(CPackageFile(output, box).ReadNextText(), Editor().GetWindowText());
        EXPECT_EQ(m_window.GetWindowText(), "Editor - sample.ini*"); // still unsaved
    }
}

TEST_F(SfxDlgTest, CreateNewArchiveReportsAFailureInTheStatusLineAndABox)
{
    CSfxDlg& dialog = StartEditor();
    Editor().SetWindowText("OutputFile=" + (m_dir / "out.bin") + "\r\n[Files]\r\nmissing.txt\r\n");
    dialog.OnCommand(ID_FILE_CREATE_ARCHIVE);
    const std::string message = "Error : Cannot find missing.txt to add to sfx.";
    EXPECT_EQ(Item(IDC_STATUS).GetWindowText(), " " + message);
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].text, message);
    EXPECT_TRUE(m_shell.m_calls.empty());
    EXPECT_FALSE(m_window.m_ended);
}

TEST_F(SfxDlgTest, AboutBoxAndTheHeadingsOwnColours)
{
    CSfxDlg& dialog = StartEditor();
    dialog.OnSysCommand(0xF060); // a system command of the window system
    EXPECT_TRUE(m_box.m_calls.empty());
    dialog.OnSysCommand(IDM_ABOUTBOX);
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].caption, "About");
    EXPECT_EQ(m_box.m_calls[0].style, unsigned(MB_OK | MB_ICONQUESTION));
    EXPECT_EQ(m_box.m_calls[0].text.rfind("The sfxpack project\n", 0), 0u);

    COLORREF text = 0;
    COLORREF back = 0;
    EXPECT_TRUE(dialog.OnCtlColor(IDC_TITLE, text, back));
    EXPECT_EQ(text, 0x00C66931u); // red 49, green 105, blue 198
    EXPECT_EQ(back, 0x00FFF3E7u); // red 231, green 243, blue 255
    for (int other : {IDC_STATUS, IDC_README, IDC_APPLY, IDC_SEPARATOR, IDC_TITLE_RULE, IDC_EDITOR})
        EXPECT_FALSE(dialog.OnCtlColor(other, text, back)) << other;
}

} // namespace
