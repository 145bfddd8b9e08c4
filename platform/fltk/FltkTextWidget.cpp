#include "platform/fltk/FltkTextWidget.h"

#include "platform/fltk/FltkControls.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Style bytes run from 'A' and stay below 0x80, so the style buffer is plain
// ASCII whatever FLTK does with UTF-8.
constexpr char kFirstStyle = 'A';
constexpr std::size_t kMaxStyles = 0x7F - kFirstStyle;
constexpr Fl_Font kDefaultFont = FL_COURIER;
constexpr Fl_Fontsize kDefaultSize = 14;
// The cursor hint of Fl_Text_Display that means "no hint".
constexpr int kNoHint = -1;

struct FreeDeleter {
    void operator()(char* text) const { std::free(text); }
};
using FlText = std::unique_ptr<char, FreeDeleter>;

std::string WithLfLineEnds(const char* text, std::size_t length)
{
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] != '\r')
            out += text[i];
        else if (i + 1 >= length || text[i + 1] != '\n')
            out += '\n';
    }
    return out;
}

} // namespace

CFltkTextWidget::CFltkTextWidget(int x, int y, int w, int h) : Fl_Text_Editor(x, y, w, h)
{
    m_text.canUndo(0); // the widget keeps its own, deeper history
    // The buffer calls the callback added last first. Styles must follow the
    // text before the display measures it, and the change handler must run
    // after the display has moved the caret past a typed character.
    m_text.add_modify_callback(OnTextChanged, this);
    buffer(&m_text);
    m_text.add_modify_callback(OnTextModified, this);

    textfont(kDefaultFont);
    textsize(kDefaultSize);
    textcolor(FL_BLACK);
    m_styleKeys.push_back({0, false});
    UpdateStyleTable();

    remove_key_binding('z', FL_CTRL);
    remove_key_binding('/', FL_CTRL);
    add_key_binding('z', FL_CTRL, OnUndoKey);
    add_key_binding('y', FL_CTRL, OnRedoKey);
    add_key_binding('z', FL_CTRL | FL_SHIFT, OnRedoKey);
}

CFltkTextWidget::~CFltkTextWidget()
{
    // The buffers are members and go before the base class: detach them
    // while they still exist.
    m_text.remove_modify_callback(OnTextModified, this);
    m_text.remove_modify_callback(OnTextChanged, this);
    buffer(nullptr);
}

void CFltkTextWidget::SetTextFont(Fl_Font font, Fl_Fontsize size)
{
    textfont(font);
    textsize(size);
    UpdateStyleTable();
    resize(x(), y(), w(), h()); // the line height may have changed
    redraw();
}

void CFltkTextWidget::UpdateStyleTable()
{
    m_styleTable.clear();
    for (const CharStyle& style : m_styleKeys)
        m_styleTable.push_back({ToFlColor(style.color), style.bold ? textfont() | FL_BOLD : textfont(), textsize(), 0});
    highlight_data(&m_styles, m_styleTable.data(), static_cast<int>(m_styleTable.size()), 0, nullptr, nullptr);
}

char CFltkTextWidget::StyleFor(const CharStyle& style)
{
    const auto found = std::find(m_styleKeys.begin(), m_styleKeys.end(), style);
    if (found != m_styleKeys.end())
        return static_cast<char>(kFirstStyle + (found - m_styleKeys.begin()));
    if (m_styleKeys.size() == kMaxStyles)
        return kFirstStyle; // no room: shown in the default format
    m_styleKeys.push_back(style);
    UpdateStyleTable();
    return static_cast<char>(kFirstStyle + m_styleKeys.size() - 1);
}

CFltkTextWidget::CharStyle CFltkTextWidget::StyleAt(int pos) const
{
    return m_styleKeys[static_cast<std::size_t>(m_styles.byte_at(pos) - kFirstStyle)];
}

