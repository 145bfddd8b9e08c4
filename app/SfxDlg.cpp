#include "app/SfxDlg.h"

#include "app/Resources.h"
#include "app/Version.h"
#include "editor/ScriptCommands.h"
#include "installer/TaskInterpreter.h"
#include "package/Builder.h"
#include "platform/Files.h"
#include "script/Paths.h"

#include <cctype>

namespace {

// The About box's credit: the project, then the line of its home page.
constexpr const char* kAboutProject = "The sfxpack project";
constexpr const char* kAboutHomePage = "Home page: to be announced";
constexpr const char* kAboutTester = "everyone";

constexpr FontSpec kTitleFont{FontFamily::Swiss, 20, true, true};
constexpr FontSpec kEditorFont{FontFamily::Modern, 16, false, false};
constexpr Color kProgressBarColor = Rgb(52, 109, 172);

// The build tells its progress in the status line, painted at once: the
// window takes no input until the build is done.
class CDialogBuildReport : public CStatusBuildReport {
public:
    CDialogBuildReport(IDialogWindow& window, IControl& status, IMessageBox& box, IShell& shell)
        : CStatusBuildReport(status, box, shell), m_window(window)
    {
    }
    void SetStatus(const std::string& text) override
    {
        CStatusBuildReport::SetStatus(text);
        m_window.PaintNow();
    }

private:
    IDialogWindow& m_window;
};

// The caption of the task messages: the installer's file name, less only a
// final ".exe" in any case, so "myapp-1.0-setup" keeps its version.
std::string AppName(const std::string& exePath)
{
    std::string name = GetFileNamePart(exePath);
    std::string tail = name.size() > 4 ? name.substr(name.size() - 4) : std::string();
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (tail == ".exe")
        name.resize(name.size() - 4);
    return name;
}

} // namespace

CSfxDlg::CSfxDlg(const CSfxServices& services, std::string startScript)
    : m_window(services.window),
      m_caption(services.window),
      m_box(services.messageBox),
      m_choiceList(services.choiceList),
      m_fileDialog(services.fileDialog),
      m_shell(services.shell),
      m_folders(services.folders),
      m_registry(services.registry),
      m_reader(GetExePath(services.folders), services.messageBox),
      m_log(services.log),
      m_startScript(std::move(startScript))
{
}

int CSfxDlg::DoModal()
{
    m_window.Create(SfxDialogTemplate(), *this);
    return m_window.RunModalLoop();
}

void CSfxDlg::DoDataExchange()
{
    m_status = m_window.GetItem(IDC_STATUS);
    m_applyButton = m_window.GetItem(IDC_APPLY);
    m_title = m_window.GetItem(IDC_TITLE);
    m_readme = m_window.GetItem(IDC_README);
    m_progress = m_window.GetProgressCtrl(IDC_PROGRESS);
    m_separator = m_window.GetItem(IDC_SEPARATOR);
    m_titleRule = m_window.GetItem(IDC_TITLE_RULE);
    m_editorWidget = m_window.GetTextWidget(IDC_EDITOR);
    // A terminal shows installers only and has no text widget to edit in.
    if (m_editorWidget)
        m_editor.Attach(*m_editorWidget, m_caption, m_box);
    m_screen.emplace(CSetupScreen{m_window, *m_title, *m_readme, *m_separator, *m_status, *m_progress,
                                  *m_applyButton, *m_window.GetItem(IDC_EDITOR)});
}

bool CSfxDlg::OnInitDialog()
{
    DoDataExchange();
    m_window.AppendSystemMenuItem(IDM_ABOUTBOX, "&About..");
    m_window.SetItemFont(IDC_TITLE, kTitleFont);
    m_window.SetItemFont(IDC_EDITOR, kEditorFont);
    m_status->SetText(" Status");
    m_window.SetText("Editor");
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
    m_screen->editor.Show(false);
    const std::string compileLine = m_reader.ReadNextText();
    if (!compileLine.empty())
        m_status->SetText(compileLine);
    m_window.SetText("");
    m_window.SetResizable(false);
    RunScriptSection(true);
}

void CSfxDlg::StartEditorMode()
{
    OpenStartScript(m_editor, m_caption, m_startScript);
    m_applyButton->Show(false);
    m_readme->Show(false);
    m_progress->Show(false);
    m_title->Show(false);
    m_separator->Show(false);
    m_titleRule->Show(false);
    m_window.SetMenu(SfxMenu());
    // The menu bar takes its room from the client area: the editor and the
    // status line fit what is left.
    LayoutControls(m_window.GetClientArea().Width(), m_window.GetClientArea().Height());
    m_script.SetText(m_editor.GetText());
    // Colouring waits for a shown widget, so the window comes first.
    m_window.Show(true);
    m_editor.ColorAll();
}

void CSfxDlg::OnCommand(int id)
{
    switch (id) {
    case IDC_APPLY:
        OnApply();
        break;
    case ID_FILE_CREATE_ARCHIVE:
        OnCreateArchive();
        break;
    case ID_ARCHIVE_ADD_FILE:
        OnAddFile();
        break;
    case ID_ARCHIVE_CHECK:
        OnCheckScript();
        break;
    case ID_FILE_SAVE:
        OnSaveScript();
        break;
    case ID_FILE_SAVE_AS:
        OnSaveScriptAs();
        break;
    case ID_FILE_LOAD:
        OnLoadScript();
        break;
    case ID_FILE_CLOSE:
        OnCloseScript();
        break;
    case ID_FILE_EXIT:
        OnExit();
        break;
    default:
        break;
    }
}

