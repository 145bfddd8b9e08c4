#include "platform/win32gui/Win32TextWidget.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>

namespace {

constexpr UINT_PTR kSubclassId = 1;
// Positions are ints of UTF-8 bytes, and a unit takes at most three.
constexpr int kMaxUnits = INT_MAX / 3;
// Units between two marks: the walk from a mark to a position stays short.
constexpr int kMarkEvery = 64;
constexpr UINT kUtf16CodePage = 1200;

bool IsHigh(wchar_t c)
{
    return c >= 0xD800 && c < 0xDC00;
}

bool IsLow(wchar_t c)
{
    return c >= 0xDC00 && c < 0xE000;
}

// A lone surrogate that stands for a byte that was not UTF-8.
bool IsEscapedByte(wchar_t c)
{
    return c >= 0xDC80 && c <= 0xDCFF;
}

// Units of the character at i: two for a surrogate pair.
int UnitsAt(const std::wstring& text, std::size_t i)
{
    return IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1]) ? 2 : 1;
}

// The UTF-8 bytes of the character at i, written to out unless it is null:
// a CR is the LF of the widget's text, an escaped byte is that byte, and any
// other lone surrogate (pasted from elsewhere) is U+FFFD.
int Utf8At(const std::wstring& text, std::size_t i, char* out)
{
    char32_t c = text[i];
    int length = 3;
    if (c == U'\r') {
        c = U'\n';
        length = 1;
    } else if (c < 0x80) {
        length = 1;
    } else if (c < 0x800) {
        length = 2;
    } else if (UnitsAt(text, i) == 2) {
        c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        length = 4;
    } else if (IsEscapedByte(text[i])) {
        if (out)
            out[0] = static_cast<char>(c - 0xDC00);
        return 1;
    } else if (IsHigh(text[i]) || IsLow(text[i])) {
        c = 0xFFFD;
    }
    if (!out)
        return length;
    static constexpr unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (int k = length - 1; k > 0; --k) {
        out[k] = static_cast<char>(0x80 | (c & 0x3F));
        c >>= 6;
    }
    out[0] = static_cast<char>(kLead[length] | c);
    return length;
}

// Length of the well-formed UTF-8 sequence at s, 0 when there is none: no
// overlong forms, no surrogates, nothing above U+10FFFF.
int SequenceLength(const unsigned char* s, std::size_t available)
{
    unsigned low = 0x80;
    unsigned high = 0xBF;
    std::size_t length = 0;
    if (s[0] >= 0xC2 && s[0] <= 0xDF) {
        length = 2;
    } else if (s[0] >= 0xE0 && s[0] <= 0xEF) {
        length = 3;
        low = s[0] == 0xE0 ? 0xA0 : low;
        high = s[0] == 0xED ? 0x9F : high;
    } else if (s[0] >= 0xF0 && s[0] <= 0xF4) {
        length = 4;
        low = s[0] == 0xF0 ? 0x90 : low;
        high = s[0] == 0xF4 ? 0x8F : high;
    }
    if (length == 0 || available < length || s[1] < low || s[1] > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((s[k] & 0xC0) != 0x80)
            return 0;
    }
    return static_cast<int>(length);
}

// UTF-8 as the control holds it: each line break one CR, and each byte that
// is not part of a UTF-8 character escaped.
std::wstring ControlText(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned c = bytes[i];
        if (c == '\r' || c == '\n') {
            out += L'\r';
            i += c == '\r' && i + 1 < size && bytes[i + 1] == '\n' ? 2 : 1;
            continue;
        }
        const int length = c < 0x80 ? 1 : SequenceLength(bytes + i, size - i);
        if (length == 0) {
            out += static_cast<wchar_t>(0xDC00 + c);
            ++i;
            continue;
        }
        char32_t code = length == 1 ? c : c & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            code = code << 6 | (bytes[i + static_cast<std::size_t>(k)] & 0x3F);
        if (code >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(code);
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::wstring WithCrBreaks(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n')
            out += L'\r';
        else if (text[i] != L'\r' || i + 1 >= text.size() || text[i + 1] != L'\n')
            out += text[i];
    }
    return out;
}

struct StreamSource {
    const wchar_t* next;
    std::size_t left;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read)
{
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const std::size_t units = std::min(source->left, static_cast<std::size_t>(size) / sizeof(wchar_t));
    std::memcpy(buffer, source->next, units * sizeof(wchar_t));
    source->next += units;
    source->left -= units;
    *read = static_cast<LONG>(units * sizeof(wchar_t));
    return 0;
}

// The colour the first character of a format shows. The effect bits of a
// format read from mixed text need not be the first character's.
Color ShownColor(const CHARFORMAT2W& format)
{
    const bool automatic = (format.dwMask & CFM_COLOR) && (format.dwEffects & CFE_AUTOCOLOR);
    return automatic ? ::GetSysColor(COLOR_WINDOWTEXT) : format.crTextColor;
}

} // namespace