// Keeps the style buffer parallel to the text: new text is in the default
// format until it is coloured.
void CFltkTextWidget::OnTextModified(int pos, int nInserted, int nDeleted, int, const char*, void* arg)
{
    auto* self = static_cast<CFltkTextWidget*>(arg);
    if (nInserted == 0 && nDeleted == 0)
        return; // a selection changed, not the text
    self->m_lineStartsValid = false;
    if (nDeleted > 0)
        self->m_styles.remove(pos, pos + nDeleted);
    if (nInserted > 0)
        self->m_styles.insert(pos, std::string(static_cast<std::size_t>(nInserted), kFirstStyle).c_str());
}

void CFltkTextWidget::OnTextChanged(int pos, int nInserted, int nDeleted, int, const char* deletedText, void* arg)
{
    auto* self = static_cast<CFltkTextWidget*>(arg);
    if ((nInserted == 0 && nDeleted == 0) || self->m_replacing)
        return;
    if (!self->m_undoing)
        self->Record(pos, deletedText, nDeleted, nInserted);
    self->Notify();
}

void CFltkTextWidget::Notify()
{
    if (m_onChange)
        m_onChange();
}

void CFltkTextWidget::Record(int pos, const char* removed, int nRemoved, int nInserted)
{
    m_history.Record({pos, removed ? std::string(removed, static_cast<std::size_t>(nRemoved)) : std::string(),
                      std::string(FlText(m_text.text_range(pos, pos + nInserted)).get())});
}

bool CFltkTextWidget::Undo()
{
    return m_history.Undo([this](int pos, int length, const auto& text) { ApplyStep(pos, length, text); });
}

bool CFltkTextWidget::Redo()
{
    return m_history.Redo([this](int pos, int length, const auto& text) { ApplyStep(pos, length, text); });
}

void CFltkTextWidget::ApplyStep(int pos, int length, const std::string& text)
{
    m_text.unselect();
    m_undoing = true;
    // The caret goes behind the restored text before the change handler
    // runs, as it would after typing it.
    mCursorToHint = pos + static_cast<int>(text.size());
    m_text.replace(pos, pos + length, text.c_str());
    mCursorToHint = kNoHint;
    m_undoing = false;
    show_insert_position();
}

int CFltkTextWidget::OnUndoKey(int, Fl_Text_Editor* editor)
{
    static_cast<CFltkTextWidget*>(editor)->Undo();
    return 1;
}

int CFltkTextWidget::OnRedoKey(int, Fl_Text_Editor* editor)
{
    static_cast<CFltkTextWidget*>(editor)->Redo();
    return 1;
}

int CFltkTextWidget::handle(int event)
{
    // Pasted or dropped text comes with the line ends of wherever it came
    // from; the buffer takes LF only.
    if (event == FL_PASTE && Fl::event_text() && std::memchr(Fl::event_text(), '\r', Fl::event_length())) {
        std::string text = WithLfLineEnds(Fl::event_text(), static_cast<std::size_t>(Fl::event_length()));
        char* const original = Fl::e_text;
        const int originalLength = Fl::e_length;
        Fl::e_text = text.data();
        Fl::e_length = static_cast<int>(text.size());
        const int handled = Fl_Text_Editor::handle(event);
        Fl::e_text = original;
        Fl::e_length = originalLength;
        return handled;
    }
    return Fl_Text_Editor::handle(event);
}

// IControl

void CFltkTextWidget::SetText(const std::string& text)
{
    const std::string lf = WithLfLineEnds(text.data(), text.size());
    m_replacing = true;
    m_text.text(lf.c_str());
    m_replacing = false;
    m_history.Clear();
    // Once, also when the text stays the same (empty replaced by empty).
    Notify();
}

std::string CFltkTextWidget::GetText() const
{
    const FlText text(m_text.text());
    std::string out;
    out.reserve(static_cast<std::size_t>(m_text.length()) * 17 / 16);
    for (const char* c = text.get(); *c; ++c) {
        if (*c == '\n')
            out += '\r';
        out += *c;
    }
    return out;
}

