// The dialog, its boxes and the list of choices as real windows, made from
// the program's resources, driven by posted input.
#include "app/Resources.h"
#include "platform/win32/Wide.h"
#include "platform/win32gui/Win32ChoiceList.h"
#include "platform/win32gui/Win32Control.h"
#include "platform/win32gui/Win32Dialog.h"
#include "platform/win32gui/Win32FileDialog.h"
#include "platform/win32gui/Win32MessageBox.h"
#include "platform/win32gui/Win32ResourceIds.h"
#include "tests/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

namespace {

constexpr Color kTitleText = Rgb(49, 105, 198);
constexpr Color kTitleBack = Rgb(231, 243, 255);

class CRecorder : public IDialogHandler {
public:
    explicit CRecorder(CWin32Dialog& dialog) : m_dialog(dialog) {}

    bool OnInitDialog() override
    {
        m_visibleAtInit = m_dialog.IsVisible();
        return true;
    }
    void OnCommand(int id) override { Record("Command " + std::to_string(id)); }
    void OnSysCommand(unsigned id) override { Record("SysCommand " + std::to_string(id)); }
    void OnClose() override { Record("Close"); }
    void OnCancel() override { Record("Cancel"); }
    void OnSize(int, int cx, int cy) override { m_size = {0, 0, cx, cy}; }
    bool OnCtlColor(int id, Color& text, Color& back) override
    {
        if (id != IDC_TITLE)
            return false;
        text = kTitleText;
        back = kTitleBack;
        return true;
    }

    std::string m_event;
    bool m_visibleAtInit = true;
    CRect m_size;

private:
    void Record(const std::string& event)
    {
        m_event += m_event.empty() ? event : " " + event;
        m_dialog.EndModalLoop(0);
    }
    CWin32Dialog& m_dialog;
};

CWin32Dialog* s_pumped = nullptr;

void CALLBACK EndPump(HWND, UINT, UINT_PTR, DWORD)
{
    s_pumped->EndModalLoop(-1);
}

class Win32DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dialog.Create(SfxDialogTemplate(), m_recorder);
        m_hwnd = m_dialog.Handle();
        ASSERT_NE(m_hwnd, nullptr);
    }

    // Runs the dialog's loop over what is queued: it ends at the first
    // event or, with none, once the queue is empty (a timer's message comes
    // only then). What the event left queued is handled too, so a second
    // event shows. The dialog's loop runs once.
    std::string Pump()
    {
        s_pumped = &m_dialog;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 300, EndPump);
        m_dialog.RunModalLoop();
        ::KillTimer(nullptr, timer);
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&message);
        return m_recorder.m_event;
    }

    CRect DeviceRect(int id) const
    {
        RECT rect{};
        ::GetWindowRect(::GetDlgItem(m_hwnd, id), &rect);
        ::MapWindowPoints(HWND_DESKTOP, m_hwnd, reinterpret_cast<POINT*>(&rect), 2);
        return {rect.left, rect.top, rect.right, rect.bottom};
    }

    LONG FontHeight(int id) const
    {
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendDlgItemMessageW(m_hwnd, id, WM_GETFONT, 0, 0)), sizeof font, &font);
        return font.lfHeight;
    }

    // Tells the dialog of a DPI change with the rectangle the system
    // suggests; returns that rectangle.
    CRect ChangeDpi(unsigned dpi)
    {
        // On the 1024 by 768 screen.
        RECT rect{20, 10, 20 + 900, 10 + 700};
        ::SendMessageW(m_hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&rect));
        return {rect.left, rect.top, rect.right, rect.bottom};
    }

    CWin32Dialog m_dialog;
    CRecorder m_recorder{m_dialog};
    HWND m_hwnd = nullptr;
};

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

