#include "platform/win32gui/Win32Dialog.h"

#include "app/ResourceIds.h"
#include "platform/MessageBox.h"
#include "platform/win32/Wide.h"
#include "platform/win32gui/Win32Control.h"
#include "platform/win32gui/Win32TextWidget.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <utility>

namespace {

class CWin32Progress : public CWin32Control<IProgressCtrl> {
public:
    using CWin32Control::CWin32Control;

    void SetRange(int lower, int upper) override { ::SendMessageW(m_hwnd, PBM_SETRANGE32, lower, upper); }
    void SetPos(int pos) override { ::SendMessageW(m_hwnd, PBM_SETPOS, pos, 0); }
    int GetPos() const override { return static_cast<int>(::SendMessageW(m_hwnd, PBM_GETPOS, 0, 0)); }
    void SetBarColor(Color color) override
    {
        // A themed bar draws in the theme's colour whatever it is told.
        ::SetWindowTheme(m_hwnd, L"", L"");
        ::SendMessageW(m_hwnd, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(color));
    }
};

std::function<std::string()>& SessionEndSaver()
{
    static std::function<std::string()> save;
    return save;
}

HINSTANCE Instance()
{
    return ::GetModuleHandleW(nullptr);
}

// Windows 10 (1703) scales a dialog on a DPI change by itself unless told
// not to; this dialog does it itself, the same way everywhere.
void DisableSystemDpiScaling(HWND dialog)
{
    using Function = BOOL(WINAPI*)(HWND, int, int);
    constexpr int kDisableAll = 1; // DDC_DISABLE_ALL
    static const auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
    if (function)
        function(dialog, kDisableAll, kDisableAll);
}

int Scale(int value, unsigned to, unsigned from)
{
    return ::MulDiv(value, static_cast<int>(to), static_cast<int>(from));
}

} // namespace

void Win32OnSessionEnd(std::function<std::string()> save)
{
    SessionEndSaver() = std::move(save);
}

CWin32Dialog::CWin32Dialog() = default;

CWin32Dialog::~CWin32Dialog()
{
    Destroy();
}

void CWin32Dialog::Destroy()
{
    // The window goes first: nothing may call back into us then.
    m_handler = nullptr;
    if (m_hwnd)
        ::DestroyWindow(m_hwnd); // with it the attached menu
    m_hwnd = nullptr;
    m_items.clear();
    m_textWidget = nullptr;
    for (auto& [id, font] : m_fonts)
        ::DeleteObject(font.handle);
    m_fonts.clear();
    if (m_dialogFont)
        ::DeleteObject(m_dialogFont);
    m_dialogFont = nullptr;
    for (auto& [color, brush] : m_brushes)
        ::DeleteObject(brush);
    m_brushes.clear();
    if (m_accelerators)
        ::DestroyAcceleratorTable(m_accelerators);
    m_accelerators = nullptr;
    m_menu = nullptr;
    for (HICON* icon : {&m_bigIcon, &m_smallIcon}) {
        if (*icon)
            ::DestroyIcon(*icon);
        *icon = nullptr;
    }
}