void CFltkTextWidget::Show(bool show)
{
    if (show)
        this->show();
    else
        hide();
    // Whatever was behind a hidden widget shows again.
    if (Fl_Group* client = parent())
        client->damage(FL_DAMAGE_ALL, x(), y(), w(), h());
}

bool CFltkTextWidget::IsVisible() const
{
    return visible_r() != 0;
}

void CFltkTextWidget::Enable(bool enable)
{
    if (enable)
        activate();
    else
        deactivate();
}

bool CFltkTextWidget::IsEnabled() const
{
    return active() != 0;
}

void CFltkTextWidget::Move(const CRect& rect)
{
    Fl_Group* client = parent();
    if (client)
        client->damage(FL_DAMAGE_ALL, x(), y(), w(), h());
    const int left = client ? client->x() : 0;
    const int top = client ? client->y() : 0;
    resize(left + rect.left, top + rect.top, std::max(rect.Width(), 0), std::max(rect.Height(), 0));
    redraw();
}

CRect CFltkTextWidget::GetRect() const
{
    const Fl_Group* client = parent();
    const int left = x() - (client ? client->x() : 0);
    const int top = y() - (client ? client->y() : 0);
    return {left, top, left + w(), top + h()};
}

// ITextWidget

int CFltkTextWidget::GetTextLength() const
{
    return m_text.length();
}

int CFltkTextWidget::Align(int pos) const
{
    return m_text.utf8_align(std::clamp(pos, 0, m_text.length()));
}

TextSpan CFltkTextWidget::CurrentSel() const
{
    const int caret = insert_position();
    int start = 0;
    int end = 0;
    const Fl_Text_Selection* selection = m_text.primary_selection();
    if (selection->selected() && selection->position(&start, &end) && start != end)
        return caret == start ? TextSpan{end, start} : TextSpan{start, end};
    return {caret, caret};
}

void CFltkTextWidget::ShowSel(TextSpan range)
{
    range = {Align(range.cpMin), Align(range.cpMax)};
    if (range.cpMin == range.cpMax)
        m_text.unselect();
    else
        m_text.select(std::min(range.cpMin, range.cpMax), std::max(range.cpMin, range.cpMax));
    insert_position(range.cpMax);
}

TextSpan CFltkTextWidget::GetSel() const
{
    return m_selHidden ? m_hiddenSel : CurrentSel();
}

void CFltkTextWidget::SetSel(TextSpan range)
{
    if (m_selHidden)
        m_hiddenSel = {Align(range.cpMin), Align(range.cpMax)};
    else
        ShowSel(range);
}

// While hidden, the selection lives here and the one on screen stays; the
// colouring passes move it many times and put it back at the end.
void CFltkTextWidget::HideSelection(bool hide)
{
    if (hide == m_selHidden)
        return;
    if (hide) {
        m_hiddenSel = CurrentSel();
        m_selHidden = true;
    } else {
        m_selHidden = false;
        if (m_hiddenSel != CurrentSel())
            ShowSel(m_hiddenSel);
    }
}

std::string CFltkTextWidget::GetSelText() const
{
    const TextSpan sel = GetSel();
    const FlText text(m_text.text_range(std::min(sel.cpMin, sel.cpMax), std::max(sel.cpMin, sel.cpMax)));
    return text.get();
}

TextFormat CFltkTextWidget::GetDefaultFormat() const
{
    return {kFormatColor | kFormatBold, 0, m_styleKeys[0].color};
}

