#include "app/Resources.h"
#include "app/SfxDlg.h"
#include "editor/ScriptCommands.h"
#include "platform/posix/RegStore.h"
#include "script/StrUtil.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/TestPackage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

namespace {

namespace fs = std::filesystem;

class SfxDlgTest : public ::testing::Test {
protected:
    SfxDlgTest() : m_registry(m_dir / "reg-user", m_dir / "reg-machine")
    {
        m_folders.m_windows = m_dir / "win";
        m_folders.m_desktop = m_dir / "desk";
        // Editor mode looks for "sample.ini" in the current folder.
        fs::current_path(m_dir.Path());
    }
    ~SfxDlgTest() override { fs::current_path(m_oldFolder); }

    // Starts the dialog on the program file at path.
    CSfxDlg& Start(const std::string& path)
    {
        m_folders.m_module = path;
        m_dialog.emplace(CSfxServices{m_window, m_box, m_fileDialog, m_shell, m_folders, m_registry});
        m_dialog->DoModal();
        return *m_dialog;
    }
    CSfxDlg& StartInstaller(const std::string& script, const std::vector<CPackedFile>& files = {},
                            const std::string& compileLine = " Compiled : Mar. 07, 2002 09:05:31 AM")
    {
        return Start(WriteInstaller(m_dir, "my-setup.bin", script, files, compileLine));
    }

    CFakeControl& Item(int id) { return m_window.Control(id); }
    CFakeProgress& Progress() { return m_window.Progress(IDC_PROGRESS); }
    CFakeTextWidget& Editor() { return m_window.Text(IDC_EDITOR); }
    // A fresh window and fresh boxes, for one more start in the same test.
    void Reset()
    {
        m_window = CFakeDialogWindow();
        m_box = CFakeMessageBox();
        m_shell = CFakeShell();
    }

