// CSfxDlg, the main dialog and the hub of the program. It owns the script,
// the package of the running executable and the script editor, chooses the
// run mode once at start-up, and routes every user action: the setup button
// to the task pass, the editor's menu to the builder and the script file
// commands, resizing to the layout, the close box and the cancel key to the
// end of the dialog (after the editor's save prompt), the system menu to the
// About box.
#pragma once

#include "editor/ColorEditCtrl.h"
#include "installer/SetupScreen.h"
#include "package/PackageFile.h"
#include "installer/ScriptCheck.h"
#include "platform/ChoiceList.h"
#include "platform/Color.h"
#include "platform/Dialog.h"
#include "platform/FileDialog.h"
#include "platform/Folders.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "script/Script.h"

#include <optional>
#include <string>

// How the dialog reaches the system.
struct CSfxServices {
    IDialogWindow& window;
    IMessageBox& messageBox;
    IChoiceList& choiceList;
    IFileDialog& fileDialog;
    IShell& shell;
    const IFolders& folders;
    IRegistry& registry;
    // Told of each task and each failure; none in the window.
    IProgressLog* log = nullptr;
};

// The dialog window as the editor sees it: a control whose text is the
// caption.
class CDialogCaption : public IControl {
public:
    explicit CDialogCaption(IDialogWindow& window) : m_window(window) {}
    void SetText(const std::string& text) override { m_window.SetText(text); }
    std::string GetText() const override { return m_window.GetText(); }
    void Show(bool show) override { m_window.Show(show); }
    bool IsVisible() const override { return m_window.IsVisible(); }
    // The program never disables its one window.
    void Enable(bool) override {}
    bool IsEnabled() const override { return true; }
    void Move(const CRect& rect) override
    {
        m_window.SetFrame(rect.left, rect.top, rect.Width(), rect.Height());
    }
    CRect GetRect() const override { return m_window.GetRect(); }

private:
    IDialogWindow& m_window;
};

class CSfxDlg : public IDialogHandler {
public:
    // startScript: the script the editor opens (empty: "sample.ini").
    explicit CSfxDlg(const CSfxServices& services, std::string startScript = {});
    CSfxDlg(const CSfxDlg&) = delete;
    CSfxDlg& operator=(const CSfxDlg&) = delete;

    // Creates the window from template 102 and runs it until it ends.
    int DoModal();
    // When the display is lost: the editor's unsaved text, written to
    // NAME.recovered beside the document. The path written, or "" when the
    // editor holds no unsaved text (or is not shown) or the file could not
    // be written. Touches no window.
    std::string SaveRecoveryCopy();

    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void OnSysCommand(unsigned id) override;
    void OnClose() override;
    void OnCancel() override;
    void OnSize(int type, int cx, int cy) override;
    bool OnCtlColor(int id, Color& text, Color& back) override;

    void OnApply();
    // The editor's menu.
    void OnCreateArchive();
    void OnAddFile();
    void OnCheckScript();
    void OnSaveScript();
    void OnSaveScriptAs();
    void OnLoadScript();
    void OnCloseScript();
    void OnExit();
    // The setup pass (bSetup) over [Setup], or the task pass over [Tasks].
    void RunScriptSection(bool bSetup);
    void LayoutControls(int cx, int cy);

    bool IsEditorMode() const { return m_editorMode != 0; }
    static std::string AboutText();

private:
    void DoDataExchange();
    void StartInstallerMode();
    void StartEditorMode();
    // Checks the editor's text; the count goes to the status line.
    std::vector<CFinding> CheckEditorScript();
    // The folder relative [Files] paths and OutputFile are taken from: the
    // document's; empty for a text never saved or loaded.
    std::string ScriptFolder() const;
    // Lists the findings under heading; true when the user picked one (the
    // caret is then on its line).
    bool ShowFindings(const std::string& caption, const std::string& heading, const std::vector<CFinding>& findings);

    IDialogWindow& m_window;
    CDialogCaption m_caption;
    IMessageBox& m_box;
    IChoiceList& m_choiceList;
    IFileDialog& m_fileDialog;
    IShell& m_shell;
    const IFolders& m_folders;
    IRegistry& m_registry;

    IControl* m_status = nullptr;
    IControl* m_applyButton = nullptr;
    IControl* m_title = nullptr;
    CScript m_script;
    CPackageFile m_reader;
    IProgressLog* m_log = nullptr;
    IControl* m_readme = nullptr;
    IProgressCtrl* m_progress = nullptr;
    Color m_backColor = Rgb(231, 243, 255);
    Color m_titleTextColor = Rgb(49, 105, 198);
    IControl* m_separator = nullptr;
    IControl* m_titleRule = nullptr;
    CColorEditCtrl m_editor;
    // The editor's widget, as the layout moves it.
    ITextWidget* m_editorWidget = nullptr;
    unsigned char m_editorMode = 0;
    std::string m_startScript;
    // The controls as the setup screen and the task pass see them, once bound.
    std::optional<CSetupScreen> m_screen;
};
