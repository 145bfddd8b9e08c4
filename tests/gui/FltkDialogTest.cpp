// The FLTK dialog window in-process on a virtual display: the template at
// one ratio, the outer size and the client area, the menu's room, the
// routing of the button, the cancel key and the close box, and the colours
// that reach the screen.
// GoogleTest comes first: X11's headers define None, which it also uses.
#include <gtest/gtest.h>

#include "platform/fltk/FltkControls.h"
#include "platform/fltk/FltkDialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <chrono>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

enum : int { kButton = 1, kLabel = 9, kStatus = 10, kProgress = 11, kHidden = 12, kEdit = 13, kText = 14 };

DialogTemplate TestTemplate()
{
    return {"Test Dialog",
            370,
            290,
            {
                {kButton, DialogItemKind::PushButton, "&Go", 126, 106, 50, 16, true},
                {kLabel, DialogItemKind::Label, "Heading", 0, 0, 370, 30, true},
                {kStatus, DialogItemKind::SunkenLabel, "status", 7, 262, 356, 12, true},
                {kProgress, DialogItemKind::ProgressBar, "", 7, 240, 111, 13, true},
                {kHidden, DialogItemKind::EtchedLine, "", 2, 104, 361, 1, false},
                {kEdit, DialogItemKind::ReadOnlyEdit, "", 7, 40, 200, 50, true},
                {kText, DialogItemKind::RichEdit, "", 210, 40, 150, 50, true},
            }};
}

class CRecordingHandler : public IDialogHandler {
public:
    explicit CRecordingHandler(IDialogWindow& window) : m_window(window) {}

    bool OnInitDialog() override
    {
        ++m_inits;
        m_visibleAtInit = m_window.IsWindowVisible();
        if (m_onInit)
            m_onInit();
        return true;
    }
    void OnCommand(int id) override { m_commands.push_back(id); }
    void OnSysCommand(unsigned id) override { m_sysCommands.push_back(id); }
    void OnClose() override { ++m_closes; }
    void OnCancel() override { ++m_cancels; }
    void OnSize(int, int cx, int cy) override { m_sizes.emplace_back(cx, cy); }
    bool OnCtlColor(int id, COLORREF& text, COLORREF& back) override
    {
        if (id != kLabel)
            return false;
        text = RGB(49, 105, 198);
        back = RGB(231, 243, 255);
        return true;
    }

    IDialogWindow& m_window;
    std::function<void()> m_onInit;
    int m_inits = 0;
    bool m_visibleAtInit = true;
    std::vector<int> m_commands;
    std::vector<unsigned> m_sysCommands;
    int m_closes = 0;
    int m_cancels = 0;
    std::vector<std::pair<int, int>> m_sizes;
};

// Lets the display catch up: the window mapped and painted.
void Pump(int milliseconds = 200)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end)
        Fl::wait(0.02);
}

class FltkDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(FltkOpenDisplay()) << "run under xvfb-run"; }

    void Create()
    {
        m_dialog.Create(TestTemplate(), m_handler);
        Pump();
    }

    Fl_Widget* Widget(int id) { return dynamic_cast<Fl_Widget*>(m_dialog.GetDlgItem(id)); }

    CFltkDialog m_dialog;
    CRecordingHandler m_handler{m_dialog};
};

TEST_F(FltkDialogTest, TheTemplateBecomesPixelsAtOneRatioAndShowsAfterInit)
{
    Create();
    EXPECT_EQ(m_handler.m_inits, 1);
    EXPECT_FALSE(m_handler.m_visibleAtInit);
    EXPECT_TRUE(m_dialog.IsWindowVisible());
    EXPECT_EQ(m_dialog.GetWindowText(), "Test Dialog");
    EXPECT_EQ(m_dialog.GetClientRect(), (CRect{0, 0, 555, 435}));
    EXPECT_EQ(m_dialog.GetDlgItem(kButton)->GetWindowRect(), (CRect{189, 159, 264, 183}));
    EXPECT_EQ(m_dialog.GetDlgItem(kStatus)->GetWindowRect(), (CRect{11, 393, 545, 411}));
    EXPECT_EQ(m_dialog.GetDlgItem(kButton)->GetWindowText(), "&Go");
    EXPECT_TRUE(m_dialog.GetDlgItem(kButton)->IsWindowVisible());
    EXPECT_FALSE(m_dialog.GetDlgItem(kHidden)->IsWindowVisible());
    EXPECT_NE(m_dialog.GetProgressCtrl(kProgress), nullptr);
    EXPECT_EQ(m_dialog.GetProgressCtrl(kLabel), nullptr);
    EXPECT_EQ(m_dialog.GetDlgItem(999), nullptr);
}

