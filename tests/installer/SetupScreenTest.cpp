// The setup screen: the values of the setup keys, the layout of either mode,
// and the keys run by a pass.
#include "installer/SetupScreen.h"
#include "tests/installer/InterpreterFixture.h"

#include <gtest/gtest.h>

namespace {

TEST(SetupScreen, SizeSplitsAtTheCommaAndReadsEachNumberAsAtoi)
{
    const struct {
        const char* value;
        int cx, cy;
    } cases[] = {{"320,250", 320, 250}, {"400", 400, 400}, {" 12abc, -5", 12, -5}, {",7", 0, 7}, {"1,2,3", 1, 2}, {"", 0, 0}};
    for (const auto& c : cases) {
        const CWindowSize size = ParseSize(c.value);
        EXPECT_EQ(std::make_pair(size.cx, size.cy), std::make_pair(c.cx, c.cy)) << c.value;
    }
}

CRect Rect(int x, int y, int cx, int cy)
{
    return {x, y, x + cx, y + cy};
}

using SetupScreenTest = CInterpreterTest;

TEST_F(SetupScreenTest, LayoutOfEitherMode)
{
    m_window.m_client = {0, 0, 400, 300};
    LayoutControls(m_screen, false);
    EXPECT_EQ(m_title.GetWindowRect(), Rect(0, 0, 400, 51));
    EXPECT_EQ(m_readme.GetWindowRect(), Rect(12, 63, 376, 186));
    EXPECT_EQ(m_separator.GetWindowRect(), Rect(0, 260, 400, 3));
    EXPECT_EQ(m_status.GetWindowRect(), Rect(12, 270, 294, 23));
    EXPECT_EQ(m_progress.GetWindowRect(), Rect(12, 270, 294, 23));
    EXPECT_EQ(m_button.GetWindowRect(), Rect(318, 268, 70, 27));
    EXPECT_EQ(m_editor.m_moves, 0);

    m_window.m_client = {0, 0, 500, 400};
    LayoutControls(m_screen, true);
    EXPECT_EQ(m_editor.GetWindowRect(), Rect(12, 12, 476, 349));
    EXPECT_EQ(m_status.GetWindowRect(), Rect(12, 370, 476, 23));
    for (const CFakeControl* setupOnly : {&m_title, &m_readme, &m_separator, &m_button, &m_progress.m_control})
        EXPECT_EQ(setupOnly->m_moves, 1);
}

TEST_F(SetupScreenTest, EachKeySetsItsPartOfTheScreen)
{
    Run("[Setup]\r\nWindowTitle=My Setup\r\nTitle=My App 1.0\r\nReadme=Line one\\nLine\\ttwo\\\\n\\x\r\nOK=Install\r\nStatus=Ready\r\n", true);
    EXPECT_EQ(m_window.GetWindowText(), "My Setup");
    EXPECT_EQ(m_title.GetWindowText(), "   My App 1.0");
    // Only "\\n" and "\\t" are escapes; "\\\\n" is a backslash and a line break.
    EXPECT_EQ(m_readme.GetWindowText(), "Line one\r\nLine\ttwo\\\r\n\\x");
    EXPECT_EQ(m_button.GetWindowText(), "Install");
    EXPECT_EQ(m_status.GetWindowText(), " Ready");

    // "WindowTitle" is not taken for "Title"; an empty Status leaves the line.
    Run("[Setup]\r\nWindowTitle=Caption\r\nOK=\r\nStatus=\r\n", true);
    EXPECT_EQ(m_title.GetWindowText(), "   My App 1.0");
    EXPECT_EQ(m_button.GetWindowText(), "");
    EXPECT_EQ(m_status.GetWindowText(), " Ready");

    // In [Tasks] the keys change the screen while the tasks run.
    RunTasks("Title=\r\nStatus=Done\r\n");
    EXPECT_EQ(m_title.GetWindowText(), "   ");
    EXPECT_EQ(m_status.GetWindowText(), " Done");
}

TEST_F(SetupScreenTest, SizeSetsTheOuterSizeAtTheSameCornerAndLaysOut)
{
    Run("[Setup]\r\nSize=320,250\r\n", true);
    EXPECT_EQ(m_window.GetWindowRect(), Rect(50, 60, 320, 250));
    const CRect client = m_window.GetClientRect();
    EXPECT_EQ(client.Width(), 320 - 2 * CFakeDialogWindow::kFrameX);
    EXPECT_EQ(m_button.GetWindowRect().left, client.right - 82);
    EXPECT_EQ(m_button.GetWindowRect().top, client.bottom - 32);
}

} // namespace
