// The FLTK text widget in a real window on a virtual display: line ends,
// positions, change notifications, keys, undo, and colours as drawn.
// GoogleTest before FLTK: the X11 headers define None, Bool and the like.
#include <gtest/gtest.h>

#include "editor/ColorEditCtrl.h"
#include "platform/fltk/FltkDialog.h"
#include "platform/fltk/FltkTextWidget.h"
#include "tests/fakes/FakePlatform.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

class FltkTextWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // As the program opens it: FLTK then leaves its preferences files alone.
        static const bool opened = FltkOpenDisplay();
        ASSERT_TRUE(opened);
        m_window = std::make_unique<Fl_Window>(420, 320, "Editor");
        m_menu = new Fl_Menu_Bar(0, 0, 420, 25);
        m_menu->add("&File/Save", FL_CTRL + 's', OnMenu, this);
        m_menu->add("&File/Save As", FL_CTRL + FL_SHIFT + 's', OnMenu, this);
        m_menu->add("&File/Load", FL_CTRL + 'o', OnMenu, this);
        m_menu->add("&File/Create", FL_CTRL + 'b', OnMenu, this);
        m_widget = new CFltkTextWidget(10, 35, 400, 275);
        m_window->end();
        m_widget->SetChangeHandler([this] {
            ++m_changes;
            m_caretsAtChange.push_back(m_widget->GetSel().cpMax);
        });
    }

    void Show()
    {
        m_window->show();
        while (!m_window->visible())
            Fl::wait(0.05);
        Fl::flush();
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

    static void OnMenu(Fl_Widget* menu, void* self)
    {
        static_cast<FltkTextWidgetTest*>(self)->m_commands.push_back(
            static_cast<Fl_Menu_Bar*>(menu)->mvalue()->label());
    }

    std::unique_ptr<Fl_Window> m_window;
    Fl_Menu_Bar* m_menu = nullptr;
    CFltkTextWidget* m_widget = nullptr;
    int m_changes = 0;
    std::vector<int> m_caretsAtChange;
    std::vector<std::string> m_commands;
};

std::string BufferText(const Fl_Text_Buffer& buffer)
{
    char* text = buffer.text();
    std::string out = text;
    std::free(text);
    return out;
}

TEST_F(FltkTextWidgetTest, HoldsLfAndDeliversCrLf)
{
    m_widget->SetWindowText("a\r\nb\nc\rd\r\n");
    EXPECT_EQ(BufferText(*m_widget->buffer()), "a\nb\nc\nd\n");
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
}

TEST_F(FltkTextWidgetTest, PositionsAreBytesOfUtf8Text)
{
    m_widget->SetWindowText("\xC3\xA4=x\r\nK\xC3\xB6y");
    EXPECT_EQ(m_widget->GetTextLength(), 9);
    EXPECT_EQ(m_widget->LineIndex(1), 5);
    EXPECT_EQ(m_widget->LineLength(0), 4);
    m_widget->SetSel({5, 9});
    EXPECT_EQ(m_widget->GetSelText(), "K\xC3\xB6y");
    // A position inside a character moves to its start.
    m_widget->SetSel({1, 7});
    EXPECT_EQ(m_widget->GetSel(), (CHARRANGE{0, 6}));
}

