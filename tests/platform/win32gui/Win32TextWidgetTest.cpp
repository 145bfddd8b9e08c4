// The RichEdit text widget in a dialog on a virtual display: text in and
// out byte for byte, positions over multi-byte text, formats, change
// notifications, keys, undo and paste.
#include <gtest/gtest.h>

#include "platform/win32gui/Win32TextWidget.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    auto* widget = reinterpret_cast<CWin32TextWidget*>(::GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && widget)
        widget->OnChangeNotification();
    return FALSE;
}

class Win32TextWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(::LoadLibraryW(L"Msftedit.dll"));
        struct alignas(4) {
            DLGTEMPLATE head{WS_POPUP | WS_CAPTION, 0, 0, 0, 0, 300, 200};
            WORD menuClassTitle[3] = {};
        } dialog;
        m_dialog = ::CreateDialogIndirectParamW(nullptr, &dialog.head, nullptr, DialogProc, 0);
        m_button = ::CreateWindowW(L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 50, 20, m_dialog,
                                   nullptr, nullptr, nullptr);
        m_edit = ::CreateWindowW(L"RICHEDIT50W", L"",
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                     ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
                                 0, 30, 400, 150, m_dialog, nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_edit);
        m_font = ::CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FF_MODERN, L"Courier New");
        ::SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
        m_widget = std::make_unique<CWin32TextWidget>(m_edit);
        ::SetWindowLongPtrW(m_dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m_widget.get()));
        m_widget->SetChangeHandler([this] { ++m_changes; });
    }

    void TearDown() override
    {
        ::SetWindowLongPtrW(m_dialog, GWLP_USERDATA, 0);
        m_widget.reset();
        ::DestroyWindow(m_dialog);
        ::DeleteObject(m_font);
    }

    // A key pressed with a modifier (and Shift) held, and the character it
    // types, if any.
    void Key(WPARAM key, int modifier, bool shift = false, WPARAM typed = 0)
    {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[modifier] = 0x80;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
        ::SendMessageW(m_edit, WM_KEYDOWN, key, 1);
        if (typed)
            ::SendMessageW(m_edit, WM_CHAR, typed, 1);
        keys[modifier] = keys[VK_SHIFT] = 0;
        ::SetKeyboardState(keys);
    }

    void CtrlKey(char letter, bool shift = false)
    {
        Key(static_cast<WPARAM>(letter), VK_CONTROL, shift, static_cast<WPARAM>(letter - 'A' + 1));
    }

    void Type(const wchar_t* text)
    {
        for (; *text; ++text)
            ::SendMessageW(m_edit, WM_CHAR, *text, 1);
    }

    HWND m_dialog = nullptr;
    HWND m_button = nullptr;
    HWND m_edit = nullptr;
    HFONT m_font = nullptr;
    std::unique_ptr<CWin32TextWidget> m_widget;
    int m_changes = 0;
};

TEST_F(Win32TextWidgetTest, GivesBackTheBytesItWasGivenWithCrLfBreaks)
{
    const struct {
        std::string in, out;
    } cases[] = {
        {"a\rb\nc\r\n", "a\r\nb\r\nc\r\n"},
        {"\r\r\n", "\r\n\r\n"},
        {"{\\rtf1 x}", "{\\rtf1 x}"},
        {"caf\xE9 \xC3( \xED\xA0\x80 \xF4\x90\x80\x80 \xF0\x9F\x98\x80", ""},
        {std::string("a\0b", 3), ""},
        {std::string(40000, 'x'), ""},
    };
    for (const auto& c : cases) {
        const std::string& out = c.out.empty() ? c.in : c.out;
        m_widget->SetText(c.in);
        EXPECT_EQ(m_widget->GetText(), out);
        EXPECT_EQ(m_widget->GetTextLength(), static_cast<int>(out.size() - std::count(out.begin(), out.end(), '\r')));
    }
    Type(L"y"); // past the control's default limit
    EXPECT_EQ(m_widget->GetTextLength(), 40001);
}

