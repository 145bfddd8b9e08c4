// Colouring with a fake widget: which characters get which colour, what a
// keystroke recolours, and what the document marks on a change.
#include "tests/fakes/FakePlatform.h"
#include "editor/ColorEditCtrl.h"

#include <gtest/gtest.h>

namespace {

// One letter per position: . default, k keyword, h header, c comment,
// q quoted, n constant, ? anything else; upper case when bold.
std::string Codes(const CFakeTextWidget& widget)
{
    std::string codes;
    for (int i = 0; i < widget.GetTextLength(); ++i) {
        const CharFormatAt at = widget.FormatAt(i);
        char code = '?';
        switch (at.color) {
        case 0x000000: code = at.bold ? '#' : '.'; break;
        case 0xFF0000: code = 'k'; break;
        case 0x000001: code = 'h'; break;
        case 0x0B6F0B: code = 'c'; break;
        case 0xFF8000: code = 'q'; break;
        case 0x1A87BA: code = 'n'; break;
        }
        if (at.bold && code != '#')
            code = static_cast<char>(code - 'a' + 'A');
        codes += code;
    }
    return codes;
}

class ColorEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window.m_text = "Editor";
        m_editor.Attach(m_widget, m_window, m_boxes);
    }

    CFakeTextWidget m_widget;
    CFakeControl m_window;
    CFakeMessageBox m_boxes;
    CColorEditCtrl m_editor;
};

struct ColorCase {
    const char* text;
    const char* codes;
};

class WholeTextColors : public ColorEditTest, public ::testing::WithParamInterface<ColorCase> {};

TEST_P(WholeTextColors, ColorsEachCharacter)
{
    const ColorCase& c = GetParam();
    m_editor.SetText(c.text);
    EXPECT_EQ(Codes(m_widget), c.codes) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, WholeTextColors,
    ::testing::Values(
        // Keywords lose their colon or "="; constants are coloured whole.
        ColorCase{R"(ExtractFile: autoexec.bat To: CURDIR\autoexec.log)",
                  R"(kkkkkkkkkkk...............kk..nnnnnn.............)"},
        ColorCase{R"(WindowTitle=My Program Setup)",
                  R"(kkkkkkkkkkk.................)"},
        ColorCase{R"(SetRegDword: HKEY_CURRENT_USER Key: Software Query: Dword1 Value: 1)",
                  R"(kkkkkkkkkkk..nnnnnnnnnnnnnnnnn.kkk...........kkkkk.........kkkkk...)"},
        // There is no rule for CreateRegKey: only the "Key:" inside it.
        ColorCase{R"(CreateRegKey: HKEY_CLASSES_ROOT Key: Software)",
                  R"(.........kkk..nnnnnnnnnnnnnnnnn.kkk..........)"},
        // No word boundaries, and letter case counts.
        ColorCase{R"(extractfile: x MyTo: y)",
                  R"(.................kk...)"},
        // No rule for MB_ICONASTERISK.
        ColorCase{R"(MessageBox: Hi Icon: MB_ICONASTERISK)",
                  R"(kkkkkkkkkk.....kkkk.................)"},
        // A header is bold, brackets included; a constant in it loses the bold.
        ColorCase{R"([Setup])",
                  R"(HHHHHHH)"},
        ColorCase{R"([Setup CURDIR])",
                  R"(HHHHHHHnnnnnnH)"},
        // A comment keeps keywords and headers in its colour, not constants
        // and quoted text. A header keeps its bold: the comment's run is
        // not bold all through, so its bold is left as it is.
        ColorCase{R"(; Key: Software HKEY_CURRENT_USER "quoted" CURDIR [Files])",
                  R"(ccccccccccccccccnnnnnnnnnnnnnnnnncqqqqqqqqcnnnnnncCCCCCCC)"},
        ColorCase{R"(Run: app.exe ; Param: x)",
                  R"(kkk..........cccccccccc)"},
        // A quote without its partner stays default.
        ColorCase{R"(Text: "abc)",
                  R"(kkkk......)"},
        ColorCase{R"(a "b" "c)",
                  R"(..qqq...)"},
        // A comment runs through its line break; on the last line to the end.
        ColorCase{"[Setup]\n; a\nb\n; end",
                  "HHHHHHH." "cccc" ".." "ccccc"},
        // A header may close on a later line of the range.
        ColorCase{"[Setup\nx]",
                  "HHHHHHHHH"},
        ColorCase{"",
                  ""}));

