#include "installer/SetupScreen.h"
#include "tests/installer/InterpreterFixture.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadmeText, OnlyBackslashNAndBackslashTAreEscapes)
{
    const struct {
        const char* value;
        const char* shown;
    } cases[] = {
        {R"(a\nb\tc)", "a\r\nb\tc"},
        {R"(a\\nb)", "a\\\r\nb"},          // the second backslash and n make the break
        {R"(C:\dir\x)", R"(C:\dir\x)"}, // no other escapes
        {R"(\n\n)", "\r\n\r\n"},
        {R"(\\t)", "\\\t"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadmeText(c.value), c.shown) << c.value;
}

TEST(ParseSize, CommaSplitsAndEachNumberReadsAsAtoi)
{
    const struct {
        const char* value;
        int cx;
        int cy;
    } cases[] = {
        {"320,250", 320, 250}, {"400", 400, 400},    {" 12abc, -5", 12, -5}, {",7", 0, 7},
        {"abc", 0, 0},         {"1,2,3", 1, 2},      {"+8,", 8, 0},          {"", 0, 0},
    };
    for (const auto& c : cases) {
        const CWindowSize size = ParseSize(c.value);
        EXPECT_EQ(size.cx, c.cx) << c.value;
        EXPECT_EQ(size.cy, c.cy) << c.value;
    }
}

using LayoutTest = CInterpreterTest;

CRect Rect(int x, int y, int cx, int cy)
{
    return {x, y, x + cx, y + cy};
}

TEST_F(LayoutTest, SetupScreenPlacesSixControlsByTheClientSize)
{
    m_window.m_client = {0, 0, 400, 300};
    const CRect editorBefore = m_editor.GetWindowRect();
    LayoutControls(m_screen, false);
    EXPECT_EQ(m_title.GetWindowRect(), Rect(0, 0, 400, 51));
    EXPECT_EQ(m_readme.GetWindowRect(), Rect(12, 63, 376, 186));
    EXPECT_EQ(m_separator.GetWindowRect(), Rect(0, 260, 400, 3));
    EXPECT_EQ(m_status.GetWindowRect(), Rect(12, 270, 294, 23));
    EXPECT_EQ(m_progress.GetWindowRect(), Rect(12, 270, 294, 23));
    EXPECT_EQ(m_button.GetWindowRect(), Rect(318, 268, 70, 27));
    EXPECT_EQ(m_editor.GetWindowRect(), editorBefore);
    EXPECT_EQ(m_editor.m_moves, 0);
}

TEST_F(LayoutTest, EditorModePlacesOnlyTheEditorAndTheStatusLine)
{
    m_window.m_client = {0, 0, 500, 400};
    LayoutControls(m_screen, true);
    EXPECT_EQ(m_editor.GetWindowRect(), Rect(12, 12, 476, 349));
    EXPECT_EQ(m_status.GetWindowRect(), Rect(12, 370, 476, 23));
    for (const CFakeControl* untouched : {&m_title, &m_readme, &m_separator, &m_button})
        EXPECT_EQ(untouched->m_moves, 0);
    EXPECT_EQ(m_progress.m_control.m_moves, 0);
}

using SetupKeysTest = CInterpreterTest;

TEST_F(SetupKeysTest, EachKeySetsItsPartOfTheScreen)
{
    Run("[Setup]\r\nWindowTitle=My Setup\r\nTitle=My App 1.0\r\nReadme=Line one\\nLine\\ttwo\r\n"
        "OK=Install\r\nStatus=Ready\r\n",
        true);
    EXPECT_EQ(m_window.GetWindowText(), "My Setup");
    EXPECT_EQ(m_title.GetWindowText(), "   My App 1.0");
    EXPECT_EQ(m_readme.GetWindowText(), "Line one\r\nLine\ttwo");
    EXPECT_EQ(m_button.GetWindowText(), "Install");
    EXPECT_EQ(m_status.GetWindowText(), " Ready");
}

TEST_F(SetupKeysTest, EmptyValues)
{
    m_title.SetWindowText("old");
    Run("[Setup]\r\nTitle=\r\nOK=\r\nStatus=\r\n", true);
    EXPECT_EQ(m_title.GetWindowText(), "   ");
    EXPECT_EQ(m_button.GetWindowText(), "");
    EXPECT_EQ(m_status.GetWindowText(), " Status"); // an empty Status leaves the line
}

TEST_F(SetupKeysTest, WindowTitleIsNotTakenForTitle)
{
    m_title.SetWindowText("heading");
    Run("[Setup]\r\nWindowTitle=Caption\r\n", true);
    EXPECT_EQ(m_window.GetWindowText(), "Caption");
    EXPECT_EQ(m_title.GetWindowText(), "heading");
}

TEST_F(SetupKeysTest, SizeSetsTheOuterSizeAtTheSameCornerAndLaysOut)
{
    Run("[Setup]\r\nSize=320,250\r\n", true);
    EXPECT_EQ(m_window.GetWindowRect(), Rect(50, 60, 320, 250));
    const CRect client = m_window.GetClientRect();
    EXPECT_EQ(client.Width(), 320 - 2 * CFakeDialogWindow::kFrameX);
    EXPECT_EQ(m_button.GetWindowRect().left, client.right - 82);
    EXPECT_EQ(m_button.GetWindowRect().top, client.bottom - 32);
}

TEST_F(SetupKeysTest, SizeWithOneNumberMakesASquare)
{
    Run("[Setup]\r\nSize=400\r\n", true);
    EXPECT_EQ(m_window.GetWindowRect(), Rect(50, 60, 400, 400));
}

TEST_F(SetupKeysTest, KeysInTasksChangeTheScreenWhileTasksRun)
{
    RunTasks("Title=Installing\r\nStatus=Done\r\n");
    EXPECT_EQ(m_title.GetWindowText(), "   Installing");
    EXPECT_EQ(m_status.GetWindowText(), " Done");
    EXPECT_TRUE(m_status.IsWindowVisible());
}

TEST_F(SetupKeysTest, AReadmeValueWithABracketEndsTheSection)
{
    Run("[Setup]\r\nReadme=see [notes] here\r\nTitle=late\r\n", true);
    EXPECT_EQ(m_readme.GetWindowText(), "see");
    EXPECT_EQ(m_title.GetWindowText(), "");
}

} // namespace