CWin32TextWidget::CWin32TextWidget(HWND edit) : CWin32Control(edit)
{
    m_subclassed = ::SetWindowSubclass(m_hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    Send(EM_SETUNDOLIMIT, 0, 0);
    Send(EM_EXLIMITTEXT, 0, kMaxUnits); // 32767 units by default
    Send(EM_SETEVENTMASK, 0, Send(EM_GETEVENTMASK, 0, 0) | ENM_CHANGE);
    Rebuild(ReadControlText());
    CHARRANGE range{};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    m_setSel = {range.cpMin, range.cpMax};
}

CWin32TextWidget::~CWin32TextWidget()
{
    if (m_subclassed)
        ::RemoveWindowSubclass(m_hwnd, SubclassProc, kSubclassId);
}

LRESULT CALLBACK CWin32TextWidget::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR data)
{
    try {
        return reinterpret_cast<CWin32TextWidget*>(data)->OnMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the window manager.
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
}

namespace {

bool IsDown(int key)
{
    return ::GetKeyState(key) < 0;
}

// Ctrl without Alt: AltGr is both, and its keys type characters.
bool IsCtrlOnly()
{
    return IsDown(VK_CONTROL) && !IsDown(VK_MENU);
}

} // namespace

LRESULT CWin32TextWidget::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        // The dialog manager would select all text on focus, and the first
        // key typed would replace the whole script.
        return ::DefSubclassProc(m_hwnd, message, wParam, lParam) & ~DLGC_HASSETSEL;
    case WM_PASTE:
        Paste();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_INSERT && IsDown(VK_SHIFT) && !IsDown(VK_CONTROL)) {
            Paste();
            return 0;
        }
        if (wParam >= 'A' && wParam <= 'Z' && IsCtrlOnly()) {
            switch (wParam) {
            case 'Z':
                IsDown(VK_SHIFT) ? Redo() : Undo();
                return 0;
            case 'Y':
                Redo();
                return 0;
            case 'V':
                Paste();
                return 0;
            case 'A':
            case 'C':
            case 'X':
                break;
            default:
                return 0; // the control's format keys would change the look
            }
        }
        break;
    case WM_CHAR:
        // The control characters of Ctrl+letter (Ctrl+I a tab, Ctrl+H a
        // backspace) belong to the window's shortcuts too.
        if (wParam < 0x20 && IsCtrlOnly())
            return 0;
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(m_hwnd, SubclassProc, kSubclassId);
        m_subclassed = false;
        break;
    default:
        break;
    }
    return ::DefSubclassProc(m_hwnd, message, wParam, lParam);
}

LRESULT CWin32TextWidget::Send(UINT message, WPARAM wParam, LPARAM lParam) const
{
    ++m_quiet;
    const LRESULT result = ::SendMessageW(m_hwnd, message, wParam, lParam);
    --m_quiet;
    return result;
}

std::wstring CWin32TextWidget::ReadControlText() const
{
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, kUtf16CodePage};
    const LRESULT count = Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    if (count <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(count) + 1, L'\0');
    GETTEXTEX get{};
    get.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    get.flags = GT_DEFAULT;
    get.codepage = kUtf16CodePage;
    const LRESULT copied = Send(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, count)));
    return text;
}

