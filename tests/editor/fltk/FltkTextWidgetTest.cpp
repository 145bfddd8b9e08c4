// The FLTK text widget in a real window on a virtual display: line ends,
// positions, change notifications, keys, undo, and colours as drawn.
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
    }

    void Show()
    {
        m_window->show();
        Settle();
        Fl::focus(m_widget);
    }

    // A key as X delivers it to the focused widget.
    int Key(int keysym, const char* text, int state = 0)
    {
        Fl::e_keysym = keysym;
        Fl::e_state = state;
        Fl::e_text = const_cast<char*>(text);
        Fl::e_length = static_cast<int>(std::strlen(text));
        return Fl::handle(FL_KEYBOARD, m_window.get());
    }

    std::unique_ptr<Fl_Window> m_window;
    CFltkTextWidget* m_widget = nullptr;
    std::vector<int> m_caretsAtChange; // one per change notification
};

TEST_F(FltkTextWidgetTest, HoldsLfDeliversCrLfAndCountsInBytes)
{
    m_widget->SetWindowText("a\r\nb\nc\rd\r\n");
    EXPECT_EQ(m_widget->GetWindowText(), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(m_widget->GetTextLength(), 8);
    // Index i of a range's text is position start + i.
    m_widget->SetSel({2, 5});
    EXPECT_EQ(m_widget->GetSelText(), "b\nc");
    EXPECT_EQ(m_widget->LineFromChar(4), 2);
    EXPECT_EQ(m_widget->LineIndex(3), 6);
    EXPECT_EQ(m_widget->LineIndex(4), 8);
    EXPECT_EQ(m_widget->LineIndex(5), -1);
    EXPECT_EQ(m_widget->LineLength(6), 1);

    // Pasted text loses its CRs as well.
    m_widget->SetSel({8, 8});
    Fl::e_text = const_cast<char*>("x\r\ny");
    Fl::e_length = 4;
    m_widget->handle(FL_PASTE);
    EXPECT_EQ(m_widget->GetWindowText(), "a\r\nb\r\nc\r\nd\r\nx\r\ny");

    // UTF-8: a position inside a character moves to its start.
    m_widget->SetWindowText("\xC3\xA4=x\r\nK\xC3\xB6y");
    EXPECT_EQ(m_widget->GetTextLength(), 9);
    EXPECT_EQ(m_widget->LineIndex(1), 5);
    EXPECT_EQ(m_widget->LineLength(0), 4);
    m_widget->SetSel({1, 7});
    EXPECT_EQ(m_widget->GetSel(), (CHARRANGE{0, 6}));
}

TEST_F(FltkTextWidgetTest, EveryTextChangeNotifiesAndNothingElseDoes)
{
    Show();
    // A new text notifies once, also when it is the same.
    for (const char* text : {"abc", "abc", "", "abc\ndef"})
        m_widget->SetWindowText(text);
    EXPECT_EQ(m_caretsAtChange.size(), 4u);

    m_caretsAtChange.clear();
    m_widget->SetSel({1, 5});
    m_widget->HideSelection(true);
    m_widget->SetSel({0, 2});
    m_widget->SetSelectionCharFormat({CFM_COLOR | CFM_BOLD, CFE_BOLD, 0x0000FF});
    m_widget->HideSelection(false);
    EXPECT_TRUE(m_caretsAtChange.empty());

    // Typing: the handler already sees the caret behind the new character.
    m_widget->SetSel({3, 3});
    EXPECT_EQ(Key('x', "x"), 1);
    EXPECT_EQ(Key(FL_BackSpace, ""), 1);
    EXPECT_EQ(Key(FL_Delete, ""), 1);
    EXPECT_EQ(m_caretsAtChange, (std::vector<int>{4, 3, 3}));
    EXPECT_EQ(m_widget->GetWindowText(), "abcdef");
}

TEST_F(FltkTextWidgetTest, UndoAndRedoTakeTypingAsOneStep)
{
    Show();
    m_widget->SetWindowText("12");
    m_widget->SetSel({1, 1});
    for (const char* c : {"a", "b", "c"})
        Key(c[0], c);
    Key(FL_Enter, "\r");
    Key('d', "d");
    EXPECT_EQ(m_widget->GetWindowText(), "1abc\r\nd2");

    m_caretsAtChange.clear();
    EXPECT_EQ(Key('z', "\x1a", FL_CTRL), 1);
    EXPECT_EQ(m_widget->GetWindowText(), "1abc\r\n2");
    EXPECT_EQ(m_caretsAtChange.size(), 1u);
    m_widget->Undo();
    m_widget->Undo();
    EXPECT_EQ(m_widget->GetWindowText(), "12");
    EXPECT_EQ(m_widget->GetSel(), (CHARRANGE{1, 1}));
    EXPECT_FALSE(m_widget->Undo());

    EXPECT_EQ(Key('y', "\x19", FL_CTRL), 1);
    EXPECT_EQ(m_widget->GetWindowText(), "1abc2");
    EXPECT_EQ(m_widget->GetSel(), (CHARRANGE{4, 4}));
    EXPECT_EQ(Key('z', "\x1a", FL_CTRL | FL_SHIFT), 1);
    EXPECT_EQ(m_widget->GetWindowText(), "1abc\r\n2");

    // A new edit drops what could be redone; a new text drops everything.
    Key('e', "e");
    EXPECT_FALSE(m_widget->Redo());
    Key(FL_BackSpace, "");
    Key(FL_BackSpace, "");
    m_widget->Undo();
    EXPECT_EQ(m_widget->GetWindowText(), "1abc\r\ne2");
    m_widget->SetWindowText("new");
    EXPECT_FALSE(m_widget->Undo());
}

// The colouring logic over the real widget: non-ASCII text before a run must
// not shift it, neither in the style buffer nor on screen.
TEST_F(FltkTextWidgetTest, ColoursTheRightCharactersOfUtf8Text)
{
    CFakeControl caption;
    CFakeMessageBox boxes;
    CColorEditCtrl editor;
    editor.Attach(*m_widget, caption, boxes);
    Show();
    const std::string umlauts = "\xC3\x84\xC3\x96\xC3\x9C"; // six bytes
    editor.SetText(umlauts + " CURDIR " + umlauts + "\r\n; \xC3\xA9 Key: x");

    // Each run in one colour, not bold.
    const struct {
        int start, end;
        COLORREF colour;
    } runs[] = {{0, 7, 0}, {7, 13, 0x1A87BA}, {13, 21, 0}, {21, 32, 0x0B6F0B}};
    for (const auto& run : runs) {
        m_widget->SetSel({run.start, run.end});
        EXPECT_EQ(m_widget->GetSelectionCharFormat(), (CHARFORMAT{CFM_COLOR | CFM_BOLD, 0, run.colour})) << run.start;
    }

    // On screen, the constant's colour lies between the x of its first
    // character and the x behind its last.
    m_widget->SetSel({0, 0});
    m_widget->RedrawNow();
    int firstX = 0;
    int lastX = 0;
    int y = 0;
    ASSERT_TRUE(m_widget->position_to_xy(7, &firstX, &y));
    ASSERT_TRUE(m_widget->position_to_xy(13, &lastX, &y));
    const int height = fl_height(m_widget->textfont(), m_widget->textsize());
    const int width = m_widget->w();
    int inside = 0;
    int outside = 0;
    ReadPixelsUntil(*m_window, m_widget->x(), y, width, height, [&](const uchar* rgb) {
        inside = 0;
        outside = 0;
        for (int i = 0; i < width * height; ++i) {
            const uchar* p = rgb + i * 3;
            const int x = m_widget->x() + i % width;
            // Blends of 0x1A87BA with the white background: red and green
            // clearly above blue, unlike black, blue or green text.
            if (p[0] - p[2] > 40 && p[1] - p[2] > 25)
                ++(x >= firstX - 1 && x <= lastX + 1 ? inside : outside);
        }
        return inside > 20;
    });
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}

} // namespace