    const fs::path m_oldFolder = fs::current_path();
    CTempDir m_dir;
    CFakeDialogWindow m_window;
    CFakeMessageBox m_box;
    CFakeFileDialog m_fileDialog;
    CFakeShell m_shell;
    CFakeFolders m_folders;
    CRegStore m_registry;
    std::optional<CSfxDlg> m_dialog;
};

CRect TemplateRect(int id)
{
    for (const DialogItem& item : SfxDialogTemplate().items) {
        if (item.id == id)
            return {item.x, item.y, item.x + item.width, item.y + item.height};
    }
    return {};
}

// ---------------------------------------------------------------- start-up

TEST_F(SfxDlgTest, StartUpSetsFontsColoursAndTheAboutItemInEitherMode)
{
    for (bool installer : {false, true}) {
        Reset();
        if (installer)
            StartInstaller("[Setup]\r\n");
        else
            Start(WriteStub(m_dir));
        EXPECT_EQ(m_window.m_systemItems,
                  (std::vector<std::pair<unsigned, std::string>>{{16u, "&About.."}}));
        EXPECT_EQ(m_window.m_fonts.size(), 2u); // the heading's and the editor's
        EXPECT_EQ(Progress().m_color, 0x00AC6D34u);
        EXPECT_TRUE(m_window.IsWindowVisible());
    }
}

// The menu as lines: "popup/caption id keys", "-" for a separator.
std::vector<std::string> MenuLines(const MenuTemplate& menu)
{
    std::vector<std::string> lines;
    for (const MenuPopup& popup : menu) {
        for (const MenuItem& item : popup.items) {
            if (item.id == 0) {
                lines.push_back("-");
                continue;
            }
            std::string line = popup.caption + "/" + item.caption + " " + std::to_string(item.id);
            if (item.ctrlKey)
                line += std::string(" Ctrl+") + (item.shift ? "Shift+" : "") + item.ctrlKey;
            lines.push_back(line);
        }
    }
    return lines;
}

TEST_F(SfxDlgTest, AProgramWithoutAPackageStartsTheEditorWithTheBuiltInSample)
{
    CSfxDlg& dialog = Start(WriteStub(m_dir));
    EXPECT_TRUE(dialog.IsEditorMode());
    EXPECT_EQ(m_window.GetWindowText(), "Editor - sample.ini*");
    std::string sample = BuiltInSample();
    std::erase(sample, '\r');
    EXPECT_EQ(Editor().Text(), sample);
    EXPECT_FALSE(fs::exists(m_dir / "sample.ini"));
    // Coloured: the first header is bold in its colour.
    EXPECT_EQ(Editor().FormatAt(static_cast<int>(sample.find("[Setup]"))).color, 0x000001u);

    EXPECT_EQ(MenuLines(m_window.m_menu), (std::vector<std::string>{
                                              "&File/&Create New Archive 130 Ctrl+b",
                                              "-",
                                              "&File/Save Script File 132 Ctrl+s",
                                              "&File/Save Script File As... 136 Ctrl+Shift+s",
                                              "&File/Load Script File... 137 Ctrl+o",
                                              "-",
                                              "&File/Close Script File 138",
                                              "-",
                                              "&File/&Exit 135",
                                              "&Archive/&Add File To Put in Archive... 131",
                                          }));
    for (int hidden : {IDC_APPLY, IDC_README, IDC_TITLE, IDC_SEPARATOR, IDC_TITLE_RULE})
        EXPECT_FALSE(Item(hidden).IsWindowVisible()) << hidden;
    EXPECT_FALSE(Progress().IsWindowVisible());
    EXPECT_TRUE(Editor().IsWindowVisible());
    EXPECT_TRUE(Item(IDC_STATUS).IsWindowVisible());
    EXPECT_EQ(Item(IDC_STATUS).GetWindowText(), " Status");
    EXPECT_TRUE(m_window.m_resizable);
    EXPECT_TRUE(m_window.IsWindowVisible());
}

TEST_F(SfxDlgTest, TheEditorStartsWithSampleIniFromTheCurrentFolder)
{
    WriteTextFile(m_dir / "sample.ini", "[Setup]\r\nTitle=Mine\r\n");
    Start(WriteStub(m_dir));
    EXPECT_EQ(m_window.GetWindowText(), "Editor - sample.ini");
    EXPECT_EQ(Editor().GetWindowText(), "[Setup]\r\nTitle=Mine\r\n");
    EXPECT_FALSE(Editor().GetModify());
}

TEST_F(SfxDlgTest, APackageWithAnEmptyScriptStartsInEditorModeEvenWithFiles)
{
    CSfxDlg& dialog = StartInstaller("", {{"a.txt", "body"}});
    EXPECT_TRUE(dialog.IsEditorMode());
    EXPECT_EQ(m_window.GetWindowText(), "Editor - sample.ini*");
}

TEST_F(SfxDlgTest, AScriptStartsTheSetupScreen)
{
    CSfxDlg& dialog = StartInstaller("[Setup]\r\nWindowTitle=My Setup\r\nTitle=My App\r\n");
    EXPECT_FALSE(dialog.IsEditorMode());
    EXPECT_EQ(m_window.GetWindowText(), "My Setup");
    EXPECT_EQ(Item(IDC_TITLE).GetWindowText(), "   My App");
    EXPECT_EQ(Item(IDC_STATUS).GetWindowText(), " Compiled : Mar. 07, 2002 09:05:31 AM");
    EXPECT_FALSE(Editor().IsWindowVisible());
    EXPECT_FALSE(m_window.m_resizable);
    EXPECT_TRUE(m_window.m_menu.empty());
    // The setup pass leaves no trace of its frame.
    EXPECT_TRUE(Item(IDC_APPLY).IsWindowEnabled());
    EXPECT_TRUE(Item(IDC_STATUS).IsWindowVisible());
    EXPECT_FALSE(Progress().IsWindowVisible());
    for (int shown : {IDC_APPLY, IDC_README, IDC_TITLE, IDC_SEPARATOR, IDC_TITLE_RULE})
        EXPECT_TRUE(Item(shown).IsWindowVisible()) << shown;
    EXPECT_EQ(Item(IDC_APPLY).GetWindowText(), "&Apply");
}

TEST_F(SfxDlgTest, WithoutTitleCompileLineOrSizeTheTemplateTextsAndPlacesStay)
{
    StartInstaller("[Setup]\r\nTitle=x\r\n", {}, "");
    EXPECT_EQ(m_window.GetWindowText(), "");
    EXPECT_EQ(Item(IDC_STATUS).GetWindowText(), " Status");
    for (int id : {IDC_APPLY, IDC_README, IDC_TITLE, IDC_SEPARATOR, IDC_STATUS})
        EXPECT_EQ(Item(id).GetWindowRect(), TemplateRect(id)) << id;
}

TEST_F(SfxDlgTest, SizeInSetupResizesAndLaysOutBeforeTheWindowShows)
{
    StartInstaller("[Setup]\r\nSize=320,250\r\n");
    EXPECT_EQ(m_window.GetWindowRect().Width(), 320);
    EXPECT_EQ(m_window.GetWindowRect().Height(), 250);
    const CRect client = m_window.GetClientRect();
    EXPECT_EQ(Item(IDC_APPLY).GetWindowRect().left, client.right - 82);
    EXPECT_EQ(Item(IDC_APPLY).GetWindowRect().top, client.bottom - 32);
}

TEST_F(SfxDlgTest, ATaskCommandInSetupRunsAtStart)
{
    const std::string path = m_dir / "started.txt";
    StartInstaller("[Setup]\r\nWriteToFile: " + path + " Mode: CREATE Text: yes\r\n");
    EXPECT_EQ(ReadTextFile(path), "yes\r\n");
}

// ---------------------------------------------------------------- commands

TEST_F(SfxDlgTest, TheButtonRunsTheTasksEachTimeItIsPressed)
{
    CSfxDlg& dialog = StartInstaller("[Setup]\r\nWindowTitle=Setup\r\n[Tasks]\r\nMessageBox: done\r\nStatus=Done\r\n");
    EXPECT_TRUE(m_box.m_calls.empty());
    dialog.OnCommand(IDC_APPLY);
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].caption, "Setup");
    EXPECT_EQ(Item(IDC_STATUS).GetWindowText(), " Done");
    dialog.OnCommand(IDC_APPLY);
    EXPECT_EQ(m_box.m_calls.size(), 2u);
    dialog.OnCommand(IDC_README); // not a command
    EXPECT_EQ(m_box.m_calls.size(), 2u);
}