TEST_F(Win32TextWidgetTest, MapsBytePositionsOverMultiByteText)
{
    // 100 two-byte characters first, past the widget's first marks.
    std::string head;
    for (int i = 0; i < 100; ++i)
        head += "\xC3\xA9";
    m_widget->SetText(head + "\xE4\xB8\xAD\xF0\x9F\x98\x80x\r\n\xE9y");
    const int h = static_cast<int>(head.size());
    const struct {
        TextSpan set;
        std::string text;
        TextSpan got;
    } cases[] = {
        {{h + 7, h + 8}, "x", {h + 7, h + 8}},
        {{h + 3, h + 7}, "\xF0\x9F\x98\x80", {h + 3, h + 7}},
        {{h + 10, h + 9}, "\xE9", {h + 10, h + 9}}, // backwards
        {{h + 1, h + 5}, "\xE4\xB8\xAD", {h, h + 3}}, // inside characters
        {{h + 9, 9999}, "\xE9y", {h + 9, h + 11}},
    };
    for (const auto& c : cases) {
        m_widget->SetSel(c.set);
        EXPECT_EQ(m_widget->GetSelText(), c.text) << c.set.cpMin;
        EXPECT_EQ(m_widget->GetSel(), c.got) << c.set.cpMin;
    }
    m_widget->SetSel({h + 11, h + 2}); // the caret on line 0
    const int lines[][2] = {{m_widget->LineFromChar(h + 8), 0}, {m_widget->LineFromChar(h + 9), 1},
                            {m_widget->LineFromChar(h + 11), 1}, {m_widget->LineIndex(1), h + 9},
                            {m_widget->LineIndex(2), -1}, {m_widget->LineIndex(-1), 0},
                            {m_widget->LineLength(-1), h + 8}, {m_widget->LineLength(h + 11), 2}};
    for (const auto& line : lines)
        EXPECT_EQ(line[0], line[1]) << &line - lines;
}

TEST_F(Win32TextWidgetTest, ColoursWithoutChangingTheText)
{
    m_widget->SetText("\xC3\xA9\xE4\xB8\xAD" "ab"); // bytes 0-1, 2-4, 5, 6
    m_widget->SetModify(false);
    const int changes = m_changes;
    const Color text = ::GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_EQ(m_widget->GetDefaultFormat(), (TextFormat{kFormatColor | kFormatBold, 0, text}));
    m_widget->HideSelection(true); // as the colouring does
    const struct {
        TextSpan sel;
        TextFormat format;
    } applied[] = {{{0, 7}, {kFormatColor, 0, 0x00FF00}},
                   {{2, 5}, {kFormatColor | kFormatBold, kEffectBold, 0x0000FF}},
                   {{5, 6}, {kFormatColor, kEffectAutoColor, 0x123456}}};
    for (const auto& a : applied) {
        m_widget->SetSel(a.sel);
        m_widget->SetSelectionFormat(a.format);
    }
    const struct {
        TextSpan sel;
        TextFormat format;
    } read[] = {{{0, 2}, {kFormatColor | kFormatBold, 0, 0x00FF00}},
                {{2, 5}, {kFormatColor | kFormatBold, kEffectBold, 0x0000FF}},
                {{0, 5}, {0, 0, 0x00FF00}},
                {{2, 6}, {0, 0, 0x0000FF}},
                {{5, 6}, {kFormatColor | kFormatBold, kEffectAutoColor, text}},
                {{5, 7}, {kFormatBold, 0, text}}};
    for (const auto& r : read) {
        m_widget->SetSel(r.sel);
        EXPECT_EQ(m_widget->GetSelectionFormat(), r.format) << r.sel.cpMin << "-" << r.sel.cpMax;
    }
    EXPECT_EQ(m_changes, changes);
    EXPECT_FALSE(m_widget->GetModify());
}

TEST_F(Win32TextWidgetTest, NotifiesTextChangesAndUndoesThemOnly)
{
    m_widget->SetText("ab");
    m_widget->SetText("ab"); // the same text notifies too
    Type(L"x");
    m_widget->SetText("ab"); // and starts a new history
    m_widget->SetModify(false);
    m_widget->SetSel({2, 2});
    Type(L"bc"); // where the b goes is known from the caret only
    EXPECT_EQ(m_changes, 6);
    EXPECT_TRUE(m_widget->GetModify());
    m_widget->SetSel({0, 4});
    m_widget->SetSelectionFormat({kFormatColor | kFormatBold, kEffectBold, 0x0000FF});
    m_widget->SetSel({4, 4});
    CtrlKey('I'); // not the tab it types
    for (int i = 0; i < 2; ++i)
        ::SendMessageW(m_edit, WM_KEYDOWN, VK_BACK, 1);
    EXPECT_EQ(m_widget->GetText(), "ab");

    // Each run of typing or deleting is one step.
    const struct {
        char key;
        bool shift;
        const char* text;
        int caret, changes;
    } steps[] = {{'Z', false, "abbc", 4, 9}, {'Z', false, "ab", 2, 10}, {'Z', false, "ab", 2, 10},
                 {'Z', true, "abbc", 4, 11}, {'Y', false, "ab", 2, 12}};
    for (const auto& step : steps) {
        CtrlKey(step.key, step.shift);
        EXPECT_EQ(m_widget->GetText(), step.text) << &step - steps;
        EXPECT_EQ(m_widget->GetSel(), (TextSpan{step.caret, step.caret})) << &step - steps;
        EXPECT_EQ(m_changes, step.changes) << &step - steps;
    }
}

