// The dialog window on Win32: a modeless dialog made by the dialog manager
// from resource 102, run by a message loop of its own. Escape is the cancel
// command, the close box OnClose, and the menu's Ctrl keys come from
// accelerator table 129 while the menu is shown.
//
// The logic's pixels are pixels at 96 DPI; the window scales them by its own
// DPI. A window's screen position is not scaled (the logic only keeps it),
// its sizes are: GetRect's left and top are screen pixels, its width and
// height logic pixels, and SetFrame takes the same.
#pragma once

#include "platform/Dialog.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

class CWin32TextWidget;

// What to do when the session ends (the user logs off or shuts down) while
// the program runs: saves what can be saved. nullptr: nothing.
void Win32OnSessionEnd(std::function<std::string()> save);

class CWin32Dialog : public IDialogWindow {
public:
    CWin32Dialog();
    ~CWin32Dialog() override;
    CWin32Dialog(const CWin32Dialog&) = delete;
    CWin32Dialog& operator=(const CWin32Dialog&) = delete;

    // The controls come from resource 102, made from the same list as the
    // logic's template; dialog names which of them the logic uses, as what.
    void Create(const DialogTemplate& dialog, IDialogHandler& handler) override;
    int RunModalLoop() override;
    void EndModalLoop(int result) override;

    IControl* GetItem(int id) override;
    IProgressCtrl* GetProgressCtrl(int id) override;
    ITextWidget* GetTextWidget(int id) override;
    void SetItemFont(int id, const FontSpec& font) override;

    void SetText(const std::string& text) override;
    std::string GetText() const override;
    CRect GetClientArea() const override;
    CRect GetRect() const override;
    void SetFrame(int x, int y, int cx, int cy) override;
    void Show(bool show) override;
    bool IsVisible() const override;
    void SetResizable(bool resizable) override;
    // The menu is resource 129, made from the same list as the logic's menu.
    void SetMenu(const MenuTemplate& menu) override;
    void AppendSystemMenuItem(unsigned id, const std::string& caption) override;
    void PaintNow() override;

    // The window (the owner of boxes and file dialogs); nullptr before Create.
    HWND Handle() const { return m_hwnd; }

private:
    struct CItem {
        DialogItemKind kind = DialogItemKind::Label;
        std::unique_ptr<IControl> control;
    };
    struct CFont {
        FontSpec spec;
        HFONT handle = nullptr;
    };

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommandMessage(WPARAM wParam, LPARAM lParam);
    INT_PTR OnCtlColorMessage(HDC dc, HWND control);
    void OnDpiChanged(unsigned dpi, const RECT& suggested);
    void ApplyFont(int id, CFont& font);
    HBRUSH Brush(Color color);
    void Destroy();

    HWND m_hwnd = nullptr;
    IDialogHandler* m_handler = nullptr;
    std::map<int, CItem> m_items;
    CWin32TextWidget* m_textWidget = nullptr;
    int m_textWidgetId = 0;
    std::map<int, CFont> m_fonts;
    // The template's font made again for another DPI; the dialog manager's
    // own until the first change.
    HFONT m_dialogFont = nullptr;
    std::map<Color, HBRUSH> m_brushes;
    HMENU m_menu = nullptr;
    HACCEL m_accelerators = nullptr;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    // The system menu's items by their ids less the low four bits, which
    // the system uses itself.
    std::map<unsigned, unsigned> m_systemItems;
    std::string m_caption;
    bool m_ended = false;
    int m_result = 0;
};
