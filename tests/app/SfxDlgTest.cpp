// The main dialog's own wiring: the mode chosen at start-up, which handler a
// command or a close reaches, and Create New Archive.
#include "app/Resources.h"
#include "app/SfxDlg.h"
#include "app/Version.h"
#include "platform/Files.h"
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
    CSfxDlg& Start(const std::string& path, const std::string& startScript = {})
    {
        m_window = CFakeDialogWindow();
        m_box = CFakeMessageBox();
        m_folders.m_module = path;
        m_dialog.emplace(CSfxServices{m_window, m_box, m_choiceList, m_fileDialog, m_shell, m_folders, m_registry},
                         startScript);
        m_dialog->DoModal();
        return *m_dialog;
    }
    CSfxDlg& StartEditor() { return Start(WriteStub(m_dir)); }
    CSfxDlg& StartInstaller(const std::string& script)
    {
        // The last dialog's program file closes first: Windows renames no
        // file over one that is open.
        m_dialog.reset();
        return Start(WriteInstaller(m_dir, "my-setup.bin", script, {{"a.txt", "body"}}, " Compiled : x"));
    }

    CFakeControl& Item(int id) { return m_window.Item<CFakeControl>(id); }
    CFakeTextWidget& Editor() { return m_window.Item<CFakeTextWidget>(IDC_EDITOR); }

    const fs::path m_oldFolder = fs::current_path();
    CTempDir m_dir;
    CFakeDialogWindow m_window;
    CFakeMessageBox m_box;
    CFakeChoiceList m_choiceList;
    CFakeFileDialog m_fileDialog;
    CFakeShell m_shell;
    CFakeFolders m_folders;
    CFakeRegistry m_registry;
    std::optional<CSfxDlg> m_dialog;
};

TEST_F(SfxDlgTest, TheScriptChoosesTheModeItsScreenAndItsLayout)
{
    // A package whose script is empty starts the editor, as the program alone does.
    for (const bool editor : {true, false}) {
        SCOPED_TRACE(editor);
        CSfxDlg& dialog = StartInstaller(editor ? "" : "[Setup]\r\n");
        EXPECT_EQ(dialog.IsEditorMode(), editor);
        EXPECT_EQ(m_window.GetText(), editor ? "Editor - sample.ini*" : "");
        EXPECT_EQ(Item(IDC_STATUS).GetText(), editor ? " Status" : " Compiled : x");
        EXPECT_EQ(Editor().IsVisible(), editor);
        EXPECT_EQ(m_window.m_menu.empty(), !editor);
        EXPECT_EQ(m_window.m_resizable, editor);
        for (int id : {IDC_APPLY, IDC_README, IDC_TITLE, IDC_SEPARATOR, IDC_TITLE_RULE})
            EXPECT_EQ(Item(id).IsVisible(), !editor) << id;
        if (editor) {
            EXPECT_FALSE(fs::exists(m_dir / "sample.ini")); // the sample is not written
            // Coloured only once the window is shown.
            EXPECT_EQ(Editor().m_formats[Editor().m_text.find("[Setup]")].color, 0x000001u);
        }
        // Only the heading has colours of its own.
        Color text = 0;
        Color back = 0;
        EXPECT_TRUE(dialog.OnCtlColor(IDC_TITLE, text, back));
        EXPECT_FALSE(dialog.OnCtlColor(IDC_STATUS, text, back));

        // A resize lays out a shown window only, for its mode: the status
        // line leaves room for the button on the setup screen alone.
        const CRect status = Item(IDC_STATUS).GetRect();
        m_window.m_client = {0, 0, 600, 500};
        m_window.m_visible = false;
        dialog.OnSize(kSizeRestored, 600, 500);
        EXPECT_EQ(Item(IDC_STATUS).GetRect(), status);
        m_window.m_visible = true;
        dialog.OnSize(kSizeRestored, 600, 500);
        EXPECT_EQ(Item(IDC_STATUS).GetRect(), (CRect{12, 470, editor ? 588 : 506, 493}));
    }
}

