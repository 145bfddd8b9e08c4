// The FLTK dialog window in-process on a virtual display, for what the
// end-to-end scripts do not see: the template's pixel ratio, the clamped
// outer size, the menu's room, the text widget's font, and the colours that
// reach the screen.
#include <gtest/gtest.h>

#include "tests/gui/FltkTestUtil.h"

#include <FL/Fl_Text_Display.H>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

enum : int { kButton = 1, kLabel = 9, kStatus = 10, kProgress = 11, kHidden = 12, kText = 14 };

constexpr Color kHeadingText = Rgb(49, 105, 198);
constexpr Color kHeadingBack = Rgb(231, 243, 255);
constexpr Color kBar = Rgb(52, 109, 172);

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

    bool OnInitDialog() override { return true; }
    void OnCommand(int) override {}
    void OnSysCommand(unsigned) override {}
    void OnClose() override {}
    void OnCancel() override {}
    void OnSize(int, int cx, int cy) override { m_size = {cx, cy}; }
    // Colours for every control, but only the heading's count.
    bool OnCtlColor(int id, Color& text, Color& back) override
    {
        text = kHeadingText;
        back = kHeadingBack;
        return id == kLabel;
    }

    CFltkDialog m_dialog;
    std::pair<int, int> m_size;
};

TEST_F(FltkDialogTest, TheTemplateBecomesPixelsBelowTheMenu)
{
    EXPECT_FALSE(m_dialog.GetItem(kHidden)->IsVisible());
    EXPECT_EQ(m_dialog.GetClientArea(), (CRect{0, 0, 555, 435}));
    // The text widget's font goes through the widget, not to its label.
    m_dialog.SetItemFont(kText, {FontFamily::Modern, 16, false, false});
    EXPECT_EQ(dynamic_cast<Fl_Text_Display&>(*m_dialog.GetItem(kText)).textsize(), 16);

    // A menu takes its room from the client area; the controls keep their
    // client coordinates.
    m_dialog.SetMenu({{"&File", {{130, "Save"}}}});
    Settle();
    EXPECT_EQ(m_dialog.GetClientArea().Width(), 555);
    EXPECT_LT(m_dialog.GetClientArea().Height(), 435);
    EXPECT_EQ(m_dialog.GetItem(kButton)->GetRect(), (CRect{189, 159, 264, 183}));
}

// X fails on a window far larger than the screen: a script's "Size=100000"
// must not end the program.
TEST_F(FltkDialogTest, SetWindowPosClampsTheSizeToTheScreen)
{
    m_dialog.SetResizable(false); // as the setup screen has it
    m_dialog.SetFrame(10, 20, 100000, 100000);
    Settle();
    // No window manager here: the frame adds nothing.
    EXPECT_EQ(m_dialog.GetRect(), (CRect{10, 20, 10 + Fl::w(), 20 + Fl::h()}));
    EXPECT_EQ(m_size, std::make_pair(Fl::w(), Fl::h()));
}

TEST_F(FltkDialogTest, TheHeadingAndTheBarArePaintedInTheirColours)
{
    m_dialog.SetItemFont(kLabel, {FontFamily::Swiss, 20, true, true});
    IProgressCtrl* progress = m_dialog.GetProgressCtrl(kProgress);
    progress->SetBarColor(kBar);
    progress->SetPos(100);
    m_dialog.PaintNow();

    const CRect bar = progress->GetRect();
    const CRect status = m_dialog.GetItem(kStatus)->GetRect();
    const CRect client = m_dialog.GetClientArea();
    uchar r = 0, g = 0, b = 0;
    Fl::get_color(FL_BACKGROUND_COLOR, r, g, b);
    const std::vector<Color> expected = {kHeadingBack, kBar, Rgb(r, g, b), kHeadingText};
    std::vector<Color> found;
    ReadPixelsUntil(*m_dialog.GetFlWindow(), 0, 0, client.Width(), client.Height(), [&](const uchar* rgb) {
        const auto at = [&](int x, int y) {
            const uchar* p = rgb + (y * client.Width() + x) * 3;
            return Rgb(p[0], p[1], p[2]);
        };
        // The heading band's corner, free of text; inside the full bar; a
        // control whose colours the handler declined shows the dialog's.
        found = {at(550, 2), at((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2),
                 at(status.right - 5, (status.top + status.bottom) / 2), 0};
        // Solid strokes of a bold 20-pixel face hold the heading's text colour.
        for (int i = 0; i < client.Width() * 40; ++i) {
            if (at(i % client.Width(), i / client.Width()) == kHeadingText)
                found.back() = kHeadingText;
        }
        return found == expected;
    });
    EXPECT_EQ(found, expected);
}

} // namespace

// A protocol error (here: requests on a window that is gone, as a crashed
// window manager's leftovers cause) is logged once per kind, and the program
// goes on; Xlib's own handler would end it.
TEST(FltkDisplay, AProtocolErrorIsLoggedOnceAndSurvived)
{
    ASSERT_TRUE(OpenDisplayOnce());
    const Window gone = XCreateSimpleWindow(fl_display, RootWindow(fl_display, fl_screen), 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(fl_display, gone);
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i)
        XMapWindow(fl_display, gone);
    XSync(fl_display, False);
    const std::string logged = testing::internal::GetCapturedStderr();
    EXPECT_EQ(logged.rfind("sfxpack: X error ignored: BadWindow", 0), 0u) << logged;
    EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 1) << logged;
}