TEST_F(SfxDlgTest, MissingParameterMessagesAreCaptionedWithTheProgramsName)
{
    CSfxDlg& dialog = StartInstaller("[Tasks]\r\nMoveFile: x\r\n");
    dialog.OnApply();
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_box.m_calls[0].caption, "my-setup");
}

TEST_F(SfxDlgTest, TheSetupScreenEndsAtOnceOnTheCloseBoxOrTheCancelKey)
{
    for (bool closeBox : {false, true}) {
        Reset();
        CSfxDlg& dialog = StartInstaller("[Setup]\r\n");
        if (closeBox)
            dialog.OnClose();
        else
            dialog.OnCancel();
        EXPECT_TRUE(m_window.m_ended);
        EXPECT_EQ(m_window.m_result, IDCANCEL);
        EXPECT_TRUE(m_box.m_calls.empty());
    }
}

// ---------------------------------------------------------------- editor mode

TEST_F(SfxDlgTest, TheMenuRunsTheScriptFileCommands)
{
    CSfxDlg& dialog = Start(WriteStub(m_dir));
    const std::string data = m_dir / "data.bin";
    m_fileDialog.m_paths = {data};
    dialog.OnCommand(ID_ARCHIVE_ADD_FILE);
    EXPECT_NE(Editor().GetWindowText().find("[Files]\r\n" + data + "\r\nc:\\autoexec.bat"), std::string::npos);

    dialog.OnCommand(ID_FILE_SAVE);
    EXPECT_EQ(ReadTextFile(m_dir / "sample.ini"), Editor().GetWindowText());
    EXPECT_EQ(m_window.GetWindowText(), "Editor - sample.ini");

    m_fileDialog.m_paths = {m_dir / "copy"};
    dialog.OnCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(ReadTextFile(m_dir / "copy.ini"), Editor().GetWindowText());
    EXPECT_EQ(m_window.GetWindowText(), "Editor - copy.ini");

    dialog.OnCommand(ID_FILE_CLOSE);
    EXPECT_EQ(Editor().GetWindowText(), "");
    EXPECT_EQ(m_window.GetWindowText(), "Editor - untitled.ini*");
    EXPECT_TRUE(m_box.m_calls.empty());

    // The emptied document counts as changed: Load asks first.
    m_box.m_answers = {IDNO};
    m_fileDialog.m_paths = {m_dir / "copy.ini"};
    dialog.OnCommand(ID_FILE_LOAD);
    EXPECT_EQ(m_box.m_calls.size(), 1u);
    EXPECT_EQ(m_window.GetWindowText(), "Editor - copy.ini");
    EXPECT_EQ(Editor().GetWindowText(), ReadTextFile(m_dir / "copy.ini"));

    // Nothing changed since: Exit ends without a question.
    dialog.OnCommand(ID_FILE_EXIT);
    EXPECT_TRUE(m_window.m_ended);
    EXPECT_EQ(m_window.m_result, IDOK);
    EXPECT_EQ(m_box.m_calls.size(), 1u);
}