// A stream of plain text: never read as RTF, NUL characters included.
void CWin32TextWidget::StreamIn(const std::wstring& text, bool selectionOnly)
{
    StreamSource source{text.data(), text.size()};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, ReadStream};
    Send(EM_STREAMIN, SF_TEXT | SF_UNICODE | (selectionOnly ? SFF_SELECTION : 0), reinterpret_cast<LPARAM>(&stream));
}

void CWin32TextWidget::Rebuild(std::wstring text)
{
    m_units = std::move(text);
    m_text.clear();
    m_text.reserve(m_units.size());
    m_marks.assign(1, Mark{0, 0});
    m_lineStarts.assign(1, 0);
    int sinceMark = 0;
    char bytes[4];
    for (std::size_t i = 0; i < m_units.size();) {
        if (sinceMark >= kMarkEvery) {
            m_marks.push_back({static_cast<int>(i), static_cast<int>(m_text.size())});
            sinceMark = 0;
        }
        m_text.append(bytes, static_cast<std::size_t>(Utf8At(m_units, i, bytes)));
        if (m_text.back() == '\n')
            m_lineStarts.push_back(static_cast<int>(m_text.size()));
        const int units = UnitsAt(m_units, i);
        i += static_cast<std::size_t>(units);
        sinceMark += units;
    }
}

// A byte inside a character maps to the character's start.
int CWin32TextWidget::UnitFromByte(int byte) const
{
    byte = std::clamp(byte, 0, static_cast<int>(m_text.size()));
    const auto mark = std::upper_bound(m_marks.begin(), m_marks.end(), byte,
                                       [](int value, const Mark& m) { return value < m.byte; }) -
                      1;
    std::size_t unit = static_cast<std::size_t>(mark->unit);
    for (int at = mark->byte; unit < m_units.size();) {
        at += Utf8At(m_units, unit, nullptr);
        if (at > byte)
            break;
        unit += static_cast<std::size_t>(UnitsAt(m_units, unit));
    }
    return static_cast<int>(unit);
}

// A unit inside a surrogate pair maps to the pair's first byte.
int CWin32TextWidget::ByteFromUnit(int unit) const
{
    unit = std::clamp(unit, 0, static_cast<int>(m_units.size()));
    const auto mark = std::upper_bound(m_marks.begin(), m_marks.end(), unit,
                                       [](int value, const Mark& m) { return value < m.unit; }) -
                      1;
    int byte = mark->byte;
    for (std::size_t at = static_cast<std::size_t>(mark->unit); at < m_units.size();) {
        const std::size_t next = at + static_cast<std::size_t>(UnitsAt(m_units, at));
        if (next > static_cast<std::size_t>(unit))
            break;
        byte += Utf8At(m_units, at, nullptr);
        at = next;
    }
    return byte;
}

// The control reports every selection forwards: one the widget made
// backwards is still the one it made.
TextSpan CWin32TextWidget::UnitSel() const
{
    if (m_selHidden)
        return m_setSel;
    CHARRANGE range{};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const bool same = std::min(m_setSel.cpMin, m_setSel.cpMax) == range.cpMin &&
                      std::max(m_setSel.cpMin, m_setSel.cpMax) == range.cpMax;
    return same ? m_setSel : TextSpan{range.cpMin, range.cpMax};
}

