// CSfxDlg, the main dialog and the hub of the program. It owns the script and
// the package of the running executable, chooses the run mode once at
// start-up, and routes every user action: the setup button to the task pass,
// resizing to the layout, the close box and the cancel key to the end of
// the dialog, the system menu to the About box.
#pragma once

#include "installer/SetupScreen.h"
#include "package/PackageFile.h"
#include "platform/Color.h"
#include "platform/Dialog.h"
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
    IShell& shell;
    const IFolders& folders;
    IRegistry& registry;
};

class CSfxDlg : public IDialogHandler {
public:
    explicit CSfxDlg(const CSfxServices& services);
    CSfxDlg(const CSfxDlg&) = delete;
    CSfxDlg& operator=(const CSfxDlg&) = delete;

    // Creates the window from template 102 and runs it until it ends.
    int DoModal();

    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void OnSysCommand(unsigned id) override;
    void OnClose() override;
    void OnCancel() override;
    void OnSize(int type, int cx, int cy) override;
    bool OnCtlColor(int id, COLORREF& text, COLORREF& back) override;

    void OnApply();
    // The setup pass (bSetup) over [Setup], or the task pass over [Tasks].
    void RunScriptSection(bool bSetup);
    void LayoutControls(int cx, int cy);

    bool IsEditorMode() const { return m_editorMode != 0; }
    static std::string AboutText();

private:
    void DoDataExchange();
    void StartInstallerMode();
    void StartEditorMode();

    IDialogWindow& m_window;
    IMessageBox& m_box;
    IShell& m_shell;
    const IFolders& m_folders;
    IRegistry& m_registry;

    IControl* m_status = nullptr;
    IControl* m_applyButton = nullptr;
    IControl* m_title = nullptr;
    CScript m_script;
    CPackageFile m_reader;
    IControl* m_readme = nullptr;
    IProgressCtrl* m_progress = nullptr;
    COLORREF m_backColor = RGB(231, 243, 255);
    COLORREF m_titleTextColor = RGB(49, 105, 198);
    IControl* m_separator = nullptr;
    IControl* m_titleRule = nullptr;
    IControl* m_editor = nullptr;
    unsigned char m_editorMode = 0;
    // The controls as the setup screen and the task pass see them, once bound.
    std::optional<CSetupScreen> m_screen;
};
