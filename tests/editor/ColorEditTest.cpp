// Colouring with a fake widget: which characters get which colour, what a
// keystroke recolours, and the rule list behind it.
#include "editor/ColorEditCtrl.h"
#include "tests/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>

namespace {

// One letter per position: . default, k keyword, h header, c comment,
// q quoted, n constant, ? anything else; upper case when bold, # for bold default.
std::string Codes(const CFakeTextWidget& widget)
{
    const std::map<Color, char> letters{{0x000000, '.'}, {0xFF0000, 'k'}, {0x000001, 'h'},
                                           {0x0B6F0B, 'c'}, {0xFF8000, 'q'}, {0x1A87BA, 'n'}};
    std::string codes;
    for (const CharFormatAt& at : widget.m_formats) {
        const auto it = letters.find(at.color);
        const char code = it == letters.end() ? '?' : it->second;
        codes += !at.bold ? code : code == '.' ? '#' : static_cast<char>(std::toupper(code));
    }
    return codes;
}

class ColorEditTest : public ::testing::Test {
protected:
    void SetUp() override { m_editor.Attach(m_widget, m_window, m_boxes); }

    CFakeTextWidget m_widget;
    CFakeControl m_window;
    CFakeMessageBox m_boxes;
    CColorEditCtrl m_editor;
};

TEST_F(ColorEditTest, ColorsEachCharacter)
{
    const std::pair<const char*, const char*> cases[] = {
        // Keywords lose their colon or "="; constants are coloured whole.
        {R"(WindowTitle=My To: CURDIR\a)",
         R"(kkkkkkkkkkk....kk..nnnnnn..)"},
        // There is no rule for CreateRegKey: only the "Key:" inside it.
        {R"(CreateRegKey: HKEY_CLASSES_ROOT Key: Software)",
         R"(.........kkk..nnnnnnnnnnnnnnnnn.kkk..........)"},
        // No word boundaries, and letter case counts.
        {R"(extractfile: x MyTo: y)",
         R"(.................kk...)"},
        // A header is bold, brackets included; a constant in it loses the bold.
        {R"([Setup CURDIR])",
         R"(HHHHHHHnnnnnnH)"},
        // A comment keeps keywords and headers in its colour, not constants
        // and quoted text. A header keeps its bold: the comment's run is
        // not bold all through, so its bold is left as it is.
        {R"(; Key: Software HKEY_CURRENT_USER "quoted" CURDIR [Files])",
         R"(ccccccccccccccccnnnnnnnnnnnnnnnnncqqqqqqqqcnnnnnncCCCCCCC)"},
        // A quote without its partner stays default.
        {R"(a "b" "c)",
         R"(..qqq...)"},
        // A comment runs through its line break (on the last line, to the end).
        {"; a\nb",
         "cccc."},
    };
    for (const auto& [text, codes] : cases) {
        m_editor.SetText(text);
        EXPECT_EQ(Codes(m_widget), codes) << text;
    }
}

TEST_F(ColorEditTest, KeystrokeRecoloursOnlyTheCaretsLine)
{
    m_editor.SetText("a\nb\nc");
    // A colour no rule gives, to see which positions the pass touches.
    m_widget.m_formats.assign(m_widget.m_formats.size(), {0x123456, false});
    m_widget.SetSel({3, 3});
    m_widget.Type("Key:");
    EXPECT_EQ(Codes(m_widget), "??" ".kkk." "??");
}

// A header may close on a later line, but not once a keystroke recolours its line alone.
TEST_F(ColorEditTest, OpenHeaderIsDefaultOnItsLineButBoldThroughALaterBracket)
{
    m_editor.SetText("[Setup\nx]");
    ASSERT_EQ(Codes(m_widget), "HHHHHHHHH");
    m_widget.SetSel({6, 6});
    m_widget.Type("z");
    EXPECT_EQ(Codes(m_widget), "......." "HHH");
}

TEST_F(ColorEditTest, EveryPassRestoresTheSelection)
{
    m_editor.SetText("ExtractFile: x\nTo: y ; z");
    m_widget.SetSel({9, 3}); // made backwards: the caret is at 3
    m_editor.ColorAll();
    EXPECT_EQ(m_widget.GetSel(), (TextSpan{9, 3}));
    EXPECT_FALSE(m_widget.m_hidden);
}

TEST(AddKeywords, SkipsEmptyPiecesCutsLongOnesAndSharesTheTrimFlag)
{
    CColorEditCtrl editor;
    const std::size_t builtIn = editor.GetRules().size();
    editor.AddKeywords("a:,,0123456789012345678901234567890123456789,b", 0x123456, "]", 1);
    std::vector<std::string> added;
    for (std::size_t i = builtIn; i < editor.GetRules().size(); ++i) {
        added.push_back(editor.GetRules()[i].szKeyword);
        EXPECT_EQ(editor.GetRules()[i].bTrimLast, 1);
    }
    EXPECT_EQ(added, (std::vector<std::string>{"a:", "0123456789012345678901234567890", "b"}));
}

TEST_F(ColorEditTest, AOneCharacterTrimmedKeywordStillEndsThePass)
{
    m_editor.AddKeywords(":", 0x123456, "", 0);
    m_editor.SetText(": : Key:");
    EXPECT_EQ(Codes(m_widget), "....kkk.");
}

} // namespace
