// How long the editor takes to colour a large script on the real widget:
// the whole text after a load, and the caret's line after a keystroke. The
// baseline is the least any whole-text pass must do: one search of the text
// per rule, with no widget behind it.
#include "bench/LargeScript.h"
#include "editor/ColorEditCtrl.h"
#include "platform/fltk/FltkTextWidget.h"
#include "tests/fakes/FakePlatform.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int kLines = 10000;

// One editor window with the large script, shown, as in editor mode.
struct Editor {
    Editor()
    {
        window = std::make_unique<Fl_Window>(800, 600, "Editor");
        widget = new CFltkTextWidget(12, 12, 776, 549);
        window->end();
        caption.m_text = "Editor";
        editor.Attach(*widget, caption, boxes);
        window->show();
        while (!window->visible())
            Fl::wait(0.05);
        editor.SetText(LargeScript(kLines));
        Fl::focus(widget);
    }

    // Puts the caret at the end of the first line in the middle of the
    // text that starts with prefix.
    void CaretAfter(const std::string& prefix)
    {
        const std::string text = widget->GetText();
        std::size_t pos = text.find("\n" + prefix, text.size() / 2) + 1;
        pos = text.find('\r', pos);
        // Positions count LF only: one less for every CR before pos.
        int crs = 0;
        for (std::size_t i = 0; i < pos; ++i)
            crs += text[i] == '\r';
        const int at = static_cast<int>(pos) - crs;
        widget->SetSel({at, at});
    }

    int Key(int keysym, const char* text)
    {
        Fl::e_keysym = keysym;
        Fl::e_state = 0;
        Fl::e_text = const_cast<char*>(text);
        Fl::e_length = static_cast<int>(std::char_traits<char>::length(text));
        return Fl::handle(FL_KEYBOARD, window.get());
    }

    std::unique_ptr<Fl_Window> window;
    CFltkTextWidget* widget = nullptr;
    CFakeControl caption;
    CFakeMessageBox boxes;
    CColorEditCtrl editor;
};

Editor& TheEditor()
{
    static Editor editor;
    return editor;
}

void BM_SearchPerRule(benchmark::State& state)
{
    const std::string text = LargeScript(kLines);
    const CColorEditCtrl rules;
    for (auto _ : state) {
        std::size_t hits = 0;
        for (const KeywordColor& rule : rules.GetRules()) {
            for (std::size_t p = text.find(rule.szKeyword); p != std::string::npos;
                 p = text.find(rule.szKeyword, p + 1))
                ++hits;
        }
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SearchPerRule)->Unit(benchmark::kMillisecond);

void BM_ColorAll(benchmark::State& state)
{
    Editor& e = TheEditor();
    for (auto _ : state)
        e.editor.ColorAll();
    state.counters["lines"] = e.widget->LineFromChar(e.widget->GetTextLength()) + 1;
}
BENCHMARK(BM_ColorAll)->Unit(benchmark::kMillisecond);

// What a keystroke runs once the text has changed: the change handler,
// which recolours the caret's line.
void LineRecolours(benchmark::State& state, const std::string& linePrefix)
{
    Editor& e = TheEditor();
    e.CaretAfter(linePrefix);
    for (auto _ : state)
        e.editor.OnChange();
}

void BM_RecolourTaskLine(benchmark::State& state)
{
    LineRecolours(state, "SetRegString:");
}
BENCHMARK(BM_RecolourTaskLine)->Unit(benchmark::kMicrosecond);

void BM_RecolourCommentLine(benchmark::State& state)
{
    LineRecolours(state, "; for ExtractFile");
}
BENCHMARK(BM_RecolourCommentLine)->Unit(benchmark::kMicrosecond);

// Each iteration is one keystroke: a character typed, then taken back with
// Backspace, on a line of the kind named.
void Keystrokes(benchmark::State& state, const std::string& linePrefix)
{
    Editor& e = TheEditor();
    e.CaretAfter(linePrefix);
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            e.Key(FL_BackSpace, "");
        else
            e.Key('x', "x");
        typed = !typed;
    }
    if (typed)
        e.Key(FL_BackSpace, "");
}

void BM_KeystrokeOnTaskLine(benchmark::State& state)
{
    Keystrokes(state, "SetRegString:");
}
BENCHMARK(BM_KeystrokeOnTaskLine)->Unit(benchmark::kMicrosecond);

void BM_KeystrokeOnCommentLine(benchmark::State& state)
{
    Keystrokes(state, "; for ExtractFile");
}
BENCHMARK(BM_KeystrokeOnCommentLine)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