void CWin32Dialog::Create(const DialogTemplate& dialog, IDialogHandler& handler)
{
    Destroy();
    m_ended = false;
    // The editor's class, RICHEDIT50W, and the progress bar's, once.
    [[maybe_unused]] static const bool registered = [] {
        ::LoadLibraryW(L"Msftedit.dll");
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    m_hwnd = ::CreateDialogParamW(Instance(), MAKEINTRESOURCEW(IDD_SFX_DIALOG), nullptr, DialogProc,
                                  reinterpret_cast<LPARAM>(this));
    if (!m_hwnd)
        return;
    DisableSystemDpiScaling(m_hwnd);
    for (const DialogItem& item : dialog.items) {
        const HWND control = ::GetDlgItem(m_hwnd, item.id);
        if (!control)
            continue;
        CItem created{item.kind, nullptr};
        switch (item.kind) {
        case DialogItemKind::ProgressBar:
            created.control = std::make_unique<CWin32Progress>(control);
            break;
        case DialogItemKind::RichEdit: {
            // The widget asks for change notices and keeps its selection
            // when the dialog manager focuses it.
            auto widget = std::make_unique<CWin32TextWidget>(control);
            m_textWidget = widget.get();
            m_textWidgetId = item.id;
            created.control = std::move(widget);
            break;
        }
        default:
            created.control = std::make_unique<CWin32Control<IControl>>(control);
            break;
        }
        m_items[item.id] = std::move(created);
    }
    SetText(dialog.caption);
    const int big = ::GetSystemMetrics(SM_CXICON);
    const int small = ::GetSystemMetrics(SM_CXSMICON);
    m_bigIcon = static_cast<HICON>(::LoadImageW(Instance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, big, big, 0));
    m_smallIcon =
        static_cast<HICON>(::LoadImageW(Instance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, small, small, 0));
    ::SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    ::SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));

    m_handler = &handler;
    handler.OnInitDialog();
    if (m_hwnd && !m_ended && !::IsWindowVisible(m_hwnd)) {
        ::ShowWindow(m_hwnd, SW_SHOW);
        // The focus goes to the first control that takes it now that the
        // logic has hidden what it does not use.
        if (const HWND first = ::GetNextDlgTabItem(m_hwnd, nullptr, FALSE))
            ::SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
}

