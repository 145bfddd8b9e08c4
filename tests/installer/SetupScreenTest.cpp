// How the installer reads numbers, sizes and root-key names out of a
// script, and the layout of either mode.
#include "installer/Registry.h"
#include "installer/SetupScreen.h"
#include "tests/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// Each number is read as the C runtime's atoi reads it.
TEST(SetupScreen, SizeSplitsAtTheCommaIntoTwoAtoiNumbers)
{
    const struct {
        const char* value;
        int cx, cy;
    } cases[] = {
        {"320,250", 320, 250}, {"400", 400, 400}, {" \t\r\n\v\f+42,12abc", 42, 12}, {"- 5,+-1", 0, 0}, {",-7", 0, -7},
        {"1,2,3", 1, 2},
        // Beyond 32 bits the digits wrap, so a DWORD can be written unsigned.
        {"-2147483648,4294967295", INT_MIN, -1}, {"12345678901234567890", -350287150, -350287150},
    };
    for (const auto& c : cases) {
        const CWindowSize size = ParseSize(c.value);
        EXPECT_EQ(std::make_pair(size.cx, size.cy), std::make_pair(c.cx, c.cy)) << c.value;
    }
}

TEST(SetupScreen, RootKeyFromNameTakesTheFirstNameContainedCaseSensitively)
{
    const std::pair<const char*, HKEY> cases[] = {
        {"HKEY_CURRENT_USER\\Software", HKEY_CURRENT_USER}, {"xHKEY_USERSx", HKEY_USERS},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}, {"HKEY_USERS HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"hkey_current_user", HKEY_CLASSES_ROOT},
    };
    for (const auto& [name, root] : cases)
        EXPECT_EQ(RootKeyFromName(name), root) << name;
}

CRect Rect(int x, int y, int cx, int cy)
{
    return {x, y, x + cx, y + cy};
}

TEST(SetupScreen, LayoutOfEitherMode)
{
    CFakeDialogWindow window;
    CFakeControl title, readme, separator, status, button, editor;
    CFakeProgress progress;
    CSetupScreen screen{window, title, readme, separator, status, progress, button, editor};
    window.m_client = {0, 0, 400, 300};
    LayoutControls(screen, false);
    EXPECT_EQ(title.GetWindowRect(), Rect(0, 0, 400, 51));
    EXPECT_EQ(readme.GetWindowRect(), Rect(12, 63, 376, 186));
    EXPECT_EQ(separator.GetWindowRect(), Rect(0, 260, 400, 3));
    EXPECT_EQ(status.GetWindowRect(), Rect(12, 270, 294, 23));
    EXPECT_EQ(progress.GetWindowRect(), Rect(12, 270, 294, 23));
    EXPECT_EQ(button.GetWindowRect(), Rect(318, 268, 70, 27));

    window.m_client = {0, 0, 500, 400};
    LayoutControls(screen, true);
    EXPECT_EQ(editor.GetWindowRect(), Rect(12, 12, 476, 349));
    EXPECT_EQ(status.GetWindowRect(), Rect(12, 370, 476, 23));
}

} // namespace
