#include "app/Resources.h"
#include "app/SfxDlg.h"
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
    }

    // Starts the dialog on the program file at path.
    CSfxDlg& Start(const std::string& path)
    {
        m_folders.m_module = path;
        m_dialog.emplace(CSfxServices{m_window, m_box, m_shell, m_folders, m_registry});
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

    CTempDir m_dir;
    CFakeDialogWindow m_window;
    CFakeMessageBox m_box;
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
        m_window = CFakeDialogWindow();
        if (installer)
            StartInstaller("[Setup]\r\n");
        else
            Start(WriteStub(m_dir));
        EXPECT_EQ(m_window.m_systemItems,
                  (std::vector<std::pair<unsigned, std::string>>{{16u, "&About.."}}));
        const FontSpec title = m_window.m_fonts.at(IDC_TITLE);
        EXPECT_EQ(title.family, FontFamily::Swiss);
        EXPECT_EQ(title.height, 20);
        EXPECT_TRUE(title.bold && title.italic);
        const FontSpec editor = m_window.m_fonts.at(IDC_EDITOR);
        EXPECT_EQ(editor.family, FontFamily::Modern);
        EXPECT_EQ(editor.height, 16);
        EXPECT_FALSE(editor.bold || editor.italic);
        EXPECT_EQ(Progress().m_color, 0x00AC6D34u);
        EXPECT_TRUE(m_window.IsWindowVisible());
    }
}

TEST_F(SfxDlgTest, AProgramWithoutAPackageStartsInEditorMode)
{
    CSfxDlg& dialog = Start(WriteStub(m_dir));
    EXPECT_TRUE(dialog.IsEditorMode());
    EXPECT_EQ(m_window.GetWindowText(), "Editor");
    EXPECT_EQ(Item(IDC_STATUS).GetWindowText(), " Status");
    for (int hidden : {IDC_APPLY, IDC_README, IDC_TITLE, IDC_SEPARATOR, IDC_TITLE_RULE})
        EXPECT_FALSE(Item(hidden).IsWindowVisible()) << hidden;
    EXPECT_FALSE(Progress().IsWindowVisible());
    EXPECT_TRUE(Item(IDC_EDITOR).IsWindowVisible());
    EXPECT_TRUE(Item(IDC_STATUS).IsWindowVisible());
    EXPECT_TRUE(m_window.m_resizable);
}

TEST_F(SfxDlgTest, APackageWithAnEmptyScriptStartsInEditorModeEvenWithFiles)
{
    CSfxDlg& dialog = StartInstaller("", {{"a.txt", "body"}});
    EXPECT_TRUE(dialog.IsEditorMode());
    EXPECT_EQ(m_window.GetWindowText(), "Editor");
}

TEST_F(SfxDlgTest, AScriptStartsTheSetupScreen)
{
    CSfxDlg& dialog = StartInstaller("[Setup]\r\nWindowTitle=My Setup\r\nTitle=My App\r\n");
    EXPECT_FALSE(dialog.IsEditorMode());
    EXPECT_EQ(m_window.GetWindowText(), "My Setup");
    EXPECT_EQ(Item(IDC_TITLE).GetWindowText(), "   My App");
    EXPECT_EQ(Item(IDC_STATUS).GetWindowText(), " Compiled : Mar. 07, 2002 09:05:31 AM");
    EXPECT_FALSE(Item(IDC_EDITOR).IsWindowVisible());
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

TEST_F(SfxDlgTest, WithoutWindowTitleTheCaptionStaysEmpty)
{
    StartInstaller("[Setup]\r\nTitle=x\r\n");
    EXPECT_EQ(m_window.GetWindowText(), "");
}

TEST_F(SfxDlgTest, WithoutACompileLineTheStatusLineKeepsItsFirstText)
{
    StartInstaller("[Setup]\r\nTitle=x\r\n", {}, "");
    EXPECT_EQ(Item(IDC_STATUS).GetWindowText(), " Status");
}

TEST_F(SfxDlgTest, WithoutSizeTheControlsKeepTheirTemplatePlaces)
{
    StartInstaller("[Setup]\r\nTitle=x\r\n");
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

TEST_F(SfxDlgTest, TheCloseBoxAndTheCancelKeyEndTheDialogInEitherMode)
{
    for (bool installer : {false, true}) {
        for (bool closeBox : {false, true}) {
            m_window = CFakeDialogWindow();
            CSfxDlg& dialog = installer ? StartInstaller("[Setup]\r\n") : Start(WriteStub(m_dir));
            if (closeBox)
                dialog.OnClose();
            else
                dialog.OnCancel();
            EXPECT_TRUE(m_window.m_ended);
            EXPECT_EQ(m_window.m_result, IDCANCEL);
            EXPECT_TRUE(m_box.m_calls.empty());
        }
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
    // Credit (two lines and an empty one), the thanks line, the last line.
    EXPECT_EQ(about.text.rfind("The sfxpack project\n", 0), 0u);
    const std::size_t thanks = about.text.find("\n\nThanks go out to ");
    ASSERT_NE(thanks, std::string::npos);
    EXPECT_EQ(std::count(about.text.begin(), about.text.begin() + static_cast<long>(thanks), '\n'), 1);
    EXPECT_TRUE(str::EndsWith(about.text, "\nWho helped me test this software"));
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
        m_window = CFakeDialogWindow();
        CSfxDlg& dialog = installer ? StartInstaller("[Setup]\r\n") : Start(WriteStub(m_dir));
        m_window.m_client = {0, 0, 600, 500};
        m_window.m_visible = false;
        dialog.OnSize(SIZE_RESTORED, 600, 500);
        EXPECT_EQ(Item(IDC_STATUS).GetWindowRect(), TemplateRect(IDC_STATUS));
        m_window.m_visible = true;
        dialog.OnSize(SIZE_RESTORED, 600, 500);
        const CRect status = installer ? CRect{12, 470, 506, 493} : CRect{12, 470, 588, 493};
        EXPECT_EQ(Item(IDC_STATUS).GetWindowRect(), status);
        if (installer)
            EXPECT_EQ(Item(IDC_APPLY).GetWindowRect(), (CRect{518, 468, 588, 495}));
        else
            EXPECT_EQ(Item(IDC_EDITOR).GetWindowRect(), (CRect{12, 12, 588, 461}));
    }
}

} // namespace