TEST_F(ColorEditTest, KeystrokeRecoloursOnlyTheCaretsLine)
{
    m_editor.SetText("a\nb\nc");
    m_widget.PaintAll(0x123456);
    m_widget.SetSel({3, 3});
    m_widget.Type("Key:");
    EXPECT_EQ(Codes(m_widget), "??" ".kkk." "??");
}

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
    EXPECT_EQ(m_widget.GetSel(), (CHARRANGE{9, 3}));
    m_editor.ColorRange(15, -1);
    EXPECT_EQ(m_widget.GetSel(), (CHARRANGE{9, 3}));
    EXPECT_FALSE(m_widget.m_hidden);

    m_widget.SetSel({17, 17});
    m_widget.Type("x");
    EXPECT_EQ(m_widget.GetSel(), (CHARRANGE{18, 18}));
}

TEST_F(ColorEditTest, ColorAllLeavesAHiddenWidgetAlone)
{
    m_editor.SetText("[Setup]");
    m_widget.PaintAll(0x123456);
    m_widget.ShowWindow(false);
    m_editor.ColorAll();
    EXPECT_EQ(Codes(m_widget), "???????");
    m_widget.ShowWindow(true);
    m_editor.ColorAll();
    EXPECT_EQ(Codes(m_widget), "HHHHHHH");
}

TEST_F(ColorEditTest, AChangeMarksTheDocumentAndTheCaptionOnce)
{
    m_editor.SetText("x");
    m_widget.SetModify(false);
    m_window.m_text = "Editor - sample.ini";
    m_widget.Type("a");
    EXPECT_TRUE(m_widget.GetModify());
    EXPECT_EQ(m_window.m_text, "Editor - sample.ini*");
    m_widget.Type("b");
    EXPECT_EQ(m_window.m_text, "Editor - sample.ini*");

    m_window.m_text = "";
    m_widget.Type("c");
    EXPECT_EQ(m_window.m_text, "*");
}

struct KeywordsCase {
    const char* list;
    std::vector<std::string> keywords;
    int trimLast;
};

TEST(AddKeywords, SplitsTheListAndSharesTheTrimFlag)
{
    const KeywordsCase cases[] = {
        {"a:,b", {"a:", "b"}, 1},
        {"x=", {"x="}, 1},
        {"x,,y,", {"x", "y"}, 0},
        {"[", {"["}, 0},
        {"", {}, 0},
        {",", {}, 0},
        {"0123456789012345678901234567890123456789", {"0123456789012345678901234567890"}, 0},
    };
    for (const KeywordsCase& c : cases) {
        CColorEditCtrl editor;
        const std::size_t builtIn = editor.GetRules().size();
        editor.AddKeywords(c.list, 0x123456, "]", 1);
        std::vector<std::string> added;
        for (std::size_t i = builtIn; i < editor.GetRules().size(); ++i) {
            added.push_back(editor.GetRules()[i].szKeyword);
            EXPECT_EQ(editor.GetRules()[i].bTrimLast, c.trimLast) << c.list;
        }
        EXPECT_EQ(added, c.keywords) << c.list;
    }
}

TEST_F(ColorEditTest, AOneCharacterTrimmedKeywordStillEndsThePass)
{
    m_editor.AddKeywords(":", 0x123456, "", 0);
    m_editor.SetText(": : Key:");
    EXPECT_EQ(Codes(m_widget), "....kkk.");
}

} // namespace