enum class EndBy { Exit, CloseBox, CancelKey };

struct EndCase {
    const char* name;
    EndBy by;
    bool modified;
    int answer;
    bool ends;
    int result;
};

TEST_F(SfxDlgTest, LeavingTheEditorOffersToSaveChangesAndCancelKeepsThem)
{
    const EndCase cases[] = {
        {"exit, clean", EndBy::Exit, false, IDCANCEL, true, IDOK},
        {"exit, yes", EndBy::Exit, true, IDYES, true, IDOK},
        {"exit, no", EndBy::Exit, true, IDNO, true, IDOK},
        {"exit, cancel", EndBy::Exit, true, IDCANCEL, false, 0},
        {"close box, clean", EndBy::CloseBox, false, IDCANCEL, true, IDCANCEL},
        {"close box, yes", EndBy::CloseBox, true, IDYES, true, IDCANCEL},
        {"close box, no", EndBy::CloseBox, true, IDNO, true, IDCANCEL},
        {"close box, cancel", EndBy::CloseBox, true, IDCANCEL, false, 0},
        {"cancel key, no", EndBy::CancelKey, true, IDNO, true, IDCANCEL},
        {"cancel key, cancel", EndBy::CancelKey, true, IDCANCEL, false, 0},
    };
    const std::string sample = m_dir / "sample.ini";
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        WriteTextFile(sample, "[Setup]\r\n");
        CSfxDlg& dialog = Start(WriteStub(m_dir));
        if (c.modified)
            Editor().Type("; mine\n");
        m_box.m_answer = c.answer;
        const std::string text = Editor().GetWindowText();
        const std::string caption = m_window.GetWindowText();

        if (c.by == EndBy::Exit)
            dialog.OnCommand(ID_FILE_EXIT);
        else if (c.by == EndBy::CloseBox)
            dialog.OnClose();
        else
            dialog.OnCancel();

        EXPECT_EQ(m_window.m_ended, c.ends);
        EXPECT_EQ(m_window.m_result, c.result);
        ASSERT_EQ(m_box.m_calls.size(), c.modified ? 1u : 0u);
        if (c.modified) {
            EXPECT_EQ(m_box.m_calls[0].text, "Save changes to\n" + sample);
            EXPECT_EQ(m_box.m_calls[0].caption, "Editor");
            EXPECT_EQ(m_box.m_calls[0].style, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
        }
        EXPECT_EQ(ReadTextFile(sample), c.answer == IDYES && c.modified ? text : "[Setup]\r\n");
        if (!c.ends) {
            EXPECT_EQ(Editor().GetWindowText(), text);
            EXPECT_EQ(m_window.GetWindowText(), caption);
        }
    }
}

TEST_F(SfxDlgTest, CreateNewArchiveBuildsTheEditorsTextAndStartsItOnYes)
{
    const std::string output = m_dir / "setup.bin";
    const std::string input = m_dir / "a.txt";
    WriteTextFile(input, "body");
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        Reset();
        CSfxDlg& dialog = Start(WriteStub(m_dir));
        // Never saved: what the editor shows is what is built.
        Editor().SetWindowText("[Setup]\r\nOutputFile=" + output + "\r\n[Files]\r\n" + input + "\r\n");
        m_box.m_answer = answer;
        dialog.OnCommand(ID_FILE_CREATE_ARCHIVE);

        const std::vector<std::string>& status = Item(IDC_STATUS).m_texts;
        ASSERT_GE(status.size(), 3u);
        EXPECT_EQ(std::vector<std::string>(status.end() - 3, status.end()),
                  (std::vector<std::string>{"Adding " + input + "...", "Adding todo data...", " Done creating sfx"}));
        EXPECT_GE(m_window.m_updates, 3);
        ASSERT_EQ(m_box.m_calls.size(), 1u);
        EXPECT_EQ(m_box.m_calls[0].text, "File " + output + " created.\nDo you want to test it now?");
        EXPECT_EQ(m_box.m_calls[0].caption, "Editor");
        EXPECT_EQ(m_box.m_calls[0].style, unsigned(MB_YESNO | MB_ICONQUESTION));
        const std::vector<std::pair<std::string, std::string>> started{{output, ""}};
        EXPECT_EQ(m_shell.m_calls, answer == IDYES ? started : decltype(started){});

        CFakeMessageBox box;
        CPackageFile built(output, box);
        EXPECT_EQ(built.ReadNextText(), Editor().GetWindowText());
        EXPECT_TRUE(str::EndsWith(m_window.GetWindowText(), "*")); // still unsaved
    }
}