// A colouring pass over a long text: many ranges in order, with the
// selection hidden, each mapped right, and the view stays where it was.
TEST_F(Win32TextWidgetTest, MapsManyRangesWhereTheViewIs)
{
    const std::string e = "\xC3\xA9";
    std::string text(300, '\n');
    for (int i = 0; i < 3000; ++i)
        text += e;
    const int bulk = static_cast<int>(text.size()) + 1;
    for (int i = 0; i < 20000; ++i)
        text += "\n" + e + e + e + e;
    m_widget->SetText(text);
    // Line 300, column 1500, the caret at the left: scrolled there from the
    // right.
    for (const int caret : {6300, 3300}) {
        m_widget->SetSel({caret, caret});
        ::SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
    }
    const LRESULT line = ::SendMessageW(m_edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    POINT scroll{};
    ::SendMessageW(m_edit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    m_widget->HideSelection(true);
    m_widget->SetSel({0, 1}); // the control's selection moves, to the top left
    m_widget->SetSelectionFormat({kFormatBold, kEffectBold, 0});
    for (int pos = bulk; pos < m_widget->GetTextLength(); pos += 9) {
        m_widget->SetSel({pos, pos + 8});
        ASSERT_EQ(m_widget->GetSelText(), e + e + e + e);
    }
    m_widget->SetSel({3300, 3300});
    m_widget->HideSelection(false);
    EXPECT_EQ(m_widget->GetSel(), (TextSpan{3300, 3300}));
    EXPECT_EQ(::SendMessageW(m_edit, EM_GETFIRSTVISIBLELINE, 0, 0), line);
    POINT now{};
    ::SendMessageW(m_edit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&now));
    EXPECT_EQ(now.x, scroll.x);
    EXPECT_GT(line, 0);
    EXPECT_GT(scroll.x, 0);
    m_widget->SetSel({0, 1});
    EXPECT_TRUE(m_widget->GetSelectionFormat().effects & kEffectBold);
}

TEST_F(Win32TextWidgetTest, PastesPlainTextAsOneStep)
{
    ASSERT_TRUE(::OpenClipboard(m_dialog));
    ::EmptyClipboard();
    const auto put = [](UINT format, const void* data, std::size_t size) {
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(::GlobalLock(memory), data, size);
        ::GlobalUnlock(memory);
        ::SetClipboardData(format, memory);
    };
    put(CF_UNICODETEXT, L"p\r\r\nq", sizeof L"p\r\r\nq");
    put(::RegisterClipboardFormatA(CF_RTF), "{\\rtf1 r}", sizeof "{\\rtf1 r}");
    ::CloseClipboard();

    const std::function<void()> pastes[] = {
        [this] { CtrlKey('V'); },
        [this] { ::SendMessageW(m_edit, WM_PASTE, 0, 0); },
        [this] { Key(VK_INSERT, VK_SHIFT, true); }};
    for (const auto& paste : pastes) {
        m_widget->SetText("ab");
        m_widget->SetSel({1, 1});
        m_changes = 0;
        paste();
        EXPECT_EQ(m_widget->GetText(), "ap\r\n\r\nqb") << &paste - pastes;
        EXPECT_EQ(m_widget->GetSel(), (TextSpan{5, 5}));
        EXPECT_EQ(m_changes, 1);
    }
    CtrlKey('Z');
    EXPECT_EQ(m_widget->GetText(), "ab");
    ::SendMessageW(m_edit, EM_SETREADONLY, TRUE, 0);
    CtrlKey('V');
    EXPECT_EQ(m_widget->GetText(), "ab");
}

TEST_F(Win32TextWidgetTest, KeepsTheCaretWhenTheDialogFocusesIt)
{
    m_widget->SetText("abc");
    m_widget->SetSel({1, 1});
    ::SetFocus(m_button);
    ::SendMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_edit), TRUE);
    EXPECT_EQ(::GetFocus(), m_edit);
    EXPECT_EQ(m_widget->GetSel(), (TextSpan{1, 1}));
}

} // namespace