TEST_F(Win32DialogTest, ResourceHasTheLogicsControlsInOrder)
{
    struct CLook {
        const wchar_t* windowClass;
        LONG styleMask;
        LONG style;
        LONG exStyle;
    };
    const std::map<DialogItemKind, CLook> looks{
        {DialogItemKind::PushButton, {L"Button", BS_TYPEMASK, BS_DEFPUSHBUTTON, 0}},
        {DialogItemKind::Label, {L"Static", SS_TYPEMASK | SS_NOPREFIX, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0}},
        {DialogItemKind::SunkenLabel, {L"Static", SS_TYPEMASK | SS_NOPREFIX, SS_LEFT | SS_NOPREFIX, WS_EX_STATICEDGE}},
        {DialogItemKind::WhiteRect, {L"Static", SS_TYPEMASK, SS_WHITERECT, 0}},
        {DialogItemKind::EtchedLine, {L"Static", SS_TYPEMASK, SS_ETCHEDHORZ, 0}},
        {DialogItemKind::ReadOnlyEdit, {L"Edit", ES_MULTILINE | ES_READONLY, ES_MULTILINE | ES_READONLY, 0}},
        {DialogItemKind::ProgressBar, {L"msctls_progress32", 0, 0, 0}},
        {DialogItemKind::RichEdit, {L"RICHEDIT50W", ES_MULTILINE | ES_WANTRETURN, ES_MULTILINE | ES_WANTRETURN, 0}},
    };
    HWND child = ::GetWindow(m_hwnd, GW_CHILD);
    for (const DialogItem& item : SfxDialogTemplate().items) {
        SCOPED_TRACE(item.id);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(::GetDlgCtrlID(child), item.id);
        const CLook& look = looks.at(item.kind);
        EXPECT_EQ(::lstrcmpiW(ClassOf(child).c_str(), look.windowClass), 0) << Utf8(ClassOf(child));
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        EXPECT_EQ(style & look.styleMask, look.style);
        EXPECT_EQ(::GetWindowLongW(child, GWL_EXSTYLE) & look.exStyle, look.exStyle);
        EXPECT_EQ((style & WS_VISIBLE) != 0, item.visible);
        if (item.kind != DialogItemKind::RichEdit) {
            EXPECT_EQ(WindowText(child), item.text);
        }
        // The dialog manager maps a control's place and size each.
        RECT units{item.x, item.y, item.width, item.height};
        ::MapDialogRect(m_hwnd, &units);
        const CRect rect = DeviceRect(item.id);
        EXPECT_EQ(rect.left, units.left);
        EXPECT_EQ(rect.top, units.top);
        // An etched line sizes itself to its edge.
        if (item.kind != DialogItemKind::EtchedLine) {
            EXPECT_EQ(rect.Width(), units.right);
            EXPECT_EQ(rect.Height(), units.bottom);
        }
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
}

TEST_F(Win32DialogTest, MenuAndKeysAreTheLogicsMenu)
{
    m_dialog.SetMenu(SfxMenu());
    const HMENU bar = ::GetMenu(m_hwnd);
    ASSERT_NE(bar, nullptr);
    std::set<std::tuple<WORD, WORD, BYTE>> keys;
    ASSERT_EQ(::GetMenuItemCount(bar), static_cast<int>(SfxMenu().size()));
    auto text = [](HMENU menu, int position) {
        wchar_t caption[128] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(position), caption, 128, MF_BYPOSITION);
        return Utf8(caption);
    };
    for (int p = 0; p < ::GetMenuItemCount(bar); ++p) {
        const MenuPopup& popup = SfxMenu()[static_cast<std::size_t>(p)];
        EXPECT_EQ(text(bar, p), popup.caption);
        const HMENU sub = ::GetSubMenu(bar, p);
        ASSERT_EQ(::GetMenuItemCount(sub), static_cast<int>(popup.items.size()));
        for (int i = 0; i < ::GetMenuItemCount(sub); ++i) {
            const MenuItem& item = popup.items[static_cast<std::size_t>(i)];
            EXPECT_EQ(static_cast<int>(::GetMenuItemID(sub, i)), item.id);
            EXPECT_EQ((::GetMenuState(sub, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0, item.id == 0);
            if (item.id == 0)
                continue;
            const char key = static_cast<char>(item.ctrlKey - 'a' + 'A');
            std::string shown = item.caption;
            if (item.ctrlKey) {
                shown += std::string("\tCtrl+") + (item.shift ? "Shift+" : "") + key;
                keys.insert({static_cast<WORD>(item.id), key,
                             static_cast<BYTE>(FVIRTKEY | FCONTROL | (item.shift ? FSHIFT : 0))});
            }
            EXPECT_EQ(text(sub, i), shown);
        }
    }
    const HACCEL table = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU));
    std::vector<ACCEL> accelerators(static_cast<std::size_t>(::CopyAcceleratorTableW(table, nullptr, 0)));
    ::CopyAcceleratorTableW(table, accelerators.data(), static_cast<int>(accelerators.size()));
    std::set<std::tuple<WORD, WORD, BYTE>> loaded;
    for (const ACCEL& accelerator : accelerators)
        loaded.insert({accelerator.cmd, accelerator.key, accelerator.fVirt});
    EXPECT_EQ(loaded, keys);
}