TextFormat CFltkTextWidget::GetSelectionFormat() const
{
    const TextSpan sel = GetSel();
    const int start = std::min(sel.cpMin, sel.cpMax);
    const int end = std::max(sel.cpMin, sel.cpMax);
    // An empty selection has the format of the character before it.
    const CharStyle first = start == end ? (start > 0 ? StyleAt(start - 1) : m_styleKeys[0]) : StyleAt(start);
    TextFormat format{kFormatColor | kFormatBold, 0, first.color};
    for (int pos = start + 1; pos < end; ++pos) {
        const CharStyle style = StyleAt(pos);
        if (style.color != first.color)
            format.mask &= ~kFormatColor;
        if (style.bold != first.bold)
            format.mask &= ~kFormatBold;
    }
    if ((format.mask & kFormatBold) && first.bold)
        format.effects = kEffectBold;
    return format;
}

void CFltkTextWidget::SetSelectionFormat(const TextFormat& format)
{
    const TextSpan sel = GetSel();
    const int start = std::min(sel.cpMin, sel.cpMax);
    const int end = std::max(sel.cpMin, sel.cpMax);
    if (start == end)
        return;
    // Each style present maps to one new style: look each up once.
    char mapped[kMaxStyles] = {};
    const FlText styles(m_styles.text_range(start, end));
    bool changed = false;
    for (char* c = styles.get(); *c; ++c) {
        char& to = mapped[*c - kFirstStyle];
        if (!to) {
            CharStyle style = m_styleKeys[static_cast<std::size_t>(*c - kFirstStyle)];
            if (format.mask & kFormatColor)
                style.color = (format.effects & kEffectAutoColor) ? m_styleKeys[0].color : format.color;
            if (format.mask & kFormatBold)
                style.bold = (format.effects & kEffectBold) != 0;
            to = StyleFor(style);
        }
        if (*c != to) {
            *c = to;
            changed = true;
        }
    }
    if (!changed)
        return;
    m_styles.replace(start, end, styles.get());
    if (m_redraw)
        redisplay_range(start, end);
    else
        m_restyledWhileSuspended = true;
}

const std::vector<int>& CFltkTextWidget::LineStarts() const
{
    if (!m_lineStartsValid) {
        const FlText text(m_text.text());
        m_lineStarts.assign(1, 0);
        const char* const begin = text.get();
        const char* const stop = begin + m_text.length();
        for (const char* c = begin; (c = static_cast<const char*>(std::memchr(c, '\n', stop - c))); ++c)
            m_lineStarts.push_back(static_cast<int>(c - begin) + 1);
        m_lineStartsValid = true;
    }
    return m_lineStarts;
}

int CFltkTextWidget::LineFromChar(int pos) const
{
    const std::vector<int>& starts = LineStarts();
    const int clamped = std::clamp(pos, 0, m_text.length());
    return static_cast<int>(std::upper_bound(starts.begin(), starts.end(), clamped) - starts.begin()) - 1;
}

int CFltkTextWidget::LineIndex(int line) const
{
    if (line < 0)
        return m_text.line_start(Caret());
    const std::vector<int>& starts = LineStarts();
    return line < static_cast<int>(starts.size()) ? starts[static_cast<std::size_t>(line)] : -1;
}

int CFltkTextWidget::LineLength(int pos) const
{
    const int at = pos < 0 ? Caret() : std::clamp(pos, 0, m_text.length());
    return m_text.line_end(at) - m_text.line_start(at);
}

void CFltkTextWidget::SetModify(bool modified)
{
    m_modified = modified;
}

bool CFltkTextWidget::GetModify() const
{
    return m_modified;
}

void CFltkTextWidget::SetRedraw(bool redraw)
{
    m_redraw = redraw;
    if (redraw && m_restyledWhileSuspended) {
        m_restyledWhileSuspended = false;
        this->redraw();
    }
}

void CFltkTextWidget::RedrawNow()
{
    redraw();
    if (Fl_Window* top = window(); top && top->shown())
        Fl::flush();
}

void CFltkTextWidget::SetChangeHandler(std::function<void()> handler)
{
    m_onChange = std::move(handler);
}