// A script named at the start opens in the editor; a name that is no file
// yet gets the built-in sample to start from, unsaved, and keeps the name.
TEST_F(SfxDlgTest, TheEditorOpensTheScriptItIsGiven)
{
    WriteTextFile(m_dir / "mine.ini", "[Setup]\r\nTitle=Mine\r\n");
    const struct {
        const char* start;
        const char* caption;
        bool sample;
    } cases[] = {{"mine.ini", "Editor - mine.ini", false}, {"new.ini", "Editor - new.ini*", true}};
    for (const auto& c : cases) {
        Start(WriteStub(m_dir), c.start);
        EXPECT_EQ(m_window.GetText(), c.caption);
        EXPECT_EQ(Editor().GetText().starts_with("; Example only"), c.sample) << c.start;
        // Saved where it was named, whatever folder a file dialog moves to.
        fs::current_path("/");
        m_dialog->OnSaveScript();
        fs::current_path(m_dir.Path());
        EXPECT_TRUE(fs::exists(m_dir / c.start)) << c.start;
    }
}

// A lost display leaves the editor's unsaved text beside the document, and
// nothing when there is nothing unsaved.
TEST_F(SfxDlgTest, ALostDisplaySavesTheUnsavedScriptBesideTheDocument)
{
    const std::string recovered = m_dir / "sample.ini.recovered";
    StartInstaller("[Setup]\r\n");
    EXPECT_EQ(m_dialog->SaveRecoveryCopy(), "");
    WriteTextFile(m_dir / "sample.ini", "[Setup]\r\n");
    StartEditor();
    EXPECT_EQ(m_dialog->SaveRecoveryCopy(), "");
    EXPECT_FALSE(fs::exists(recovered));
    Editor().Type("; changed\n");
    // Windows spells the folder with backslashes: the same file either way.
    EXPECT_TRUE(IsSamePath(m_dialog->SaveRecoveryCopy(), recovered));
    EXPECT_EQ(ReadTextFile(recovered), "; changed\r\n[Setup]\r\n");
    EXPECT_EQ(ReadTextFile(m_dir / "sample.ini"), "[Setup]\r\n");
}

// The installer's file name, less only a final ".exe" (in any case).
TEST_F(SfxDlgTest, TheButtonsMissingParameterBoxHasTheProgramsName)
{
    for (const auto& [file, caption] : std::vector<std::pair<std::string, std::string>>{
             {"myapp-1.0-setup", "myapp-1.0-setup"}, {"Setup.EXE", "Setup"}, {"setup.exe.exe", "setup.exe"}}) {
        Start(WriteInstaller(m_dir, file, "[Setup]\r\nWindowTitle=Setup\r\n[Tasks]\r\nMoveFile: x\r\n", {}));
        m_dialog->OnCommand(IDC_APPLY);
        ASSERT_EQ(m_box.m_calls.size(), 1u);
        EXPECT_EQ(m_box.m_calls[0].caption, caption);
    }
}

TEST_F(SfxDlgTest, TheAboutBoxNamesTheVersion)
{
    CSfxDlg& dialog = StartInstaller("[Setup]\r\nWindowTitle=Setup\r\n");
    dialog.OnSysCommand(IDM_ABOUTBOX);
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].caption, "About");
    EXPECT_NE(m_box.m_calls[0].text.find(std::string("sfxpack ") + kSfxVersion + "\n"), std::string::npos)
        << m_box.m_calls[0].text;
}

TEST_F(SfxDlgTest, TheMenuClosesAndLoadsScripts)
{
    WriteTextFile(m_dir / "sample.ini", "[Setup]\r\n");
    CSfxDlg& dialog = StartEditor();
    dialog.OnCommand(ID_FILE_CLOSE);
    EXPECT_EQ(m_window.GetText(), "Editor - untitled.ini*");
    m_box.m_answers = {kAnswerNo}; // Load asks about the document Close emptied
    m_fileDialog.m_paths = {m_dir / "sample.ini"};
    dialog.OnCommand(ID_FILE_LOAD);
    EXPECT_EQ(m_window.GetText(), "Editor - sample.ini");
}

