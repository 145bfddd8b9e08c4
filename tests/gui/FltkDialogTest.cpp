// The FLTK dialog window in-process on a virtual display, for what the
// end-to-end scripts do not see: the template's pixel ratio, the outer size
// and its clamping, the menu's room, the text widget's font, and the colours
// that reach the screen.
#include <gtest/gtest.h>

#include "tests/gui/FltkTestUtil.h"

#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Text_Display.H>

#include <utility>
#include <vector>

namespace {

enum : int { kButton = 1, kLabel = 9, kStatus = 10, kProgress = 11, kHidden = 12, kText = 14 };

constexpr COLORREF kHeadingText = RGB(49, 105, 198);
constexpr COLORREF kHeadingBack = RGB(231, 243, 255);
constexpr COLORREF kBar = RGB(52, 109, 172);

class FltkDialogTest : public ::testing::Test, public IDialogHandler {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(OpenDisplayOnce()) << "run under xvfb-run"; }

    void SetUp() override
    {
        const std::vector<DialogItem> items = {
            {kButton, DialogItemKind::PushButton, "&Go", 126, 106, 50, 16, true},
            {kLabel, DialogItemKind::Label, "Heading", 0, 0, 370, 30, true},
            {kStatus, DialogItemKind::SunkenLabel, "status", 7, 262, 356, 12, true},
            {kProgress, DialogItemKind::ProgressBar, "", 7, 240, 111, 13, true},
            {kHidden, DialogItemKind::EtchedLine, "", 2, 104, 361, 1, false},
            {kText, DialogItemKind::RichEdit, "", 210, 40, 150, 50, true},
        };
        m_dialog.Create({"Test Dialog", 370, 290, items}, *this);
        Settle();
    }

    bool OnInitDialog() override
    {
        m_shownAtInit = m_dialog.IsWindowVisible() || m_dialog.GetDlgItem(kLabel)->IsWindowVisible();
        return true;
    }
    void OnCommand(int) override {}
    void OnSysCommand(unsigned) override {}
    void OnClose() override {}
    void OnCancel() override {}
    void OnSize(int, int cx, int cy) override { m_size = {cx, cy}; }
    bool OnCtlColor(int id, COLORREF& text, COLORREF& back) override
    {
        if (id != kLabel)
            return false;
        text = kHeadingText;
        back = kHeadingBack;
        return true;
    }

    CFltkDialog m_dialog;
    bool m_shownAtInit = true;
    std::pair<int, int> m_size;
};

TEST_F(FltkDialogTest, TheTemplateBecomesPixelsAtOneRatioAndShowsAfterInit)
{
    EXPECT_FALSE(m_shownAtInit);
    EXPECT_TRUE(m_dialog.IsWindowVisible());
    EXPECT_TRUE(m_dialog.GetDlgItem(kLabel)->IsWindowVisible());
    EXPECT_FALSE(m_dialog.GetDlgItem(kHidden)->IsWindowVisible());
    EXPECT_EQ(m_dialog.GetClientRect(), (CRect{0, 0, 555, 435}));
    EXPECT_EQ(m_dialog.GetDlgItem(kButton)->GetWindowRect(), (CRect{189, 159, 264, 183}));
    EXPECT_EQ(m_dialog.GetDlgItem(kStatus)->GetWindowRect(), (CRect{11, 393, 545, 411}));

    // The text widget's font goes through the widget, not to its label.
    m_dialog.SetItemFont(kText, {FontFamily::Modern, 16, false, false});
    const auto* text = dynamic_cast<Fl_Text_Display*>(m_dialog.GetDlgItem(kText));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->textfont(), FL_COURIER);
    EXPECT_EQ(text->textsize(), 16);
}

TEST_F(FltkDialogTest, SetWindowPosGivesTheOuterSizeClampedToTheScreen)
{
    m_dialog.SetResizable(false); // as the setup screen has it
    const struct {
        int cx, cy;
        CRect client;
    } cases[] = {
        {320, 250, {0, 0, 320, 250}},
        {0, -5, {0, 0, 1, 1}},
        {100000, 100000, {0, 0, Fl::w(), Fl::h()}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cx);
        m_dialog.SetWindowPos(10, 20, c.cx, c.cy);
        Settle();
        EXPECT_EQ(m_dialog.GetClientRect(), c.client);
        // No window manager here: the frame adds nothing.
        EXPECT_EQ(m_dialog.GetWindowRect(), (CRect{10, 20, 10 + c.client.right, 20 + c.client.bottom}));
        EXPECT_EQ(m_size, std::make_pair(c.client.right, c.client.bottom));
        EXPECT_TRUE(m_dialog.IsWindowVisible());
    }
}

TEST_F(FltkDialogTest, AMenuTakesItsRoomFromTheClientArea)
{
    m_dialog.SetMenu({{"&File", {{130, "Save Script File As...", 's', true}}}});
    Settle();
    const CRect client = m_dialog.GetClientRect();
    EXPECT_EQ(client.Width(), 555);
    EXPECT_LT(client.Height(), 435);
    EXPECT_EQ(m_size, std::make_pair(555, client.Height()));
    // Controls keep their client coordinates below the menu.
    EXPECT_EQ(m_dialog.GetDlgItem(kButton)->GetWindowRect(), (CRect{189, 159, 264, 183}));

    // The bar is the window's last child; it shows the keys beside the item.
    Fl_Window* window = m_dialog.GetFlWindow();
    auto* bar = dynamic_cast<Fl_Menu_Bar*>(window->child(window->children() - 1));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->find_item("&File/Save Script File As...")->shortcut(), FL_CTRL | FL_SHIFT | 's');
}

TEST_F(FltkDialogTest, TheHeadingAndTheBarArePaintedInTheirColours)
{
    m_dialog.SetItemFont(kLabel, {FontFamily::Swiss, 20, true, true});
    IProgressCtrl* progress = m_dialog.GetProgressCtrl(kProgress);
    progress->SetBarColor(kBar);
    progress->SetRange(0, 2);
    progress->SetPos(2);
    m_dialog.UpdateWindow();

    const CRect bar = progress->GetWindowRect();
    const CRect status = m_dialog.GetDlgItem(kStatus)->GetWindowRect();
    const CRect client = m_dialog.GetClientRect();
    uchar r = 0, g = 0, b = 0;
    Fl::get_color(FL_BACKGROUND_COLOR, r, g, b);
    const std::vector<COLORREF> expected = {kHeadingBack, kBar, RGB(r, g, b), kHeadingText};
    std::vector<COLORREF> found;
    ReadPixelsUntil(*m_dialog.GetFlWindow(), 0, 0, client.Width(), client.Height(), [&](const uchar* rgb) {
        const auto at = [&](int x, int y) {
            const uchar* p = rgb + (y * client.Width() + x) * 3;
            return RGB(p[0], p[1], p[2]);
        };
        // The heading band's corner, free of text; inside the full bar; a
        // control without colours of its own shows the dialog's.
        found = {at(550, 2), at((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2),
                 at(status.right - 5, (status.top + status.bottom) / 2), 0};
        // Solid strokes of a bold 20-pixel face hold the heading's text colour.
        for (int y = 5; y < 40; ++y) {
            for (int x = 0; x < 120; ++x) {
                if (at(x, y) == kHeadingText)
                    found.back() = kHeadingText;
            }
        }
        return found == expected;
    });
    EXPECT_EQ(found, expected);
}

} // namespace