int CWin32Dialog::RunModalLoop()
{
    MSG message{};
    while (!m_ended && m_hwnd) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT belongs to whoever runs the outermost loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0)
            break;
        if (m_hwnd && m_menu && m_accelerators && ::TranslateAcceleratorW(m_hwnd, m_accelerators, &message))
            continue;
        if (m_hwnd && ::IsDialogMessageW(m_hwnd, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return m_ended ? m_result : kAnswerCancel;
}

void CWin32Dialog::EndModalLoop(int result)
{
    m_ended = true;
    m_result = result;
    if (m_hwnd) {
        ::ShowWindow(m_hwnd, SW_HIDE);
        // Wakes the loop should it be waiting.
        ::PostMessageW(m_hwnd, WM_NULL, 0, 0);
    }
}

IControl* CWin32Dialog::GetItem(int id)
{
    const auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : it->second.control.get();
}

IProgressCtrl* CWin32Dialog::GetProgressCtrl(int id)
{
    return dynamic_cast<IProgressCtrl*>(GetItem(id));
}

ITextWidget* CWin32Dialog::GetTextWidget(int id)
{
    return dynamic_cast<ITextWidget*>(GetItem(id));
}

void CWin32Dialog::SetItemFont(int id, const FontSpec& font)
{
    if (!GetItem(id))
        return;
    CFont& entry = m_fonts[id];
    entry.spec = font;
    ApplyFont(id, entry);
}

void CWin32Dialog::ApplyFont(int id, CFont& font)
{
    LOGFONTW spec{};
    spec.lfHeight = ToDevice(m_hwnd, font.spec.height);
    spec.lfWeight = font.spec.bold ? FW_BOLD : FW_NORMAL;
    spec.lfItalic = font.spec.italic ? TRUE : FALSE;
    // The text is Unicode: the font maps whatever script it holds.
    spec.lfCharSet = DEFAULT_CHARSET;
    const bool swiss = font.spec.family == FontFamily::Swiss;
    spec.lfPitchAndFamily = DEFAULT_PITCH | (swiss ? FF_SWISS : FF_MODERN);
    ::lstrcpynW(spec.lfFaceName, swiss ? L"Arial" : L"Courier New", LF_FACESIZE);
    const HFONT made = ::CreateFontIndirectW(&spec);
    if (!made)
        return;
    ::SendMessageW(::GetDlgItem(m_hwnd, id), WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    if (font.handle)
        ::DeleteObject(font.handle);
    font.handle = made;
}

void CWin32Dialog::SetText(const std::string& text)
{
    m_caption = text;
    if (m_hwnd)
        ::SetWindowTextW(m_hwnd, Wide(text).c_str());
}

std::string CWin32Dialog::GetText() const
{
    return m_hwnd ? WindowText(m_hwnd) : m_caption;
}

CRect CWin32Dialog::GetClientArea() const
{
    RECT client{};
    if (!m_hwnd || !::GetClientRect(m_hwnd, &client))
        return {};
    return {0, 0, ToLogic(m_hwnd, client.right), ToLogic(m_hwnd, client.bottom)};
}

CRect CWin32Dialog::GetRect() const
{
    RECT window{};
    if (!m_hwnd || !::GetWindowRect(m_hwnd, &window))
        return {};
    return {window.left, window.top, window.left + ToLogic(m_hwnd, window.right - window.left),
            window.top + ToLogic(m_hwnd, window.bottom - window.top)};
}

void CWin32Dialog::SetFrame(int x, int y, int cx, int cy)
{
    if (m_hwnd)
        ::SetWindowPos(m_hwnd, nullptr, x, y, ToDevice(m_hwnd, cx), ToDevice(m_hwnd, cy),
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWin32Dialog::Show(bool show)
{
    if (m_hwnd)
        ::ShowWindow(m_hwnd, show ? SW_SHOW : SW_HIDE);
}

bool CWin32Dialog::IsVisible() const
{
    return m_hwnd && ::IsWindowVisible(m_hwnd);
}

void CWin32Dialog::SetResizable(bool resizable)
{
    if (!m_hwnd)
        return;
    constexpr LONG_PTR kSizing = WS_THICKFRAME | WS_MAXIMIZEBOX;
    const LONG_PTR style = ::GetWindowLongPtrW(m_hwnd, GWL_STYLE);
    ::SetWindowLongPtrW(m_hwnd, GWL_STYLE, resizable ? style | kSizing : style & ~kSizing);
    ::SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWin32Dialog::SetMenu(const MenuTemplate& /*menu*/)
{
    if (!m_hwnd || m_menu)
        return;
    m_menu = ::LoadMenuW(Instance(), MAKEINTRESOURCEW(IDR_MENU));
    m_accelerators = ::LoadAcceleratorsW(Instance(), MAKEINTRESOURCEW(IDR_MENU));
    ::SetMenu(m_hwnd, m_menu);
}

void CWin32Dialog::AppendSystemMenuItem(unsigned id, const std::string& caption)
{
    const HMENU menu = m_hwnd ? ::GetSystemMenu(m_hwnd, FALSE) : nullptr;
    if (!menu)
        return;
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, id, Wide(caption).c_str());
    m_systemItems[id & 0xFFF0] = id;
}

void CWin32Dialog::PaintNow()
{
    if (m_hwnd)
        ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

INT_PTR CALLBACK CWin32Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        // The focus is set once the logic has chosen what shows.
        return FALSE;
    }
    auto* self = reinterpret_cast<CWin32Dialog*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        SetWindowDpi(window, 0);
        if (self)
            self->m_hwnd = nullptr;
        return FALSE;
    }
    return self ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CWin32Dialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommandMessage(wParam, lParam);
        return TRUE;
    case WM_CLOSE:
        // Handled: the dialog manager would make it the cancel command.
        if (m_handler)
            m_handler->OnClose();
        return TRUE;
    case WM_SYSCOMMAND:
        if (const auto item = m_systemItems.find(static_cast<unsigned>(wParam & 0xFFF0));
            m_handler && item != m_systemItems.end())
            m_handler->OnSysCommand(item->second);
        return FALSE; // the system's own commands work as usual
    case WM_SIZE:
        if (m_handler && wParam <= SIZE_MAXIMIZED)
            m_handler->OnSize(static_cast<int>(wParam), ToLogic(m_hwnd, LOWORD(lParam)),
                              ToLogic(m_hwnd, HIWORD(lParam)));
        return FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
        return OnCtlColorMessage(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    case WM_ENDSESSION:
        // The session ends and the process with it: what can be saved is.
        if (wParam && SessionEndSaver())
            SessionEndSaver()();
        return TRUE;
    default:
        return FALSE;
    }
}

void CWin32Dialog::OnCommandMessage(WPARAM wParam, LPARAM lParam)
{
    if (!m_handler)
        return;
    const int id = LOWORD(wParam);
    const unsigned code = HIWORD(wParam);
    const auto control = reinterpret_cast<HWND>(lParam);
    if (control && id == m_textWidgetId && m_textWidget) {
        if (code == EN_CHANGE)
            m_textWidget->OnChangeNotification();
        return;
    }
    if (id == IDCANCEL && code == BN_CLICKED) {
        m_handler->OnCancel();
        return;
    }
    const auto it = m_items.find(id);
    if (it != m_items.end()) {
        // The dialog manager presses the default button on Enter also when
        // it is hidden (not when disabled): only a button the user sees acts.
        if (it->second.kind == DialogItemKind::PushButton && code == BN_CLICKED && it->second.control->IsVisible())
            m_handler->OnCommand(id);
        return;
    }
    // A menu item (0) or an accelerator (1).
    if (!control && code <= 1)
        m_handler->OnCommand(id);
}

INT_PTR CWin32Dialog::OnCtlColorMessage(HDC dc, HWND control)
{
    if (!m_handler)
        return FALSE;
    Color text = ::GetTextColor(dc);
    Color back = ::GetBkColor(dc);
    if (!m_handler->OnCtlColor(::GetDlgCtrlID(control), text, back))
        return FALSE; // the default colours
    ::SetTextColor(dc, text);
    ::SetBkColor(dc, back);
    return reinterpret_cast<INT_PTR>(Brush(back));
}

HBRUSH CWin32Dialog::Brush(Color color)
{
    // The logic paints with a few fixed colours: one brush each, kept.
    HBRUSH& brush = m_brushes[color];
    if (!brush)
        brush = ::CreateSolidBrush(color);
    return brush;
}

void CWin32Dialog::OnDpiChanged(unsigned dpi, const RECT& suggested)
{
    const unsigned old = WindowDpi(m_hwnd);
    if (dpi && dpi != old) {
        // The controls keep their places and sizes in logic pixels.
        for (HWND child = ::GetWindow(m_hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT rect{};
            ::GetWindowRect(child, &rect);
            ::MapWindowPoints(HWND_DESKTOP, m_hwnd, reinterpret_cast<POINT*>(&rect), 2);
            const int left = Scale(rect.left, dpi, old);
            const int top = Scale(rect.top, dpi, old);
            ::MoveWindow(child, left, top, Scale(rect.right, dpi, old) - left, Scale(rect.bottom, dpi, old) - top,
                         FALSE);
        }
        SetWindowDpi(m_hwnd, dpi);
        // The template's font, at the new size, for every control that has
        // no font of its own.
        const auto current = reinterpret_cast<HFONT>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
        LOGFONTW spec{};
        const HFONT from = m_dialogFont ? m_dialogFont : current;
        if (from && ::GetObjectW(from, sizeof spec, &spec) == sizeof spec) {
            spec.lfHeight = Scale(spec.lfHeight, dpi, old);
            if (const HFONT made = ::CreateFontIndirectW(&spec)) {
                for (HWND child = ::GetWindow(m_hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                    if (!m_fonts.count(::GetDlgCtrlID(child)))
                        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);
                }
                if (m_dialogFont)
                    ::DeleteObject(m_dialogFont);
                m_dialogFont = made;
            }
        }
        for (auto& [id, font] : m_fonts)
            ApplyFont(id, font);
    }
    ::SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(m_hwnd, nullptr, TRUE);
}