TEST_F(FltkDialogTest, ControlsAreVisibleOnlyWhileTheirWindowIs)
{
    bool labelVisibleAtInit = true;
    m_handler.m_onInit = [&] { labelVisibleAtInit = m_dialog.GetDlgItem(kLabel)->IsWindowVisible(); };
    Create();
    EXPECT_FALSE(labelVisibleAtInit);
    EXPECT_TRUE(m_dialog.GetDlgItem(kLabel)->IsWindowVisible());
}

TEST_F(FltkDialogTest, SetWindowPosGivesTheOuterSizeAndTheClientAreaFollows)
{
    Create();
    m_handler.m_sizes.clear();
    m_dialog.SetWindowPos(10, 20, 320, 250);
    Pump();
    // No window manager here: the frame adds nothing.
    EXPECT_EQ(m_dialog.GetWindowRect(), (CRect{10, 20, 330, 270}));
    EXPECT_EQ(m_dialog.GetClientRect(), (CRect{0, 0, 320, 250}));
    ASSERT_FALSE(m_handler.m_sizes.empty());
    EXPECT_EQ(m_handler.m_sizes.back(), std::make_pair(320, 250));
}

TEST_F(FltkDialogTest, SizesTheDisplayCannotTakeAreClamped)
{
    Create();
    m_dialog.SetResizable(false);
    m_dialog.SetWindowPos(0, 0, 0, -5);
    Pump();
    EXPECT_EQ(m_dialog.GetClientRect(), (CRect{0, 0, 1, 1}));
    m_dialog.SetWindowPos(0, 0, 100000, 100000);
    Pump();
    EXPECT_EQ(m_dialog.GetClientRect(), (CRect{0, 0, Fl::w(), Fl::h()}));
    EXPECT_TRUE(m_dialog.IsWindowVisible());
}

TEST_F(FltkDialogTest, AMenuTakesItsRoomFromTheClientAreaAndRoutesItsCommands)
{
    Create();
    const CRect before = m_dialog.GetClientRect();
    m_dialog.SetMenu({{"&File", {{130, "&Create New Archive", 'b'}, {0, ""}, {135, "&Exit"}}},
                      {"&Archive", {{131, "&Add File To Put in Archive...", 'a', true}}}});
    Pump();
    const CRect after = m_dialog.GetClientRect();
    EXPECT_EQ(after.Width(), before.Width());
    EXPECT_LT(after.Height(), before.Height());
    EXPECT_EQ(m_handler.m_sizes.back(), std::make_pair(after.Width(), after.Height()));
    // Controls keep their client coordinates below the menu.
    EXPECT_EQ(m_dialog.GetDlgItem(kButton)->GetWindowRect(), (CRect{189, 159, 264, 183}));

    Fl_Menu_Bar* bar = nullptr;
    Fl_Window* window = m_dialog.GetFlWindow();
    for (int i = 0; i < window->children() && !bar; ++i)
        bar = dynamic_cast<Fl_Menu_Bar*>(window->child(i));
    ASSERT_NE(bar, nullptr);
    const Fl_Menu_Item* exit = bar->find_item("&File/&Exit");
    ASSERT_NE(exit, nullptr);
    bar->picked(exit);
    bar->picked(bar->find_item("&Archive/&Add File To Put in Archive..."));
    EXPECT_EQ(m_handler.m_commands, (std::vector<int>{135, 131}));
    // The keys run the item and show beside it.
    EXPECT_EQ(bar->find_item("&File/&Create New Archive")->shortcut(), FL_CTRL | 'b');
    EXPECT_EQ(bar->find_item("&Archive/&Add File To Put in Archive...")->shortcut(), FL_CTRL | FL_SHIFT | 'a');
    EXPECT_EQ(exit->shortcut(), 0);
}

TEST_F(FltkDialogTest, TheRichEditIsTheTextWidgetAndTakesItsFontThroughIt)
{
    Create();
    ASSERT_NE(m_dialog.GetTextWidget(kText), nullptr);
    EXPECT_EQ(m_dialog.GetTextWidget(kText), m_dialog.GetDlgItem(kText));
    EXPECT_EQ(m_dialog.GetTextWidget(kEdit), nullptr);
    m_dialog.SetItemFont(kText, {FontFamily::Modern, 16, false, false});
    const auto* text = dynamic_cast<Fl_Text_Display*>(Widget(kText));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->textfont(), FL_COURIER);
    EXPECT_EQ(text->textsize(), 16);
}