TEST_F(Win32DialogTest, InitialisesHiddenThenShows)
{
    EXPECT_FALSE(m_recorder.m_visibleAtInit);
    EXPECT_TRUE(m_dialog.IsVisible());
}

struct CInputCase {
    const char* name;
    std::function<void(CWin32Dialog&, HWND)> send;
    std::string expected; // "" for no event
};

void PrintTo(const CInputCase& input, std::ostream* out)
{
    *out << input.name;
}

void PostKey(HWND window, WPARAM key, bool ctrl = false)
{
    BYTE state[256] = {};
    if (ctrl)
        state[VK_CONTROL] = 0x80;
    ::SetKeyboardState(state);
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
}

class Win32DialogInputTest : public Win32DialogTest, public ::testing::WithParamInterface<CInputCase> {};

TEST_P(Win32DialogInputTest, ReachesTheHandler)
{
    m_dialog.AppendSystemMenuItem(IDM_ABOUTBOX, "&About..");
    GetParam().send(m_dialog, m_hwnd);
    EXPECT_EQ(Pump(), GetParam().expected);
    PostKey(m_hwnd, 0); // no key held for the next case
}

INSTANTIATE_TEST_SUITE_P(
    Events, Win32DialogInputTest,
    ::testing::Values(
        CInputCase{"Escape", [](CWin32Dialog&, HWND w) { PostKey(w, VK_ESCAPE); }, "Cancel"},
        CInputCase{"CloseBox", [](CWin32Dialog&, HWND w) { ::PostMessageW(w, WM_CLOSE, 0, 0); }, "Close"},
        CInputCase{"SystemClose", [](CWin32Dialog&, HWND w) { ::PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); },
                   "Close"},
        // The system sets the low four bits of its command ids as it likes.
        CInputCase{"AboutItem", [](CWin32Dialog&, HWND w) { ::PostMessageW(w, WM_SYSCOMMAND, IDM_ABOUTBOX | 3, 0); },
                   "SysCommand 16"},
        CInputCase{"EnterOnButton", [](CWin32Dialog&, HWND w) { PostKey(w, VK_RETURN); }, "Command 1"},
        CInputCase{"EnterOnHiddenButton",
                   [](CWin32Dialog& d, HWND w) {
                       d.GetItem(IDC_APPLY)->Show(false);
                       PostKey(w, VK_RETURN);
                   },
                   ""},
        CInputCase{"CtrlKeyWithMenu",
                   [](CWin32Dialog& d, HWND w) {
                       d.SetMenu(SfxMenu());
                       PostKey(w, 'S', true);
                   },
                   "Command 132"},
        CInputCase{"CtrlKeyWithoutMenu", [](CWin32Dialog&, HWND w) { PostKey(w, 'S', true); }, ""}),
    [](const ::testing::TestParamInfo<CInputCase>& info) { return std::string(info.param.name); });