TEST_F(SfxDlgTest, CreateNewArchiveReportsFailuresInTheStatusLineAndABox)
{
    const std::pair<std::string, std::string> cases[] = {
        {"OutputFile=" + (m_dir / "no/such/out.bin") + "\r\n",
         "Error : Cannot open " + (m_dir / "no/such/out.bin") + ". Perhaps file in use."},
        {"OutputFile=" + (m_dir / "out.bin") + "\r\n[Files]\r\nmissing.txt\r\n",
         "Error : Cannot find missing.txt to add to sfx."},
    };
    for (const auto& [script, message] : cases) {
        SCOPED_TRACE(message);
        Reset();
        CSfxDlg& dialog = Start(WriteStub(m_dir));
        Editor().SetWindowText(script);
        dialog.OnCommand(ID_FILE_CREATE_ARCHIVE);
        EXPECT_EQ(Item(IDC_STATUS).GetWindowText(), " " + message);
        ASSERT_EQ(m_box.m_calls.size(), 1u);
        EXPECT_EQ(m_box.m_calls[0].text, message);
        EXPECT_EQ(m_box.m_calls[0].caption, "Editor");
        EXPECT_EQ(m_box.m_calls[0].style, unsigned(MB_OK | MB_ICONERROR));
        EXPECT_TRUE(m_shell.m_calls.empty());
        EXPECT_FALSE(m_window.m_ended);
    }
}

TEST_F(SfxDlgTest, AboutShowsTheCreditWithAQuestionMarkAndOneButton)
{
    CSfxDlg& dialog = Start(WriteStub(m_dir));
    dialog.OnSysCommand(0xF060); // a system command of the window system
    EXPECT_TRUE(m_box.m_calls.empty());
    dialog.OnSysCommand(IDM_ABOUTBOX);
    ASSERT_EQ(m_box.m_calls.size(), 1u);
    const CBoxCall& about = m_box.m_calls[0];
    EXPECT_EQ(about.caption, "About");
    EXPECT_EQ(about.style, unsigned(MB_OK | MB_ICONQUESTION));
    EXPECT_EQ(about.text, CSfxDlg::AboutText());
    EXPECT_EQ(about.text.rfind("The sfxpack project\n", 0), 0u);
}

TEST_F(SfxDlgTest, OnlyTheHeadingGetsItsOwnColours)
{
    CSfxDlg& dialog = Start(WriteStub(m_dir));
    COLORREF text = 0;
    COLORREF back = 0;
    EXPECT_TRUE(dialog.OnCtlColor(IDC_TITLE, text, back));
    EXPECT_EQ(text, 0x00C66931u); // red 49, green 105, blue 198
    EXPECT_EQ(back, 0x00FFF3E7u); // red 231, green 243, blue 255
    for (int other : {IDC_STATUS, IDC_README, IDC_APPLY, IDC_SEPARATOR, IDC_TITLE_RULE, IDC_EDITOR})
        EXPECT_FALSE(dialog.OnCtlColor(other, text, back)) << other;
}

TEST_F(SfxDlgTest, ResizingLaysOutOnlyAVisibleDialogForItsMode)
{
    for (bool installer : {false, true}) {
        Reset();
        CSfxDlg& dialog = installer ? StartInstaller("[Setup]\r\n") : Start(WriteStub(m_dir));
        const CRect before = Item(IDC_STATUS).GetWindowRect();
        m_window.m_client = {0, 0, 600, 500};
        m_window.m_visible = false;
        dialog.OnSize(SIZE_RESTORED, 600, 500);
        EXPECT_EQ(Item(IDC_STATUS).GetWindowRect(), before);
        m_window.m_visible = true;
        dialog.OnSize(SIZE_RESTORED, 600, 500);
        const CRect status = installer ? CRect{12, 470, 506, 493} : CRect{12, 470, 588, 493};
        EXPECT_EQ(Item(IDC_STATUS).GetWindowRect(), status);
        if (installer)
            EXPECT_EQ(Item(IDC_APPLY).GetWindowRect(), (CRect{518, 468, 588, 495}));
        else
            EXPECT_EQ(Editor().GetWindowRect(), (CRect{12, 12, 588, 461}));
    }
}

} // namespace
