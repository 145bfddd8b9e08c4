#include "platform/fltk/FltkMessageBox.h"

#include "platform/fltk/FltkControls.h"
#include "platform/fltk/FltkDialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <vector>

namespace {

constexpr int kMargin = 14;
constexpr int kIconSide = 36;
constexpr int kButtonW = 84;
constexpr int kButtonH = 26;
constexpr int kButtonGap = 8;
constexpr int kMaxTextW = 460;

struct CIconLook {
    const char* glyph;
    Fl_Color back;
    Fl_Color fore;
};

CIconLook IconLook(unsigned icon)
{
    switch (icon) {
    case kBoxIconError:
        return {"X", fl_rgb_color(200, 30, 30), FL_WHITE};
    case kBoxIconQuestion:
        return {"?", fl_rgb_color(49, 105, 198), FL_WHITE};
    case kBoxIconWarning:
        return {"!", fl_rgb_color(240, 200, 40), FL_BLACK};
    default:
        return {"i", fl_rgb_color(49, 105, 198), FL_WHITE};
    }
}

// The icon kind's glyph in a filled circle.
class CIconBox : public Fl_Box {
public:
    CIconBox(int x, int y, int side, CIconLook look) : Fl_Box(x, y, side, side), m_look(look) {}

protected:
    void draw() override
    {
        fl_color(m_look.back);
        fl_pie(x(), y(), w(), h(), 0, 360);
        fl_color(m_look.fore);
        fl_font(FL_HELVETICA_BOLD, h() * 2 / 3);
        fl_draw(m_look.glyph, x(), y(), w(), h(), FL_ALIGN_CENTER, nullptr, 0);
    }

private:
    CIconLook m_look;
};

// The message, wrapped, drawn as written (no '@' symbols).
class CTextBox : public Fl_Box {
public:
    CTextBox(int x, int y, int w, int h, std::string text) : Fl_Box(x, y, w, h), m_text(std::move(text)) {}

protected:
    void draw() override
    {
        fl_font(FL_HELVETICA, kControlFontSize);
        fl_color(FL_FOREGROUND_COLOR);
        fl_push_clip(x(), y(), w(), h());
        fl_draw(m_text.c_str(), x(), y(), w(), h(), FL_ALIGN_TOP_LEFT | FL_ALIGN_WRAP, nullptr, 0);
        fl_pop_clip();
    }

private:
    std::string m_text;
};

// The first button: Enter presses it, and it draws as a plain button.
class CDefaultButton : public Fl_Return_Button {
public:
    using Fl_Return_Button::Fl_Return_Button;

protected:
    void draw() override { Fl_Button::draw(); }
};

struct CAnswer {
    int id;
    int* result;
    Fl_Window* window;
};

void AnswerCallback(Fl_Widget*, void* data)
{
    const auto* answer = static_cast<const CAnswer*>(data);
    *answer->result = answer->id;
    answer->window->hide();
}

void CloseCallback(Fl_Widget* window, void*)
{
    window->hide();
}

} // namespace

int CFltkMessageBox::Show(const std::string& text, const std::string& caption, unsigned style)
{
    struct CChoice {
        const char* label;
        int id;
    };
    std::vector<CChoice> choices;
    // What the close box and Escape answer.
    int result = kAnswerOk;
    switch (style & kBoxTypeMask) {
    case kBoxYesNoCancel:
        choices = {{"&Yes", kAnswerYes}, {"&No", kAnswerNo}, {"Cancel", kAnswerCancel}};
        result = kAnswerCancel;
        break;
    case kBoxYesNo:
        choices = {{"&Yes", kAnswerYes}, {"&No", kAnswerNo}};
        result = kAnswerNo;
        break;
    default:
        choices = {{"OK", kAnswerOk}};
        break;
    }
    const unsigned icon = style & kBoxIconMask;

    const std::string shown = WithoutCarriageReturns(text);
    fl_font(FL_HELVETICA, kControlFontSize);
    int textW = kMaxTextW;
    int textH = 0;
    fl_measure(shown.c_str(), textW, textH, 0);
    textH = std::max(textH, fl_height());

    int screenX = 0;
    int screenY = 0;
    int screenW = 0;
    int screenH = 0;
    Fl::screen_work_area(screenX, screenY, screenW, screenH);

    const int buttonsW = static_cast<int>(choices.size()) * (kButtonW + kButtonGap) - kButtonGap;
    const int textX = kMargin + (icon ? kIconSide + kMargin : 0);
    const int bodyH = std::max(textH, icon ? kIconSide : 0);
    const int width = std::max(textX + textW + kMargin, buttonsW + 2 * kMargin);
    const int height = std::min(kMargin + bodyH + kMargin + kButtonH + kMargin, std::max(screenH - 60, 120));
    const int textBoxH = std::max(0, height - 3 * kMargin - kButtonH);

    Fl_Window window(width, height);
    window.copy_label(caption.c_str());
    if (icon)
        new CIconBox(kMargin, kMargin, kIconSide, IconLook(icon));
    new CTextBox(textX, kMargin + (textH < kIconSide && icon ? (kIconSide - textH) / 2 : 0), textW, textBoxH,
                 shown);
    std::vector<CAnswer> answers;
    answers.reserve(choices.size());
    int x = (width - buttonsW) / 2;
    const int y = height - kMargin - kButtonH;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        Fl_Button* button = i == 0 ? new CDefaultButton(x, y, kButtonW, kButtonH)
                                   : new Fl_Button(x, y, kButtonW, kButtonH);
        button->label(choices[i].label);
        button->labelsize(kControlFontSize);
        answers.push_back({choices[i].id, &result, &window});
        button->callback(AnswerCallback, &answers.back());
        x += kButtonW + kButtonGap;
    }
    window.end();
    window.callback(CloseCallback);
    window.set_modal();

    Fl_Window* owner = m_owner.GetFlWindow();
    if (owner && owner->shown()) {
        window.position(owner->x() + (owner->w() - width) / 2, owner->y() + (owner->h() - height) / 2);
    } else {
        window.position(screenX + (screenW - width) / 2, screenY + (screenH - height) / 2);
    }
    window.show();
    while (window.shown())
        Fl::wait();
    return result;
}