TEST_F(FltkTextWidgetTest, EveryTextChangeNotifiesAndNothingElseDoes)
{
    Show();
    m_widget->SetWindowText("abc");
    EXPECT_EQ(m_changes, 1);
    m_widget->SetWindowText("abc");
    EXPECT_EQ(m_changes, 2);
    m_widget->SetWindowText("");
    m_widget->SetWindowText("");
    EXPECT_EQ(m_changes, 4);

    m_widget->SetWindowText("abc\ndef");
    m_changes = 0;
    m_caretsAtChange.clear();
    m_widget->SetSel({1, 5});
    m_widget->HideSelection(true);
    m_widget->SetSel({0, 2});
    m_widget->SetSelectionCharFormat({CFM_COLOR | CFM_BOLD, CFE_BOLD, 0x0000FF});
    m_widget->HideSelection(false);
    m_widget->buffer()->select(0, 3);
    m_widget->buffer()->unselect();
    EXPECT_EQ(m_changes, 0);

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

    m_changes = 0;
    EXPECT_EQ(Key('z', "\x1a", FL_CTRL), 1);
    EXPECT_EQ(m_widget->GetWindowText(), "1abc\r\n2");
    EXPECT_EQ(m_changes, 1);
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

TEST_F(FltkTextWidgetTest, FileShortcutsReachTheWindowsMenu)
{
    Show();
    m_widget->SetWindowText("text");
    Key('s', "\x13", FL_CTRL);
    Key('s', "\x13", FL_CTRL | FL_SHIFT);
    Key('o', "\x0f", FL_CTRL);
    Key('b', "\x02", FL_CTRL);
    EXPECT_EQ(m_commands, (std::vector<std::string>{"Save", "Save As", "Load", "Create"}));
    EXPECT_EQ(m_widget->GetWindowText(), "text");
}

TEST_F(FltkTextWidgetTest, VisibleOnlyOnceTheWindowIsShown)
{
    EXPECT_FALSE(m_widget->IsWindowVisible());
    Show();
    EXPECT_TRUE(m_widget->IsWindowVisible());
    m_widget->ShowWindow(false);
    EXPECT_FALSE(m_widget->IsWindowVisible());
}

// The colouring logic over the real widget: non-ASCII text before a run must
// not shift it, neither in the style buffer nor on screen.
TEST_F(FltkTextWidgetTest, ColoursTheRightCharactersOfUtf8Text)
{
    CFakeControl caption;
    caption.m_text = "Editor";
    CFakeMessageBox boxes;
    CColorEditCtrl editor;
    editor.Attach(*m_widget, caption, boxes);
    Show();
    const std::string umlauts = "\xC3\x84\xC3\x96\xC3\x9C"; // ÄÖÜ, six bytes
    editor.SetText(umlauts + " CURDIR " + umlauts + "\r\n; \xC3\xA9 Key: x");

    const auto formatOf = [this](int start, int end) {
        m_widget->SetSel({start, end});
        return m_widget->GetSelectionCharFormat();
    };
    EXPECT_EQ(formatOf(0, 7), (CHARFORMAT{CFM_COLOR | CFM_BOLD, 0, 0}));
    EXPECT_EQ(formatOf(7, 13), (CHARFORMAT{CFM_COLOR | CFM_BOLD, 0, 0x1A87BA}));
    EXPECT_EQ(formatOf(13, 21), (CHARFORMAT{CFM_COLOR | CFM_BOLD, 0, 0}));
    EXPECT_EQ(formatOf(21, 32), (CHARFORMAT{CFM_COLOR | CFM_BOLD, 0, 0x0B6F0B}));
    EXPECT_EQ(caption.m_text, "Editor*");

    // On screen, the constant's colour lies between the x of its first
    // character and the x behind its last.
    m_widget->SetSel({0, 0});
    m_widget->RedrawNow();
    int firstX = 0;
    int lastX = 0;
    int y = 0;
    ASSERT_TRUE(m_widget->position_to_xy(7, &firstX, &y));
    ASSERT_TRUE(m_widget->position_to_xy(13, &lastX, &y));
    const int lineHeight = fl_height(m_widget->textfont(), m_widget->textsize());
    const int left = m_widget->x();
    const int width = m_widget->w();
    int coloured = 0;
    int minX = width;
    int maxX = -1;
    // A loaded machine may paint late: read the line again until the colour
    // shows, for up to about five seconds.
    for (int attempt = 0; attempt < 100 && coloured <= 20; ++attempt) {
        Fl::wait(0.05);
        m_window->make_current();
        std::unique_ptr<uchar[]> pixels(fl_read_image(nullptr, left, y, width, lineHeight));
        ASSERT_TRUE(pixels);
        coloured = 0;
        minX = width;
        maxX = -1;
        for (int row = 0; row < lineHeight; ++row) {
            for (int column = 0; column < width; ++column) {
                const uchar* p = &pixels[(row * width + column) * 3];
                // Blends of 0x1A87BA with the white background: red and green
                // clearly above blue, unlike black, blue or green text.
                if (p[0] - p[2] > 40 && p[1] - p[2] > 25) {
                    ++coloured;
                    minX = std::min(minX, left + column);
                    maxX = std::max(maxX, left + column);
                }
            }
        }
    }
    EXPECT_GT(coloured, 20);
    EXPECT_GE(minX, firstX - 1);
    EXPECT_LE(maxX, lastX + 1);
}

} // namespace