void CSfxDlg::OnCreateArchive()
{
    // What the editor shows is built, saved or not. It is checked first:
    // errors stop the build; warnings are listed, and closing the list
    // builds, while picking one goes to its line instead.
    const std::vector<CFinding> findings = CheckEditorScript();
    const CFindingCount count = CountFindings(findings);
    if (count.errors > 0) {
        m_status->SetText(" Nothing built: " + FindingCountText(count));
        ShowFindings("Create New Archive", FindingCountText(count) + ". Nothing was built: pick one to go to its line.",
                     findings);
        return;
    }
    if (count.warnings > 0
        && ShowFindings("Create New Archive",
                        FindingCountText(count) + ". Close to build anyway, or pick one to go to its line.", findings))
        return;
    CDialogBuildReport report(m_window, *m_status, m_box, m_shell);
    BuildOptions options;
    options.scriptPath = m_editor.m_strFileName;
    options.baseFolder = ScriptFolder();
    BuildArchive(m_reader, m_script, m_folders, report, options);
}

std::string CSfxDlg::ScriptFolder() const
{
    // Relative paths are the script file's, as the file dialogs move the
    // current folder; a document with a bare name was never saved or loaded
    // and has none (the current folder).
    std::string dir = GetDirectoryPart(m_editor.m_strFileName);
    if (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\'))
        dir.pop_back();
    return dir;
}

void CSfxDlg::OnCheckScript()
{
    const std::vector<CFinding> findings = CheckEditorScript();
    if (!findings.empty())
        ShowFindings("Check Script", FindingCountText(CountFindings(findings)) + ". Pick one to go to its line.",
                     findings);
}

std::vector<CFinding> CSfxDlg::CheckEditorScript()
{
    m_script.SetText(m_editor.GetText());
    const std::vector<CFinding> findings = CheckScript(m_script, {m_folders, m_shell, ScriptFolder()});
    m_status->SetText(" Check: " + FindingCountText(CountFindings(findings)));
    return findings;
}

bool CSfxDlg::ShowFindings(const std::string& caption, const std::string& heading,
                           const std::vector<CFinding>& findings)
{
    std::vector<std::string> items;
    items.reserve(findings.size());
    for (const CFinding& finding : findings)
        items.push_back("Line " + FormatFinding(finding));
    const int pick = m_choiceList.Choose(caption, heading, items);
    if (pick < 0 || static_cast<std::size_t>(pick) >= findings.size())
        return false;
    m_editor.GoToLine(findings[static_cast<std::size_t>(pick)].line);
    return true;
}

void CSfxDlg::OnAddFile()
{
    AddFileToScript(m_editor, m_fileDialog);
}

void CSfxDlg::OnSaveScript()
{
    SaveScript(m_editor);
}

void CSfxDlg::OnSaveScriptAs()
{
    SaveScriptAs(m_editor, m_fileDialog);
}

void CSfxDlg::OnLoadScript()
{
    LoadScript(m_editor, m_fileDialog);
}

void CSfxDlg::OnCloseScript()
{
    // A cancelled prompt leaves everything as it was: nothing to do.
    m_editor.CloseFile();
}

void CSfxDlg::OnExit()
{
    if (m_editor.CloseFile())
        m_window.EndModalLoop(kAnswerOk);
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
                         AppName(GetExePath(m_folders)),
                         m_log};
    CTaskInterpreter(context).RunScriptSection(bSetup);
}

std::string CSfxDlg::SaveRecoveryCopy()
{
    if (!IsEditorMode() || !m_editor.GetModify())
        return {};
    const std::string path = m_editor.m_strFileName + ".recovered";
    const std::string text = m_editor.GetText();
    CFile file;
    if (!file.Open(path, CFile::Mode::CreateWrite) || !file.Write(text.data(), text.size()))
        return {};
    file.Close();
    return path;
}

void CSfxDlg::OnSysCommand(unsigned id)
{
    if (id == IDM_ABOUTBOX)
        m_box.Show(AboutText(), "About", kBoxOk | kBoxIconQuestion);
}

std::string CSfxDlg::AboutText()
{
    std::string text;
    text += std::string("sfxpack ") + kSfxVersion + "\n";
    text += std::string(kAboutProject) + "\n" + kAboutHomePage + "\n\n";
    text += std::string("Thanks go out to ") + kAboutTester + "\n";
    text += "Who helped me test this software";
    return text;
}

void CSfxDlg::OnClose()
{
    // In editor mode the editor's save prompt decides first whether the
    // dialog may close; the setup screen closes at once.
    if (IsEditorMode() && !m_editor.CloseFile())
        return;
    m_window.EndModalLoop(kAnswerCancel);
}

void CSfxDlg::OnCancel()
{
    // Escape in the editor would otherwise throw away unsaved work without
    // a word: it asks as the close box does.
    OnClose();
}

void CSfxDlg::OnSize(int /*type*/, int cx, int cy)
{
    if (m_window.IsVisible())
        LayoutControls(cx, cy);
}

void CSfxDlg::LayoutControls(int /*cx*/, int /*cy*/)
{
    ::LayoutControls(*m_screen, IsEditorMode());
}

bool CSfxDlg::OnCtlColor(int id, Color& text, Color& back)
{
    if (id != IDC_TITLE)
        return false;
    text = m_titleTextColor;
    back = m_backColor;
    return true;
}
