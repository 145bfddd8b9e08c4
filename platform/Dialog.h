// The one kind of top-level window the program has: a dialog built from a
// template. The logic describes the template and handles the dialog's
// events (IDialogHandler); the platform builds the window, its controls, its
// menu and its small system menu, and delivers the events (IDialogWindow).
#pragma once

#include "platform/Color.h"
#include "platform/Control.h"
#include "platform/Progress.h"
#include "platform/TextWidget.h"

#include <string>
#include <vector>

// Control kinds of a dialog template.
enum class DialogItemKind {
    PushButton,  // the default button: Enter presses it while it is shown
    Label,       // one line of left-aligned text, centred vertically
    SunkenLabel, // a Label in a thin sunken frame
    WhiteRect,   // a filled white rectangle
    EtchedLine,  // a horizontal etched line
    ReadOnlyEdit, // multi-line text that can be selected, not changed
    ProgressBar,
    RichEdit,    // the script editor's text area
};

struct DialogItem {
    int id = 0;
    DialogItemKind kind = DialogItemKind::Label;
    std::string text;
    // Position and size in dialog units.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool visible = true;
};

struct DialogTemplate {
    std::string caption;
    // Client size in dialog units; the window opens centred on the screen.
    int width = 0;
    int height = 0;
    std::vector<DialogItem> items;
};

// A menu bar: popups of items; an item with id 0 is a separator. '&' marks
// the shortcut letter.
struct MenuItem {
    int id = 0;
    std::string caption;
    // Ctrl with this lower-case letter (and Shift when shift) runs the item
    // from the keyboard; the menu shows the keys. 0 for none.
    char ctrlKey = 0;
    bool shift = false;
};
struct MenuPopup {
    std::string caption;
    std::vector<MenuItem> items;
};
using MenuTemplate = std::vector<MenuPopup>;

enum class FontFamily { Swiss, Modern };

struct FontSpec {
    FontFamily family = FontFamily::Swiss;
    int height = 0; // pixels
    bool bold = false;
    bool italic = false;
};

// Size types of OnSize.
enum : int {
    kSizeRestored = 0,
    kSizeMinimized = 1,
    kSizeMaximized = 2,
};

class IDialogHandler {
public:
    virtual ~IDialogHandler() = default;
    // The window and its controls exist, nothing is shown yet.
    virtual bool OnInitDialog() = 0;
    // A button or a menu item.
    virtual void OnCommand(int id) = 0;
    // An item of the system menu (AppendSystemMenuItem).
    virtual void OnSysCommand(unsigned id) = 0;
    // The window's close box.
    virtual void OnClose() = 0;
    // The cancel command (Escape).
    virtual void OnCancel() = 0;
    // The client area got a new size.
    virtual void OnSize(int type, int cx, int cy) = 0;
    // Asked whenever control id is painted: true to paint it with these
    // colours instead of the default ones.
    virtual bool OnCtlColor(int id, Color& text, Color& back) = 0;
};

class IDialogWindow {
public:
    virtual ~IDialogWindow() = default;

    // Builds the window and the template's controls, hidden, then calls
    // OnInitDialog, then shows the window unless it is already shown.
    virtual void Create(const DialogTemplate& dialog, IDialogHandler& handler) = 0;
    // Delivers events to the handler until EndModalLoop; returns its result.
    virtual int RunModalLoop() = 0;
    virtual void EndModalLoop(int result) = 0;

    // The control of the template with this id; nullptr when there is none.
    virtual IControl* GetItem(int id) = 0;
    virtual IProgressCtrl* GetProgressCtrl(int id) = 0;
    // The text widget of a RichEdit item; nullptr for any other id.
    virtual ITextWidget* GetTextWidget(int id) = 0;
    virtual void SetItemFont(int id, const FontSpec& font) = 0;

    virtual void SetText(const std::string& text) = 0;
    virtual std::string GetText() const = 0;
    // The client area: left and top are 0.
    virtual CRect GetClientArea() const = 0;
    // The whole window, frame and caption included, in screen pixels.
    virtual CRect GetRect() const = 0;
    // Moves the window's outer top-left corner to x, y and gives the whole
    // window the size cx by cy; the client area is what the frame leaves.
    virtual void SetFrame(int x, int y, int cx, int cy) = 0;
    virtual void Show(bool show) = 0;
    virtual bool IsVisible() const = 0;
    // Whether the user may resize and maximise the window (minimising
    // always works).
    virtual void SetResizable(bool resizable) = 0;
    virtual void SetMenu(const MenuTemplate& menu) = 0;
    virtual void AppendSystemMenuItem(unsigned id, const std::string& caption) = 0;
    // Paints what has changed now, without handling any input, so a long
    // operation can show its progress.
    virtual void PaintNow() = 0;
};