void CWin32TextWidget::SelectUnits(TextSpan units)
{
    m_setSel = units;
    m_selPending = false;
    CHARRANGE range{units.cpMin, units.cpMax};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void CWin32TextWidget::PushSel() const
{
    if (!m_selPending)
        return;
    m_selPending = false;
    CHARRANGE range{m_setSel.cpMin, m_setSel.cpMax};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void CWin32TextWidget::OnChangeNotification()
{
    if (m_quiet == 0)
        TakeChange();
}

// Learns what changed from the text before and after: the common start and
// end, the end no further than the caret, which stands behind what was typed
// or pasted, so the step is where the user made it.
void CWin32TextWidget::TakeChange()
{
    std::wstring now = ReadControlText();
    if (now == m_units)
        return; // a change of format or selection only
    const std::size_t before = m_units.size();
    const std::size_t after = now.size();
    const std::size_t caret = static_cast<std::size_t>(std::clamp(UnitSel().cpMax, 0, static_cast<int>(after)));
    std::size_t suffix = 0;
    const std::size_t maxSuffix = std::min({before, after, after - caret});
    while (suffix < maxSuffix && m_units[before - 1 - suffix] == now[after - 1 - suffix])
        ++suffix;
    if (suffix > 0 && IsLow(now[after - suffix]))
        --suffix; // the surrogate pair stays whole
    std::size_t prefix = 0;
    const std::size_t maxPrefix = std::min(before, after) - suffix;
    while (prefix < maxPrefix && m_units[prefix] == now[prefix])
        ++prefix;
    if (prefix > 0 && IsHigh(now[prefix - 1]))
        --prefix;
    m_history.Record({static_cast<int>(prefix), m_units.substr(prefix, before - suffix - prefix),
                      now.substr(prefix, after - suffix - prefix)});
    Rebuild(std::move(now));
    m_modified = true;
    Notify();
}

bool CWin32TextWidget::Undo()
{
    return m_history.Undo([this](int pos, int length, const auto& text) { ApplyStep(pos, length, text); });
}

bool CWin32TextWidget::Redo()
{
    return m_history.Redo([this](int pos, int length, const auto& text) { ApplyStep(pos, length, text); });
}

// The caret goes behind the restored text before the change handler runs,
// as it would after typing it.
void CWin32TextWidget::ApplyStep(int pos, int length, const std::wstring& text)
{
    SelectUnits({pos, pos + length});
    StreamIn(text, true);
    const int caret = pos + static_cast<int>(text.size());
    SelectUnits({caret, caret});
    Send(EM_SCROLLCARET, 0, 0);
    Rebuild(ReadControlText());
    m_modified = true;
    Notify();
}

// Only the plain text of the clipboard: its RTF would bring fonts and
// colours of its own.
void CWin32TextWidget::Paste()
{
    if ((::GetWindowLongW(m_hwnd, GWL_STYLE) & ES_READONLY) || !::IsClipboardFormatAvailable(CF_UNICODETEXT) ||
        !::OpenClipboard(m_hwnd))
        return;
    std::wstring text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* locked = static_cast<const wchar_t*>(::GlobalLock(data))) {
            // Another program wrote it: it need not end in a NUL.
            text.assign(locked, ::wcsnlen(locked, ::GlobalSize(data) / sizeof(wchar_t)));
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    StreamIn(WithCrBreaks(text), true);
    Send(EM_SCROLLCARET, 0, 0);
    TakeChange();
}

void CWin32TextWidget::Notify()
{
    if (m_onChange)
        m_onChange();
}

// IControl

void CWin32TextWidget::SetText(const std::string& text)
{
    StreamIn(ControlText(text), false);
    SelectUnits({0, 0});
    Rebuild(ReadControlText());
    m_history.Clear();
    // Once, also when the text stays the same.
    Notify();
}

std::string CWin32TextWidget::GetText() const
{
    std::string out;
    out.reserve(m_text.size() + m_lineStarts.size());
    for (const char c : m_text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// ITextWidget

int CWin32TextWidget::GetTextLength() const
{
    return static_cast<int>(m_text.size());
}

TextSpan CWin32TextWidget::GetSel() const
{
    const TextSpan units = UnitSel();
    return {ByteFromUnit(units.cpMin), ByteFromUnit(units.cpMax)};
}

void CWin32TextWidget::SetSel(TextSpan range)
{
    const TextSpan units{UnitFromByte(range.cpMin), UnitFromByte(range.cpMax)};
    if (m_selHidden) {
        // Given to the control only when a format needs it: moving the
        // control's selection costs, and may scroll.
        m_setSel = units;
        m_selPending = true;
    } else {
        SelectUnits(units);
    }
}

// The colouring passes move the selection many times and put it back at
// the end; the view stays where it was.
void CWin32TextWidget::HideSelection(bool hide)
{
    if (hide == m_selHidden)
        return;
    if (hide) {
        m_setSel = UnitSel();
        m_hiddenLine = Send(EM_GETFIRSTVISIBLELINE, 0, 0);
        Send(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&m_hiddenScroll));
        Send(EM_HIDESELECTION, TRUE, 0);
        m_selHidden = true;
        return;
    }
    m_selHidden = false;
    PushSel();
    Send(EM_HIDESELECTION, FALSE, 0);
    // The scroll position holds 16 bits only: the column from there, the
    // line from the line number.
    POINT scroll{};
    Send(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    scroll.x = m_hiddenScroll.x;
    Send(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    Send(EM_LINESCROLL, 0, m_hiddenLine - Send(EM_GETFIRSTVISIBLELINE, 0, 0));
}

std::string CWin32TextWidget::GetSelText() const
{
    const TextSpan sel = GetSel();
    const int start = std::min(sel.cpMin, sel.cpMax);
    return m_text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(std::max(sel.cpMin, sel.cpMax) - start));
}

TextFormat CWin32TextWidget::GetDefaultFormat() const
{
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    Send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    return {kFormatColor | kFormatBold, 0, ShownColor(format)};
}

TextFormat CWin32TextWidget::GetSelectionFormat() const
{
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    PushSel();
    Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    TextFormat out{0, 0, ShownColor(format)};
    if (format.dwMask & CFM_COLOR) {
        out.mask |= kFormatColor;
        if (format.dwEffects & CFE_AUTOCOLOR)
            out.effects |= kEffectAutoColor;
    }
    if (format.dwMask & CFM_BOLD) {
        out.mask |= kFormatBold;
        if (format.dwEffects & CFE_BOLD)
            out.effects |= kEffectBold;
    }
    return out;
}

void CWin32TextWidget::SetSelectionFormat(const TextFormat& format)
{
    const TextSpan sel = UnitSel();
    CHARFORMAT2W change{};
    change.cbSize = sizeof change;
    if (format.mask & kFormatColor) {
        change.dwMask |= CFM_COLOR;
        change.crTextColor = format.color;
        if (format.effects & kEffectAutoColor) {
            change.dwEffects |= CFE_AUTOCOLOR;
            // What a mixed range starting here reads back as its colour.
            change.crTextColor = ::GetSysColor(COLOR_WINDOWTEXT);
        }
    }
    if (format.mask & kFormatBold) {
        change.dwMask |= CFM_BOLD;
        if (format.effects & kEffectBold)
            change.dwEffects |= CFE_BOLD;
    }
    // An empty selection would set the format of what is typed next.
    if (sel.cpMin == sel.cpMax || change.dwMask == 0)
        return;
    PushSel();
    Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&change));
}

int CWin32TextWidget::LineFromChar(int pos) const
{
    const int clamped = std::clamp(pos, 0, static_cast<int>(m_text.size()));
    return static_cast<int>(std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), clamped) - m_lineStarts.begin()) -
           1;
}

int CWin32TextWidget::LineIndex(int line) const
{
    if (line < 0)
        line = LineFromChar(GetSel().cpMax);
    return line < static_cast<int>(m_lineStarts.size()) ? m_lineStarts[static_cast<std::size_t>(line)] : -1;
}

int CWin32TextWidget::LineLength(int pos) const
{
    const std::size_t line = static_cast<std::size_t>(LineFromChar(pos < 0 ? GetSel().cpMax : pos));
    const int end = line + 1 < m_lineStarts.size() ? m_lineStarts[line + 1] - 1 : static_cast<int>(m_text.size());
    return end - m_lineStarts[line];
}

void CWin32TextWidget::SetModify(bool modified)
{
    m_modified = modified;
}

bool CWin32TextWidget::GetModify() const
{
    return m_modified;
}

void CWin32TextWidget::SetRedraw(bool redraw)
{
    Send(WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
}

void CWin32TextWidget::RedrawNow()
{
    ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

void CWin32TextWidget::SetChangeHandler(std::function<void()> handler)
{
    m_onChange = std::move(handler);
}
