#include "platform/fltk/FltkDialog.h"

#include "platform/MessageBox.h"
#include "platform/fltk/FltkControls.h"
#include "platform/fltk/FltkTextWidget.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/x.H>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <utility>
#include <cstdint>

namespace {

// The one dialog that receives the cancel key and the system menu.
CFltkDialog* s_active = nullptr;

// The smallest size a user can drag a resizable dialog to.
constexpr int kMinResizableW = 160;
constexpr int kMinResizableH = 120;
constexpr int kMenuBarHeight = 25;

// A window is at least one pixel (X11 refuses an empty one) and, as window
// systems track it, at most as large as the screen.
int ClampSide(int side, int screen)
{
    return std::clamp(side, 1, std::max(1, screen));
}

// The application icon: the heading's colours with a band across the top.
const Fl_RGB_Image& AppIcon()
{
    constexpr int kSide = 32;
    static uchar pixels[kSide * kSide * 3];
    static const Fl_RGB_Image icon = [] {
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                uchar* p = pixels + (y * kSide + x) * 3;
                const bool edge = x == 0 || y == 0 || x == kSide - 1 || y == kSide - 1;
                const bool band = y >= 4 && y < 12;
                const bool bar = y >= 20 && y < 25 && x >= 5 && x < 27;
                const Color color = edge  ? Rgb(49, 105, 198)
                                       : band ? Rgb(49, 105, 198)
                                       : bar  ? Rgb(52, 109, 172)
                                              : Rgb(231, 243, 255);
                p[0] = static_cast<uchar>(RedOf(color));
                p[1] = static_cast<uchar>(GreenOf(color));
                p[2] = static_cast<uchar>(BlueOf(color));
            }
        }
        return Fl_RGB_Image(pixels, kSide, kSide, 3);
    }();
    return icon;
}

// FLTK 1.3 reads its options from /etc/fltk and ~/.fltk on first use and
// writes both files back every time, even unchanged; a program that writes
// only what its script names must keep it from doing so. Marking the options
// as read is the one way, and the flag is private: an explicit instantiation
// may name it, and hands its address out through a friend.
unsigned char* FltkOptionsReadFlag();

template <unsigned char* Flag>
struct COptionsReadFlag {
    friend unsigned char* FltkOptionsReadFlag() { return Flag; }
};
template struct COptionsReadFlag<&Fl::options_read_>;

// FLTK's own defaults, without its preferences files.
void SetDefaultOptions()
{
    *FltkOptionsReadFlag() = 1;
    Fl::option(Fl::OPTION_ARROW_FOCUS, false);
    Fl::option(Fl::OPTION_VISIBLE_FOCUS, true);
    Fl::option(Fl::OPTION_DND_TEXT, true);
    Fl::option(Fl::OPTION_SHOW_TOOLTIPS, true);
    Fl::option(Fl::OPTION_FNFC_USES_GTK, true);
}

std::function<std::string()>& DisplayLostSaver()
{
    static std::function<std::string()> save;
    return save;
}

// Xlib's own handler ends the process on any protocol error, however
// harmless; most come from another client's stale windows.
int OnXError(Display* display, XErrorEvent* error)
{
    static std::set<std::pair<int, int>> seen;
    if (seen.insert({error->error_code, error->request_code}).second) {
        char text[256] = {};
        XGetErrorText(display, error->error_code, text, sizeof text);
        std::fprintf(stderr, "sfxpack: X error ignored: %s (request %d, resource 0x%lx)\n", text,
                     error->request_code, error->resourceid);
    }
    return 0;
}

// Xlib ends the process when this returns, so it ends it itself, after the
// unsaved work is saved.
int OnXIOError(Display*)
{
    const std::string saved = DisplayLostSaver() ? DisplayLostSaver()() : std::string();
    if (saved.empty())
        std::fprintf(stderr, "sfxpack: lost the connection to the X display\n");
    else
        std::fprintf(stderr, "sfxpack: lost the connection to the X display; the unsaved script is in %s\n",
                     saved.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

void FltkInstallXErrorHandlers()
{
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXIOError);
}

void FltkOnDisplayLost(std::function<std::string()> save)
{
    DisplayLostSaver() = std::move(save);
}

bool FltkOpenDisplay()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    SetDefaultOptions();
    // The class the desktop matches to sfxpack.desktop (StartupWMClass), for
    // every window the program opens, message boxes too.
    Fl_Window::default_xclass("sfxpack");
    fl_open_display(display);
    FltkInstallXErrorHandlers();
    return true;
}