TEST_F(FltkDialogTest, TheButtonEscapeAndTheCloseBoxReachTheirHandlers)
{
    Create();
    Widget(kButton)->do_callback();
    EXPECT_EQ(m_handler.m_commands, std::vector<int>{kButton});

    Fl_Window* window = m_dialog.GetFlWindow();
    Fl::e_keysym = FL_Escape;
    Fl::e_state = 0;
    Fl::handle(FL_KEYBOARD, window);
    EXPECT_EQ(m_handler.m_cancels, 1);
    EXPECT_EQ(m_handler.m_closes, 0);

    Fl::handle(FL_CLOSE, window);
    EXPECT_EQ(m_handler.m_closes, 1);
    EXPECT_EQ(m_handler.m_cancels, 1);
    // Neither ends the dialog by itself: the handler decides.
    EXPECT_TRUE(m_dialog.IsWindowVisible());
}

TEST_F(FltkDialogTest, EndDialogHidesTheWindowAndEndsTheLoopWithItsResult)
{
    Create();
    m_dialog.EndDialog(7);
    EXPECT_FALSE(m_dialog.IsWindowVisible());
    EXPECT_EQ(m_dialog.RunModalLoop(), 7);
}

TEST_F(FltkDialogTest, TextsComeBackAsTheyWereSet)
{
    Create();
    for (int id : {kLabel, kStatus, kButton, kEdit, kText}) {
        IControl* control = m_dialog.GetDlgItem(id);
        control->SetWindowText("a\r\nb @c &d");
        EXPECT_EQ(control->GetWindowText(), "a\r\nb @c &d") << id;
    }
    m_dialog.SetWindowText("");
    EXPECT_EQ(m_dialog.GetWindowText(), "");
}

TEST_F(FltkDialogTest, TheProgressBarKeepsItsPositionInsideItsRange)
{
    Create();
    IProgressCtrl* progress = m_dialog.GetProgressCtrl(kProgress);
    auto* bar = dynamic_cast<Fl_Progress*>(progress);
    ASSERT_NE(bar, nullptr);
    progress->SetRange(0, 4);
    progress->SetPos(9);
    EXPECT_EQ(progress->GetPos(), 9);
    EXPECT_FLOAT_EQ(bar->value(), 4.0f);
    progress->SetPos(-3);
    EXPECT_FLOAT_EQ(bar->value(), 0.0f);
    progress->SetRange(0, 0);
    progress->SetPos(0);
    EXPECT_FLOAT_EQ(bar->value(), 0.0f);
    EXPECT_GT(bar->maximum(), bar->minimum());
}

// The colour of the pixel at client coordinates x, y.
COLORREF PixelAt(CFltkDialog& dialog, int x, int y)
{
    Fl_Window* window = dialog.GetFlWindow();
    window->make_current();
    uchar rgb[3] = {};
    fl_read_image(rgb, x, y, 1, 1);
    return RGB(rgb[0], rgb[1], rgb[2]);
}

TEST_F(FltkDialogTest, TheHeadingAndTheBarArePaintedInTheirColours)
{
    Create();
    m_dialog.SetItemFont(kLabel, {FontFamily::Swiss, 20, true, true});
    IProgressCtrl* progress = m_dialog.GetProgressCtrl(kProgress);
    progress->SetBarColor(RGB(52, 109, 172));
    progress->SetRange(0, 2);
    progress->SetPos(2);
    m_dialog.UpdateWindow();
    Pump();

    // The heading's band, its corner free of text.
    EXPECT_EQ(PixelAt(m_dialog, 550, 2), RGB(231, 243, 255));
    // Its text: solid strokes of a bold 20-pixel face hold the text colour.
    bool textColourFound = false;
    for (int y = 5; y < 40 && !textColourFound; ++y) {
        for (int x = 0; x < 120 && !textColourFound; ++x)
            textColourFound = PixelAt(m_dialog, x, y) == RGB(49, 105, 198);
    }
    EXPECT_TRUE(textColourFound);
    // Inside the full bar, away from its frame.
    const CRect bar = progress->GetWindowRect();
    EXPECT_EQ(PixelAt(m_dialog, (bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2), RGB(52, 109, 172));
    // A control without colours of its own keeps the dialog's.
    const CRect status = m_dialog.GetDlgItem(kStatus)->GetWindowRect();
    uchar r = 0, g = 0, b = 0;
    Fl::get_color(FL_BACKGROUND_COLOR, r, g, b);
    EXPECT_EQ(PixelAt(m_dialog, status.right - 5, (status.top + status.bottom) / 2), RGB(r, g, b));
}

} // namespace
