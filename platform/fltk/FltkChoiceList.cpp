#include "platform/fltk/FltkChoiceList.h"

#include "platform/fltk/FltkControls.h"
#include "platform/fltk/FltkDialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>

#include <algorithm>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 320;
constexpr int kMargin = 10;
constexpr int kHeadingH = 22;
constexpr int kButtonW = 100;
constexpr int kButtonH = 26;

struct CState {
    Fl_Window* window = nullptr;
    Fl_Hold_Browser* list = nullptr;
    int result = -1;
};

void Pick(CState& state)
{
    // The browser counts lines from 1; none selected is 0.
    const int line = state.list->value();
    if (line <= 0)
        return;
    state.result = line - 1;
    state.window->hide();
}

void ListCallback(Fl_Widget*, void* data)
{
    auto& state = *static_cast<CState*>(data);
    // A double click picks; Enter goes to the Go to Line button.
    if (Fl::event_clicks() > 0)
        Pick(state);
}

void GoCallback(Fl_Widget*, void* data)
{
    Pick(*static_cast<CState*>(data));
}

void CloseCallback(Fl_Widget*, void* data)
{
    static_cast<CState*>(data)->window->hide();
}

} // namespace

int CFltkChoiceList::Choose(const std::string& caption, const std::string& heading,
                            const std::vector<std::string>& items)
{
    CState state;
    Fl_Window window(kWidth, kHeight);
    state.window = &window;
    window.copy_label(caption.c_str());

    auto* title = new Fl_Box(kMargin, kMargin, kWidth - 2 * kMargin, kHeadingH);
    title->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    title->labelsize(kControlFontSize);
    title->copy_label(heading.c_str());

    const int listY = kMargin + kHeadingH + 4;
    const int buttonY = kHeight - kMargin - kButtonH;
    auto* list = new Fl_Hold_Browser(kMargin, listY, kWidth - 2 * kMargin, buttonY - kMargin - listY);
    state.list = list;
    list->textsize(kControlFontSize);
    // Items are shown as written: no '@' formatting.
    list->format_char(0);
    for (const std::string& item : items)
        list->add(item.c_str());
    if (!items.empty())
        list->value(1);
    list->when(FL_WHEN_CHANGED);
    list->callback(ListCallback, &state);

    auto* go = new Fl_Return_Button(kWidth - 2 * (kMargin + kButtonW), buttonY, kButtonW, kButtonH, "Go to Line");
    go->labelsize(kControlFontSize);
    go->callback(GoCallback, &state);
    auto* close = new Fl_Button(kWidth - kMargin - kButtonW, buttonY, kButtonW, kButtonH, "Close");
    close->labelsize(kControlFontSize);
    close->callback(CloseCallback, &state);
    window.end();
    window.resizable(list);
    window.callback(CloseCallback, &state);
    window.set_modal();

    if (Fl_Window* owner = m_owner.GetFlWindow(); owner && owner->shown())
        window.position(owner->x() + std::max(0, (owner->w() - kWidth) / 2),
                        owner->y() + std::max(0, (owner->h() - kHeight) / 2));
    window.show();
    list->take_focus();
    while (window.shown())
        Fl::wait();
    return state.result;
}