class CFltkDialog::CWindow : public Fl_Double_Window {
public:
    CWindow(CFltkDialog& owner, int w, int h) : Fl_Double_Window(w, h), m_owner(owner) {}

    void resize(int x, int y, int w, int h) override
    {
        Fl_Double_Window::resize(x, y, w, h);
        m_owner.OnResized();
    }

    int handle(int event) override
    {
        const int handled = Fl_Double_Window::handle(event);
        if (event == FL_SHOW || event == FL_HIDE)
            m_owner.OnShowHide(event);
        return handled;
    }

private:
    CFltkDialog& m_owner;
};

CFltkDialog::CFltkDialog() = default;

CFltkDialog::~CFltkDialog()
{
    if (s_active == this) {
        s_active = nullptr;
        Fl::event_dispatch(nullptr);
    }
    // The window deletes its widgets; nothing may call back into us then.
    m_handler = nullptr;
    m_window.reset();
}

void CFltkDialog::Create(const DialogTemplate& dialog, IDialogHandler& handler)
{
    m_handler = &handler;
    m_clientW = DluToPixels(dialog.width);
    m_clientH = DluToPixels(dialog.height);
    m_window = std::make_unique<CWindow>(*this, m_clientW, m_clientH);
    m_window->begin();
    m_client = new Fl_Group(0, 0, m_clientW, m_clientH);
    // The logic places the controls itself; FLTK must not scale them.
    m_client->resizable(nullptr);
    for (const DialogItem& item : dialog.items)
        CreateItem(item);
    m_client->end();
    m_window->end();
    m_window->resizable(nullptr);
    m_window->callback(WindowCallback, this);
    m_window->icon(&AppIcon());
    SetText(dialog.caption);

    int sx = 0;
    int sy = 0;
    int sw = 0;
    int sh = 0;
    Fl::screen_work_area(sx, sy, sw, sh);
    m_window->position(sx + std::max(0, (sw - m_clientW) / 2), sy + std::max(0, (sh - m_clientH) / 2));
    ApplySizeRange();

    s_active = this;
    Fl::event_dispatch(Dispatch);

    handler.OnInitDialog();
    if (!m_ended && !m_window->shown())
        m_window->show();
}

void CFltkDialog::CreateItem(const DialogItem& item)
{
    const int x = DluToPixels(item.x);
    const int y = DluToPixels(item.y);
    const int w = DluToPixels(item.width);
    const int h = DluToPixels(item.height);
    CItem created;
    switch (item.kind) {
    case DialogItemKind::PushButton: {
        auto* button = new CFltkButton(x, y, w, h);
        button->callback(ButtonCallback, this);
        created = {button, button};
        break;
    }
    case DialogItemKind::Label:
    case DialogItemKind::SunkenLabel:
    case DialogItemKind::WhiteRect:
    case DialogItemKind::EtchedLine: {
        auto* label = new CFltkLabel(x, y, w, h, item.kind, item.id, *m_handler);
        created = {label, label};
        break;
    }
    case DialogItemKind::ReadOnlyEdit: {
        auto* edit = new CFltkReadOnlyEdit(x, y, w, h);
        created = {edit, edit};
        break;
    }
    case DialogItemKind::ProgressBar: {
        auto* progress = new CFltkProgress(x, y, w, h);
        created = {progress, progress};
        break;
    }
    case DialogItemKind::RichEdit: {
        auto* editor = new CFltkTextWidget(x, y, w, h);
        created = {editor, editor};
        break;
    }
    }
    created.control->SetText(item.text);
    if (!item.visible)
        created.widget->hide();
    m_items[item.id] = created;
}

int CFltkDialog::RunModalLoop()
{
    while (!m_ended && m_window && m_window->shown())
        Fl::wait();
    return m_ended ? m_result : kAnswerCancel;
}

void CFltkDialog::EndModalLoop(int result)
{
    m_ended = true;
    m_result = result;
    if (m_window)
        m_window->hide();
}

IControl* CFltkDialog::GetItem(int id)
{
    const auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : it->second.control;
}

IProgressCtrl* CFltkDialog::GetProgressCtrl(int id)
{
    return dynamic_cast<IProgressCtrl*>(GetItem(id));
}

ITextWidget* CFltkDialog::GetTextWidget(int id)
{
    return dynamic_cast<ITextWidget*>(GetItem(id));
}

void CFltkDialog::SetItemFont(int id, const FontSpec& font)
{
    const auto it = m_items.find(id);
    if (it == m_items.end())
        return;
    Fl_Widget* widget = it->second.widget;
    if (auto* label = dynamic_cast<CFltkLabel*>(widget)) {
        label->SetFont(font);
    } else if (auto* text = dynamic_cast<CFltkTextWidget*>(widget)) {
        // Through the widget: its colour runs have a style table per font.
        text->SetTextFont(ToFlFont(font), font.height);
    } else {
        widget->labelfont(ToFlFont(font));
        widget->labelsize(font.height);
    }
    widget->redraw();
}

