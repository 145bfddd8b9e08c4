// The dialog window on FLTK: one double-buffered top-level window holding an
// optional menu bar and the client area, a group with the template's
// controls. Escape is the cancel command, the close box OnClose, and the
// right mouse button or Alt+Space opens the small system menu.
#pragma once

#include "platform/Dialog.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <functional>
#include <vector>

class Fl_Group;
class Fl_Menu_Bar;
class Fl_Widget;
class Fl_Window;

// Opens the X display; false (and nothing else happens) when there is none.
// Once open, an X protocol error (a stale window named by a crashed window
// manager, say) is logged to stderr once per kind and the program goes on;
// losing the display ends the program with one line on stderr and status 1.
bool FltkOpenDisplay();
// What to do before the program ends on a lost display: saves what can be
// saved and returns where it went, or "" when there was nothing to save.
void FltkOnDisplayLost(std::function<std::string()> save);
// Puts the handlers back after a toolkit that installs its own (the desktop's
// file chooser).
void FltkInstallXErrorHandlers();

class CFltkDialog : public IDialogWindow {
public:
    CFltkDialog();
    ~CFltkDialog() override;
    CFltkDialog(const CFltkDialog&) = delete;
    CFltkDialog& operator=(const CFltkDialog&) = delete;

    void Create(const DialogTemplate& dialog, IDialogHandler& handler) override;
    int RunModalLoop() override;
    void EndModalLoop(int result) override;

    IControl* GetItem(int id) override;
    IProgressCtrl* GetProgressCtrl(int id) override;
    ITextWidget* GetTextWidget(int id) override;
    void SetItemFont(int id, const FontSpec& font) override;

    void SetText(const std::string& text) override;
    std::string GetText() const override { return m_caption; }
    CRect GetClientArea() const override;
    CRect GetRect() const override;
    void SetFrame(int x, int y, int cx, int cy) override;
    void Show(bool show) override;
    bool IsVisible() const override;
    void SetResizable(bool resizable) override;
    void SetMenu(const MenuTemplate& menu) override;
    void AppendSystemMenuItem(unsigned id, const std::string& caption) override;
    void PaintNow() override;

    // The FLTK window (the owner of message boxes); nullptr before Create.
    Fl_Window* GetFlWindow() const;

private:
    class CWindow;
    struct CItem {
        IControl* control = nullptr;
        Fl_Widget* widget = nullptr;
    };
    // What the window manager's frame adds on each side.
    struct CFrame {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        friend bool operator==(const CFrame&, const CFrame&) = default;
    };
    struct COuterRect {
        int x = 0;
        int y = 0;
        int cx = 0;
        int cy = 0;
    };

    void CreateItem(const DialogItem& item);
    int MenuHeight() const;
    void ApplyOuterRect(const COuterRect& rect);
    void ApplySizeRange();
    CFrame QueryFrame() const;
    // Window events, from CWindow.
    void OnResized();
    void OnShowHide(int event);
    void OnCloseBox();
    void OnButton(Fl_Widget* widget);
    void ShowSystemMenu(bool atPointer);

    static int Dispatch(int event, Fl_Window* window);
    static void WindowCallback(Fl_Widget* widget, void* data);
    static void ButtonCallback(Fl_Widget* widget, void* data);
    static void MenuCallback(Fl_Widget* widget, void* data);

    std::unique_ptr<CWindow> m_window;
    Fl_Group* m_client = nullptr;
    Fl_Menu_Bar* m_menuBar = nullptr;
    IDialogHandler* m_handler = nullptr;
    std::map<int, CItem> m_items;
    std::string m_caption;
    std::vector<std::pair<unsigned, std::string>> m_systemItems;
    bool m_resizable = true;
    bool m_ended = false;
    int m_result = 0;
    int m_clientW = 0;
    int m_clientH = 0;
    bool m_unmapped = false;
    CFrame m_frame;
    // The outer rectangle asked for while the window may not be resized: it
    // is laid out again once the window manager's frame is known.
    std::optional<COuterRect> m_outerRequest;
};
