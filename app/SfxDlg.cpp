#include "app/SfxDlg.h"

#include "app/Resources.h"
#include "installer/TaskInterpreter.h"
#include "script/Paths.h"

namespace {

// The About box's credit: the project, then the line of its home page.
constexpr const char* kAboutProject = "The sfxpack project";
constexpr const char* kAboutHomePage = "Home page: to be announced";
constexpr const char* kAboutTester = "everyone";

constexpr FontSpec kTitleFont{FontFamily::Swiss, 20, true, true};
constexpr FontSpec kEditorFont{FontFamily::Modern, 16, false, false};
constexpr COLORREF kProgressBarColor = RGB(52, 109, 172);

} // namespace

CSfxDlg::CSfxDlg(const CSfxServices& services)
    : m_window(services.window),
      m_box(services.messageBox),
      m_shell(services.shell),
      m_folders(services.folders),
      m_registry(services.registry),
      m_reader(GetExePath(services.folders), services.messageBox)
{
}

int CSfxDlg::DoModal()
{
    m_window.Create(SfxDialogTemplate(), *this);
    return m_window.RunModalLoop();
}

void CSfxDlg::DoDataExchange()
{
    m_status = m_window.GetDlgItem(IDC_STATUS);
    m_applyButton = m_window.GetDlgItem(IDC_APPLY);
    m_title = m_window.GetDlgItem(IDC_TITLE);
    m_readme = m_window.GetDlgItem(IDC_README);
    m_progress = m_window.GetProgressCtrl(IDC_PROGRESS);
    m_separator = m_window.GetDlgItem(IDC_SEPARATOR);
    m_titleRule = m_window.GetDlgItem(IDC_TITLE_RULE);
    m_editor = m_window.GetDlgItem(IDC_EDITOR);
    m_screen.emplace(CSetupScreen{m_window, *m_title, *m_readme, *m_separator, *m_status, *m_progress,
                                  *m_applyButton, *m_editor});
}

bool CSfxDlg::OnInitDialog()
{
    DoDataExchange();
    m_window.AppendSystemMenuItem(IDM_ABOUTBOX, "&About..");
    m_window.SetItemFont(IDC_TITLE, kTitleFont);
    m_window.SetItemFont(IDC_EDITOR, kEditorFont);
    m_status->SetWindowText(" Status");
    m_window.SetWindowText("Editor");
    m_progress->SetBarColor(kProgressBarColor);

    m_script.SetText(m_reader.ReadNextText());
    if (!m_script.IsEmpty()) {
        m_editorMode = 0;
        StartInstallerMode();
    } else {
        m_editorMode = 1;
        StartEditorMode();
    }
    return true;
}

void CSfxDlg::StartInstallerMode()
{
    m_editor->ShowWindow(false);
    const std::string compileLine = m_reader.ReadNextText();
    if (!compileLine.empty())
        m_status->SetWindowText(compileLine);
    m_window.SetWindowText("");
    m_window.SetResizable(false);
    RunScriptSection(true);
}

void CSfxDlg::StartEditorMode()
{
    // The script editor's own start (its sample script, menu 129 and the
    // routing of the menu's commands in OnCommand) belongs here, before the
    // dialog is shown; until then editor mode shows an empty editor.
    m_applyButton->ShowWindow(false);
    m_readme->ShowWindow(false);
    m_progress->ShowWindow(false);
    m_title->ShowWindow(false);
    m_separator->ShowWindow(false);
    m_titleRule->ShowWindow(false);
    m_script.SetText(m_editor->GetWindowText());
    m_window.ShowWindow(true);
}

void CSfxDlg::OnCommand(int id)
{
    if (id == IDC_APPLY)
        OnApply();
}

void CSfxDlg::OnApply()
{
    RunScriptSection(false);
}

void CSfxDlg::RunScriptSection(bool bSetup)
{
    CTaskContext context{*m_screen,
                         IsEditorMode(),
                         m_script,
                         m_reader,
                         m_folders,
                         m_shell,
                         m_box,
                         m_registry,
                         SplitPath(GetExePath(m_folders)).fname};
    CTaskInterpreter(context).RunScriptSection(bSetup);
}

void CSfxDlg::OnSysCommand(unsigned id)
{
    if (id == IDM_ABOUTBOX)
        m_box.Show(AboutText(), "About", MB_OK | MB_ICONQUESTION);
}

std::string CSfxDlg::AboutText()
{
    std::string text;
    text += std::string(kAboutProject) + "\n" + kAboutHomePage + "\n\n";
    text += std::string("Thanks go out to ") + kAboutTester + "\n";
    text += "Who helped me test this software";
    return text;
}

void CSfxDlg::OnClose()
{
    // In editor mode the editor's save prompt decides first whether the
    // dialog may close; the setup screen closes at once.
    OnCancel();
}

void CSfxDlg::OnCancel()
{
    m_window.EndDialog(IDCANCEL);
}

void CSfxDlg::OnSize(int /*type*/, int cx, int cy)
{
    if (m_window.IsWindowVisible())
        LayoutControls(cx, cy);
}

void CSfxDlg::LayoutControls(int /*cx*/, int /*cy*/)
{
    ::LayoutControls(*m_screen, IsEditorMode());
}

bool CSfxDlg::OnCtlColor(int id, COLORREF& text, COLORREF& back)
{
    if (id != IDC_TITLE)
        return false;
    text = m_titleTextColor;
    back = m_backColor;
    return true;
}