// The colour of each pixel of control id as it paints itself.
std::vector<Color> Paint(HWND dialog, int id)
{
    const HWND control = ::GetDlgItem(dialog, id);
    RECT client{};
    ::GetClientRect(control, &client);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
    std::vector<Color> pixels;
    for (LONG i = 0; i < client.right * client.bottom; ++i) {
        const DWORD bgr = static_cast<const DWORD*>(bits)[i];
        pixels.push_back(Rgb(bgr >> 16 & 0xFF, bgr >> 8 & 0xFF, bgr & 0xFF));
    }
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

TEST_F(Win32DialogTest, PaintsTheHandlersColoursOnly)
{
    m_dialog.SetItemFont(IDC_TITLE, {FontFamily::Swiss, 20, true, true});
    const std::vector<Color> title = Paint(m_hwnd, IDC_TITLE);
    ASSERT_FALSE(title.empty());
    EXPECT_EQ(title.front(), kTitleBack);
    EXPECT_NE(std::count(title.begin(), title.end(), kTitleText), 0);
    // The status line keeps the default colours.
    const std::vector<Color> status = Paint(m_hwnd, IDC_STATUS);
    ASSERT_FALSE(status.empty());
    EXPECT_EQ(status.front(), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(Win32DialogTest, SizesAreLogicPixelsAtEveryDpi)
{
    for (const unsigned dpi : {96u, 192u}) {
        SCOPED_TRACE(dpi);
        if (dpi != 96)
            ChangeDpi(dpi);
        m_dialog.SetFrame(40, 30, 480, 360);
        EXPECT_EQ(m_dialog.GetRect(), (CRect{40, 30, 520, 390}));
        RECT window{};
        ::GetWindowRect(m_hwnd, &window);
        EXPECT_EQ(window.right - window.left, static_cast<LONG>(480 * dpi / 96));
        // What OnSize told is the client area, also in logic pixels.
        const CRect client = m_dialog.GetClientArea();
        EXPECT_EQ(m_recorder.m_size, client);
        EXPECT_GT(client.Width(), 400);
        EXPECT_LT(client.Width(), 480);

        IControl& status = *m_dialog.GetItem(IDC_STATUS);
        status.Move({10, 20, 110, 45});
        EXPECT_EQ(status.GetRect(), (CRect{10, 20, 110, 45}));
        EXPECT_EQ(DeviceRect(IDC_STATUS).Width(), static_cast<int>(100 * dpi / 96));
    }
}

TEST_F(Win32DialogTest, DpiChangeScalesControlsAndFonts)
{
    m_dialog.SetItemFont(IDC_TITLE, {FontFamily::Swiss, 20, true, true});
    const CRect before = DeviceRect(IDC_STATUS);
    const LONG statusFont = FontHeight(IDC_STATUS);
    ASSERT_EQ(FontHeight(IDC_TITLE), 20);

    const CRect suggested = ChangeDpi(192);
    RECT window{};
    ::GetWindowRect(m_hwnd, &window);
    EXPECT_EQ((CRect{window.left, window.top, window.right, window.bottom}), suggested);
    const CRect after = DeviceRect(IDC_STATUS);
    EXPECT_NEAR(after.left, 2 * before.left, 1);
    EXPECT_NEAR(after.bottom, 2 * before.bottom, 1);
    EXPECT_EQ(FontHeight(IDC_TITLE), 40);
    EXPECT_EQ(FontHeight(IDC_STATUS), 2 * statusFont);
    EXPECT_EQ(WindowDpi(m_hwnd), 192u);
}

TEST_F(Win32DialogTest, ProgressBarKeepsLargeRangesAndClamps)
{
    IProgressCtrl& progress = *m_dialog.GetProgressCtrl(IDC_PROGRESS);
    const struct {
        int lower, upper, pos, shown;
    } cases[] = {{0, 100000, 70000, 70000}, {0, 200, 500, 200}, {10, 20, 3, 10}};
    for (const auto& c : cases) {
        progress.SetRange(c.lower, c.upper);
        progress.SetPos(c.pos);
        EXPECT_EQ(progress.GetPos(), c.shown) << c.upper << " " << c.pos;
    }
    progress.SetBarColor(Rgb(52, 109, 172));
    EXPECT_EQ(::SendDlgItemMessageW(m_hwnd, IDC_PROGRESS, PBM_GETBARCOLOR, 0, 0), Rgb(52, 109, 172));
}

// Runs act on the first top-level window with this caption that shows up
// while the calling thread waits in a modal loop; when the window is still
// there a while later, ends it with giveUp, so a test that fails ends.
class CDriver {
public:
    CDriver(const std::wstring& caption, std::function<void(HWND)> act, std::function<void(HWND)> giveUp)
        : m_thread([caption, act, giveUp] {
              const HWND window = WaitFor([&] { return ::FindWindowW(L"#32770", caption.c_str()); });
              if (!window)
                  return;
              std::this_thread::sleep_for(std::chrono::milliseconds(100));
              act(window);
              if (WaitFor([&] { return ::IsWindow(window) ? nullptr : window; }) == nullptr)
                  giveUp(window);
          })
    {
    }
    ~CDriver() { m_thread.join(); }
    CDriver(const CDriver&) = delete;
    CDriver& operator=(const CDriver&) = delete;

private:
    static HWND WaitFor(const std::function<HWND()>& found)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            if (const HWND window = found())
                return window;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return nullptr;
    }

    std::thread m_thread;
};

TEST_F(Win32DialogTest, MessageBoxKeepsStyleAndOwner)
{
    const struct {
        unsigned style;
        int button;
        int answer;
    } cases[] = {
        {kBoxYesNo | kBoxIconQuestion, IDNO, kAnswerNo},
        {kBoxYesNoCancel | kBoxIconWarning, IDCANCEL, kAnswerCancel},
        {kBoxOk | kBoxIconError, IDOK, kAnswerOk},
    };
    CWin32MessageBox box(m_dialog);
    for (const auto& c : cases) {
        HWND owner = nullptr;
        CDriver driver(L"Box", [&](HWND window) {
            owner = ::GetWindow(window, GW_OWNER);
            ::PostMessageW(::GetDlgItem(window, c.button), BM_CLICK, 0, 0);
        }, [](HWND window) { ::PostMessageW(window, WM_COMMAND, IDABORT, 0); });
        EXPECT_EQ(box.Show("A & B", "Box", c.style), c.answer) << c.style;
        EXPECT_EQ(owner, m_hwnd);
    }
}

TEST_F(Win32DialogTest, ChoiceListReturnsThePick)
{
    const struct {
        const char* name;
        std::function<void(HWND list)> act;
        int picked;
    } cases[] = {
        {"DownDownEnter",
         [](HWND list) {
             ::PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
             ::PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
             ::PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
         },
         2},
        {"GoToLineButton", [](HWND list) { ::PostMessageW(::GetDlgItem(::GetParent(list), IDOK), BM_CLICK, 0, 0); },
         0},
        {"DoubleClick",
         [](HWND list) {
             RECT item{};
             ::SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
             const LPARAM at = MAKELPARAM(item.left + 2, item.top + 2);
             ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
             ::PostMessageW(list, WM_LBUTTONUP, 0, at);
             ::PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
             ::PostMessageW(list, WM_LBUTTONUP, 0, at);
         },
         1},
        {"Escape", [](HWND list) { ::PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0); }, -1},
        {"CloseBox", [](HWND list) { ::PostMessageW(::GetParent(list), WM_CLOSE, 0, 0); }, -1},
    };
    CWin32ChoiceList choices(m_dialog);
    for (const auto& c : cases) {
        // Giving up picks an item no case expects, else closes.
        CDriver driver(
            L"Findings", [&](HWND window) { c.act(::GetDlgItem(window, IDC_CHOICE_ITEMS)); },
            [](HWND window) {
                ::SendDlgItemMessageW(window, IDC_CHOICE_ITEMS, LB_SETCURSEL, 3, 0);
                ::PostMessageW(window, WM_COMMAND, IDOK, 0);
                ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            });
        EXPECT_EQ(choices.Choose("Findings", "4 findings", {"Line 1: a", "Line 2: &b", "Line 3: c", "Line 4: d"}), c.picked)
            << c.name;
    }
}

TEST(Win32FileDialogTest, FilterBecomesNulSeparatedPairs)
{
    using namespace std::string_literals;
    const struct {
        const char* filter;
        std::wstring expected;
    } cases[] = {
        {"Ini File (*.ini)|*.ini|All Files (*.*)|*.*|", L"Ini File (*.ini)\0*.ini\0All Files (*.*)\0*.*\0\0"s},
        {"Scripts|*.ini", L"Scripts\0*.ini\0\0"s},
        // A description without its pattern is no pair.
        {"Scripts|*.ini|Odd|", L"Scripts\0*.ini\0\0"s},
        {"", L"\0"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToWin32Filter(c.filter), c.expected) << c.filter;
}

TEST(Win32FileDialogTest, ChosenFilesFolderBecomesCurrent)
{
    CTempDir dir;
    const std::filesystem::path folder = (std::filesystem::path(dir.Path()) / "a & b").make_preferred();
    std::filesystem::create_directory(folder);
    WriteTextFile((folder / "x.ini").string(), "[Setup]\r\n");
    const std::filesystem::path start = std::filesystem::current_path();
    const struct {
        FileDialogOptions::Kind kind;
        std::filesystem::path typed;
        bool pick;
        std::filesystem::path result;
        std::filesystem::path current;
    } cases[] = {
        {FileDialogOptions::Kind::Open, folder / "x.ini", true, folder / "x.ini", folder},
        {FileDialogOptions::Kind::Save, folder / "new.ini", true, folder / "new.ini", folder},
        // Browsing into a folder and cancelling leaves the current folder.
        {FileDialogOptions::Kind::Open, folder, false, {}, dir.Path()},
    };
    CWin32FileDialog dialog;
    for (const auto& c : cases) {
        std::filesystem::current_path(dir.Path());
        CDriver driver(
            L"Pick",
            [&](HWND window) {
                constexpr int kFileName = 0x47c; // the name box, cmb13
                ::SetDlgItemTextW(window, kFileName, c.typed.wstring().c_str());
                ::PostMessageW(window, WM_COMMAND, IDOK, 0);
                if (!c.pick)
                    ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            },
            [](HWND window) { ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0); });
        const std::string chosen = dialog.DoModal({c.kind, "Pick", "Scripts|*.ini|"});
        EXPECT_EQ(std::filesystem::path(Wide(chosen)), c.result) << c.typed;
        EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), c.current)) << c.typed;
    }
    std::filesystem::current_path(start);
}

} // namespace