void CFltkDialog::SetText(const std::string& text)
{
    m_caption = text;
    if (m_window)
        m_window->copy_label(text.c_str());
}

CRect CFltkDialog::GetClientArea() const
{
    return {0, 0, m_clientW, m_clientH};
}

CRect CFltkDialog::GetRect() const
{
    if (!m_window)
        return {};
    return {m_window->x() - m_frame.left, m_window->y() - m_frame.top,
            m_window->x() + m_window->w() + m_frame.right, m_window->y() + m_window->h() + m_frame.bottom};
}

void CFltkDialog::SetFrame(int x, int y, int cx, int cy)
{
    const COuterRect rect{x, y, cx, cy};
    if (m_resizable)
        m_outerRequest.reset();
    else
        m_outerRequest = rect;
    ApplyOuterRect(rect);
}

void CFltkDialog::ApplyOuterRect(const COuterRect& rect)
{
    if (!m_window)
        return;
    const int w = ClampSide(rect.cx - m_frame.left - m_frame.right, Fl::w());
    const int h = ClampSide(rect.cy - m_frame.top - m_frame.bottom, Fl::h());
    m_window->resize(rect.x + m_frame.left, rect.y + m_frame.top, w, h);
}

void CFltkDialog::Show(bool show)
{
    if (!m_window)
        return;
    if (show)
        m_window->show();
    else
        m_window->hide();
}

bool CFltkDialog::IsVisible() const
{
    return m_window && m_window->shown() && m_window->visible();
}

void CFltkDialog::SetResizable(bool resizable)
{
    m_resizable = resizable;
    if (resizable)
        m_outerRequest.reset();
    ApplySizeRange();
}

void CFltkDialog::ApplySizeRange()
{
    if (!m_window)
        return;
    // The window manager offers resizing and maximising only to a window
    // whose size may change.
    if (m_resizable)
        m_window->size_range(kMinResizableW, kMinResizableH);
    else
        m_window->size_range(m_window->w(), m_window->h(), m_window->w(), m_window->h());
}

int CFltkDialog::MenuHeight() const
{
    return m_menuBar ? m_menuBar->h() : 0;
}

void CFltkDialog::SetMenu(const MenuTemplate& menu)
{
    if (!m_window)
        return;
    if (!m_menuBar) {
        m_window->begin();
        m_menuBar = new Fl_Menu_Bar(0, 0, m_window->w(), kMenuBarHeight);
        m_window->end();
        m_menuBar->textsize(kControlFontSize);
        m_menuBar->user_data(this);
    }
    m_menuBar->clear();
    for (const MenuPopup& popup : menu) {
        for (std::size_t i = 0; i < popup.items.size(); ++i) {
            const MenuItem& item = popup.items[i];
            if (item.id == 0)
                continue;
            const bool dividerFollows = i + 1 < popup.items.size() && popup.items[i + 1].id == 0;
            std::string path = popup.caption + "/";
            for (char c : item.caption) {
                if (c == '/' || c == '\\')
                    path += '\\';
                path += c;
            }
            const int shortcut = item.ctrlKey ? FL_CTRL | (item.shift ? FL_SHIFT : 0) | item.ctrlKey : 0;
            m_menuBar->add(path.c_str(), shortcut, MenuCallback,
                           reinterpret_cast<void*>(static_cast<std::intptr_t>(item.id)),
                           dividerFollows ? FL_MENU_DIVIDER : 0);
        }
    }
    // As on other systems, the menu takes its room from the client area.
    OnResized();
}

void CFltkDialog::AppendSystemMenuItem(unsigned id, const std::string& caption)
{
    m_systemItems.emplace_back(id, caption);
}

void CFltkDialog::PaintNow()
{
    Fl::flush();
}

Fl_Window* CFltkDialog::GetFlWindow() const
{
    return m_window.get();
}

CFltkDialog::CFrame CFltkDialog::QueryFrame() const
{
    CFrame frame;
    if (!m_window || !m_window->shown())
        return frame;
    const Window client = fl_xid(m_window.get());
    Window outer = client;
    for (;;) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(fl_display, outer, &root, &parent, &children, &count))
            return frame;
        if (children)
            XFree(children);
        if (parent == 0 || parent == root)
            break;
        outer = parent;
    }
    if (outer == client)
        return frame;
    XWindowAttributes attributes;
    int dx = 0;
    int dy = 0;
    Window child = 0;
    if (!XGetWindowAttributes(fl_display, outer, &attributes) ||
        !XTranslateCoordinates(fl_display, client, outer, 0, 0, &dx, &dy, &child))
        return frame;
    frame.left = std::max(0, dx);
    frame.top = std::max(0, dy);
    frame.right = std::max(0, attributes.width - dx - m_window->w());
    frame.bottom = std::max(0, attributes.height - dy - m_window->h());
    return frame;
}

