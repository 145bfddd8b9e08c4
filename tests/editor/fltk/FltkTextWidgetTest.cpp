// The FLTK text widget in a real window on a virtual display: line ends,
// change notifications, keys, undo, and colours as drawn.
#include <gtest/gtest.h>

#include "editor/ColorEditCtrl.h"
#include "platform/fltk/FltkTextWidget.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/gui/FltkTestUtil.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

class FltkTextWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(OpenDisplayOnce());
        m_window = std::make_unique<Fl_Window>(420, 300, "Editor");
        m_widget = new CFltkTextWidget(10, 10, 400, 280);
        m_window->end();
        m_widget->SetChangeHandler([this] { m_caretsAtChange.push_back(m_widget->GetSel().cpMax); });
        m_window->show();
        Settle();
        Fl::focus(m_widget);
    }

    // A key as X delivers it to the focused widget.
    void Key(int keysym, const char* text, int state = 0)
    {
        Fl::e_keysym = keysym;
        Fl::e_state = state;
        Fl::e_text = const_cast<char*>(text);
        Fl::e_length = static_cast<int>(std::strlen(text));
        Fl::handle(FL_KEYBOARD, m_window.get());
    }

    std::unique_ptr<Fl_Window> m_window;
    CFltkTextWidget* m_widget = nullptr;
    std::vector<int> m_caretsAtChange; // one per change notification
};

// CR LF in and out is checked end to end; here a lone CR and pasted CRs.
TEST_F(FltkTextWidgetTest, HoldsOnlyLfAndFindsTheCaretsLine)
{
    m_widget->SetText("a\rb\r\nc");
    m_widget->SetSel({4, 4});
    Fl::e_text = const_cast<char*>("x\r\ny");
    Fl::e_length = 4;
    m_widget->handle(FL_PASTE);
    EXPECT_EQ(m_widget->GetText(), "a\r\nb\r\nx\r\nyc");
    // The line a keystroke recolours.
    EXPECT_EQ(m_widget->LineIndex(-1), 6);
    EXPECT_EQ(m_widget->LineLength(-1), 2);
}

TEST_F(FltkTextWidgetTest, ChangesNotifyWithTheCaretBehindThemAndUndoInSteps)
{
    // A new text notifies, also when it is the same.
    m_widget->SetText("12");
    m_widget->SetText("12");
    m_widget->SetSel({1, 1});
    for (const char* c : {"a", "b", "c"})
        Key(c[0], c);
    Key(FL_Enter, "\r");
    // Undo takes the Enter, then the typed run as one step.
    Key('z', "\x1a", FL_CTRL);
    Key('z', "\x1a", FL_CTRL);
    EXPECT_EQ(m_widget->GetText(), "12");
    // The handler sees the caret behind each typed character and where each
    // undone step was: the line it recolours.
    EXPECT_EQ(m_caretsAtChange, (std::vector<int>{0, 0, 2, 3, 4, 5, 4, 1}));
    EXPECT_FALSE(m_widget->Undo());

    Key('y', "\x19", FL_CTRL);
    EXPECT_EQ(m_widget->GetText(), "1abc2");
    // A new edit drops the Enter still to be redone; a new text drops
    // everything.
    Key('e', "e");
    EXPECT_FALSE(m_widget->Redo());
    m_widget->SetText("new");
    EXPECT_FALSE(m_widget->Undo());
}

// The colouring logic over the real widget: non-ASCII text before a run must
// not shift it, and the colours must reach the screen.
TEST_F(FltkTextWidgetTest, ColoursTheRightCharactersOfUtf8Text)
{
    CFakeControl caption;
    CFakeMessageBox boxes;
    CColorEditCtrl editor;
    editor.Attach(*m_widget, caption, boxes);
    const std::string umlauts = "\xC3\x84\xC3\x96\xC3\x9C"; // six bytes
    editor.SetText(umlauts + " CURDIR " + umlauts + "\r\n; \xC3\xA9 Key: x");

    // Each run in one colour, not bold.
    const struct {
        int start, end;
        Color colour;
    } runs[] = {{7, 13, 0x1A87BA}, {13, 21, 0}, {21, 32, 0x0B6F0B}};
    for (const auto& run : runs) {
        m_widget->SetSel({run.start, run.end});
        EXPECT_EQ(m_widget->GetSelectionFormat(), (TextFormat{kFormatColor | kFormatBold, 0, run.colour})) << run.start;
    }

    // On screen, between the x of the constant's first character and the x
    // behind its last.
    m_widget->SetSel({0, 0});
    m_widget->RedrawNow();
    int firstX = 0;
    int lastX = 0;
    int y = 0;
    ASSERT_TRUE(m_widget->position_to_xy(7, &firstX, &y));
    ASSERT_TRUE(m_widget->position_to_xy(13, &lastX, &y));
    const int width = lastX - firstX;
    const int height = fl_height(m_widget->textfont(), m_widget->textsize());
    int coloured = 0;
    ReadPixelsUntil(*m_window, firstX, y, width, height, [&](const uchar* rgb) {
        coloured = 0;
        // Blends of 0x1A87BA with the white background: red and green
        // clearly above blue, unlike black, blue or green text.
        for (int i = 0; i < width * height; ++i) {
            const uchar* p = rgb + i * 3;
            if (p[0] - p[2] > 40 && p[1] - p[2] > 25)
                ++coloured;
        }
        return coloured > 20;
    });
    EXPECT_GT(coloured, 20);
}

} // namespace
