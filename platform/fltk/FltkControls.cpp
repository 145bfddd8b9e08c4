#include "platform/fltk/FltkControls.h"

#include <FL/fl_draw.H>

#include <algorithm>

Fl_Color ToFlColor(Color color)
{
    return fl_rgb_color(static_cast<uchar>(RedOf(color)), static_cast<uchar>(GreenOf(color)),
                        static_cast<uchar>(BlueOf(color)));
}

Fl_Font ToFlFont(const FontSpec& font)
{
    Fl_Font face = font.family == FontFamily::Modern ? FL_COURIER : FL_HELVETICA;
    if (font.bold)
        face += FL_BOLD;
    if (font.italic)
        face += FL_ITALIC;
    return face;
}

std::string WithoutCarriageReturns(const std::string& text)
{
    std::string shown = text;
    shown.erase(std::remove(shown.begin(), shown.end(), '\r'), shown.end());
    return shown;
}

CFltkLabel::CFltkLabel(int x, int y, int w, int h, DialogItemKind kind, int id, IDialogHandler& handler)
    : CFltkControl(x, y, w, h), m_kind(kind), m_id(id), m_handler(handler)
{
    labelfont(FL_HELVETICA);
    labelsize(kControlFontSize);
}

void CFltkLabel::SetText(const std::string& text)
{
    m_text = text;
    m_shown = WithoutCarriageReturns(text);
    redraw();
}

void CFltkLabel::SetFont(const FontSpec& font)
{
    labelfont(ToFlFont(font));
    labelsize(font.height);
    redraw();
}

void CFltkLabel::draw()
{
    const Fl_Color dialogBack = parent() ? parent()->color() : FL_BACKGROUND_COLOR;
    switch (m_kind) {
    case DialogItemKind::WhiteRect:
        fl_rectf(x(), y(), w(), h(), FL_WHITE);
        return;
    case DialogItemKind::EtchedLine:
        // A shadow line over a light one, at the control's top edge.
        fl_rectf(x(), y(), w(), h(), dialogBack);
        if (w() > 0 && h() > 0) {
            fl_color(FL_DARK3);
            fl_xyline(x(), y(), x() + w() - 1);
            if (h() > 1) {
                fl_color(FL_WHITE);
                fl_xyline(x(), y() + 1, x() + w() - 1);
            }
        }
        return;
    default:
        break;
    }

    Color text = 0;
    Color back = 0;
    const bool custom = m_handler.OnCtlColor(m_id, text, back);
    const Fl_Color backColor = custom ? ToFlColor(back) : dialogBack;
    int inset = 0;
    if (m_kind == DialogItemKind::SunkenLabel) {
        draw_box(FL_THIN_DOWN_BOX, x(), y(), w(), h(), backColor);
        inset = 3;
    } else {
        fl_rectf(x(), y(), w(), h(), backColor);
    }
    if (m_shown.empty() || w() <= 2 * inset || h() <= 0)
        return;
    Fl_Color textColor = custom ? ToFlColor(text) : FL_FOREGROUND_COLOR;
    if (!active_r())
        textColor = fl_inactive(textColor);
    fl_push_clip(x() + inset, y(), w() - 2 * inset, h());
    fl_font(labelfont(), labelsize());
    fl_color(textColor);
    fl_draw(m_shown.c_str(), x() + inset, y(), w() - 2 * inset, h(), FL_ALIGN_LEFT, nullptr, 0);
    fl_pop_clip();
}

CFltkButton::CFltkButton(int x, int y, int w, int h) : CFltkControl(x, y, w, h)
{
    labelsize(kControlFontSize);
}

void CFltkButton::SetText(const std::string& text)
{
    m_text = text;
    // A caption is drawn as written: "@@" is FLTK's literal '@'.
    std::string shown;
    for (char c : WithoutCarriageReturns(text)) {
        shown += c;
        if (c == '@')
            shown += '@';
    }
    copy_label(shown.c_str());
    redraw();
}

CFltkReadOnlyEdit::CFltkReadOnlyEdit(int x, int y, int w, int h) : CFltkControl(x, y, w, h)
{
    textsize(kControlFontSize);
}

void CFltkReadOnlyEdit::SetText(const std::string& text)
{
    m_text = text;
    value(WithoutCarriageReturns(text).c_str());
}

CFltkProgress::CFltkProgress(int x, int y, int w, int h) : CFltkControl(x, y, w, h)
{
    Update();
}

void CFltkProgress::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
    Update();
}

void CFltkProgress::SetPos(int pos)
{
    m_pos = pos;
    Update();
}

void CFltkProgress::SetBarColor(Color color)
{
    selection_color(ToFlColor(color));
    redraw();
}

void CFltkProgress::Update()
{
    // An empty range shows an empty bar, and a position outside the range
    // stays inside the control.
    const int upper = std::max(m_upper, m_lower + 1);
    minimum(static_cast<float>(m_lower));
    maximum(static_cast<float>(upper));
    value(static_cast<float>(std::clamp(m_pos, m_lower, m_upper > m_lower ? m_upper : m_lower)));
}