void CFltkDialog::OnResized()
{
    if (!m_window || !m_client)
        return;
    ApplySizeRange();
    const int menuH = MenuHeight();
    if (m_menuBar)
        m_menuBar->resize(0, 0, m_window->w(), menuH);
    const int w = m_window->w();
    const int h = std::max(0, m_window->h() - menuH);
    if (m_client->y() != menuH || m_client->w() != w || m_client->h() != h) {
        // Moving the group moves its controls with it; their size stays.
        m_client->resize(0, menuH, w, h);
        m_window->redraw();
    }
    const CFrame frame = QueryFrame();
    if (!(frame == m_frame)) {
        m_frame = frame;
        if (m_outerRequest) {
            ApplyOuterRect(*m_outerRequest);
            return;
        }
    }
    if (w != m_clientW || h != m_clientH) {
        m_clientW = w;
        m_clientH = h;
        if (m_handler)
            m_handler->OnSize(kSizeRestored, w, h);
    }
}

void CFltkDialog::OnShowHide(int event)
{
    if (event == FL_HIDE) {
        m_unmapped = true;
        return;
    }
    OnResized();
    // Restored after being minimised (or hidden): the client area is laid out
    // again, as a window system reports the restored size.
    if (m_unmapped && m_handler) {
        m_unmapped = false;
        m_handler->OnSize(kSizeRestored, m_clientW, m_clientH);
    }
}

void CFltkDialog::OnCloseBox()
{
    if (!m_handler)
        return;
    // FLTK calls the window's callback for an Escape nobody took as well.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape)
        m_handler->OnCancel();
    else
        m_handler->OnClose();
}

void CFltkDialog::OnButton(Fl_Widget* widget)
{
    if (!m_handler)
        return;
    for (const auto& [id, item] : m_items) {
        if (item.widget == widget) {
            m_handler->OnCommand(id);
            return;
        }
    }
}

void CFltkDialog::ShowSystemMenu(bool atPointer)
{
    if (m_systemItems.empty() || !m_handler)
        return;
    std::vector<Fl_Menu_Item> items(m_systemItems.size() + 1, Fl_Menu_Item{});
    for (std::size_t i = 0; i < m_systemItems.size(); ++i) {
        items[i].label(m_systemItems[i].second.c_str());
        items[i].labelsize(kControlFontSize);
        items[i].user_data(reinterpret_cast<void*>(static_cast<std::uintptr_t>(m_systemItems[i].first)));
    }
    const Fl_Menu_Item* picked =
        atPointer ? items.front().popup(Fl::event_x(), Fl::event_y()) : items.front().popup(0, 0);
    if (picked && m_handler)
        m_handler->OnSysCommand(static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(picked->user_data())));
}

int CFltkDialog::Dispatch(int event, Fl_Window* window)
{
    CFltkDialog* self = s_active;
    if (self && self->m_handler && window && window == self->m_window.get() && !Fl::modal() && !Fl::grab()) {
        if (event == FL_KEYBOARD || event == FL_SHORTCUT) {
            if (Fl::event_key() == FL_Escape) {
                self->m_handler->OnCancel();
                return 1;
            }
            if (Fl::event_key() == ' ' && Fl::event_state(FL_ALT)) {
                self->ShowSystemMenu(false);
                return 1;
            }
        }
        if (event == FL_PUSH && Fl::event_button() == FL_RIGHT_MOUSE) {
            self->ShowSystemMenu(true);
            return 1;
        }
    }
    return Fl::handle_(event, window);
}

void CFltkDialog::WindowCallback(Fl_Widget*, void* data)
{
    static_cast<CFltkDialog*>(data)->OnCloseBox();
}

void CFltkDialog::ButtonCallback(Fl_Widget* widget, void* data)
{
    static_cast<CFltkDialog*>(data)->OnButton(widget);
}

void CFltkDialog::MenuCallback(Fl_Widget* widget, void* data)
{
    auto* self = static_cast<CFltkDialog*>(widget->user_data());
    if (self && self->m_handler)
        self->m_handler->OnCommand(static_cast<int>(reinterpret_cast<std::intptr_t>(data)));
}