TEST_F(SfxDlgTest, LeavingTheEditorOffersToSaveChangesAndCancelKeepsThem)
{
    const struct {
        const char* name;
        bool installer;
        int answer;
        bool ends;
    } cases[] = {
        {"exit, yes", false, kAnswerYes, true},
        {"exit, cancel", false, kAnswerCancel, false},
        // The setup screen ends at once, whatever its hidden editor holds.
        {"setup, cancel key", true, kAnswerCancel, true},
    };
    const std::string sample = m_dir / "sample.ini";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteTextFile(sample, "[Setup]\r\n");
        CSfxDlg& dialog = c.installer ? StartInstaller("[Setup]\r\n") : StartEditor();
        Editor().Type("; mine\n");
        m_box.m_answers = {c.answer};
        const std::string text = Editor().GetText();

        if (c.installer)
            dialog.OnCancel();
        else
            dialog.OnCommand(ID_FILE_EXIT);

        EXPECT_EQ(m_window.m_ended, c.ends);
        EXPECT_EQ(m_box.m_calls.size(), c.installer ? 0u : 1u);
        EXPECT_EQ(ReadTextFile(sample), c.answer == kAnswerYes ? text : "[Setup]\r\n");
        // The editor empties its document only when it lets the dialog end.
        EXPECT_EQ(Editor().GetText(), !c.installer && c.ends ? "" : text);
    }
}

TEST_F(SfxDlgTest, CreateNewArchiveBuildsTheEditorsUnsavedText)
{
    const std::string output = m_dir / "setup.bin";
    WriteTextFile(m_dir / "a.txt", "body");
    CSfxDlg& dialog = StartEditor();
    Editor().SetText("[Setup]\r\nOutputFile=" + output + "\r\n[Files]\r\na.txt\r\n");
    m_box.m_answers = {kAnswerNo};
    dialog.OnCommand(ID_FILE_CREATE_ARCHIVE);
    EXPECT_EQ(Item(IDC_STATUS).GetText(), " Done creating sfx");
    // Each of the three statuses is painted at once: the build takes no input.
    EXPECT_EQ(m_window.m_updates, 3);
    EXPECT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_TRUE(m_shell.m_calls.empty());
    CFakeMessageBox box;
    EXPECT_EQ(CPackageFile(output, box).ReadNextText(), Editor().GetText());
}

// Check Script and the check before a build: the list shows the findings,
// picking one puts the caret on its line, and only a closed list of
// warnings lets the build go on.
TEST_F(SfxDlgTest, TheCheckListsFindingsAndGuardsTheBuild)
{
    const std::string output = m_dir / "setup.bin";
    const std::string fine = "[Setup]\r\nSize=400\r\nOutputFile=" + output + "\r\n[Tasks]\r\n";
    const struct {
        std::string tasks;
        int command;
        std::deque<int> picks;
        const char* status;
        int caretLine; // from 1; 0: the caret stays at the start
        bool built;
    } cases[] = {
        {"", ID_ARCHIVE_CHECK, {}, " Check: 0 errors, 0 warnings, 0 notes", 0, false},
        {"MesageBox: hi\r\nMoveFile: a\r\n", ID_ARCHIVE_CHECK, {1}, " Check: 1 error, 1 warning, 0 notes", 6, false},
        {"MesageBox: hi\r\nMoveFile: a\r\n", ID_FILE_CREATE_ARCHIVE, {}, " Nothing built: 1 error, 1 warning, 0 notes", 0, false},
        {"MesageBox: hi\r\n", ID_FILE_CREATE_ARCHIVE, {0}, " Check: 0 errors, 1 warning, 0 notes", 5, false},
        {"MesageBox: hi\r\n", ID_FILE_CREATE_ARCHIVE, {-1}, " Done creating sfx", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tasks + std::to_string(c.command));
        fs::remove(output);
        CSfxDlg& dialog = StartEditor();
        Editor().SetText(fine + c.tasks);
        Editor().SetSel({0, 0});
        m_choiceList = CFakeChoiceList();
        m_choiceList.m_picks = c.picks;
        m_box.m_answers = {kAnswerNo};
        dialog.OnCommand(c.command);
        EXPECT_EQ(Item(IDC_STATUS).GetText(), c.status);
        EXPECT_EQ(m_choiceList.m_calls.size(), c.tasks.empty() ? 0u : 1u);
        if (!m_choiceList.m_calls.empty()) {
            EXPECT_EQ(m_choiceList.m_calls[0].caption, c.command == ID_ARCHIVE_CHECK ? "Check Script" : "Create New Archive");
        }
        const int caret = c.caretLine ? Editor().LineIndex(c.caretLine - 1) : 0;
        EXPECT_EQ(Editor().GetSel(), (TextSpan{caret, caret}));
        EXPECT_EQ(fs::exists(output), c.built);
    }
}

} // namespace
