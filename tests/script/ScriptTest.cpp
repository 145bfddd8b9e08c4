// Reading sections, keys and pair lists out of the script text.
#include "script/Script.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string_view>

namespace {

TEST(Script, GetSectionLinesListsTheSectionsNonEmptyLinesUntrimmed)
{
    const std::pair<std::string, CStringArray> cases[] = {
        {"[Files]\r\n\r\n  \r\n;c.txt \r\n", {"[Files]", "  ", ";c.txt "}},
        // Any bracket ends the section.
        {"[Files]\r\na\r\n/a/[x]/b\r\n[Tasks]\r\n", {"[Files]", "a", "/a/"}},
        // The first header anywhere counts, also in a comment.
        {"; see [Files] below\r\n[Files]\r\na\r\n", {"[Files] below"}},
        // A lone LF ends a line, a CR does not.
        {"[Files]\na\rb\nc", {"[Files]", "ab", "c"}},
        {"[files]\r\na\r\n[Files]", {"[Files]"}},
        {"[Setup]\r\nA=1\r\n", {}},
    };
    for (const auto& [script, expected] : cases) {
        CStringArray lines;
        CScript(script).GetSectionLines("Files", lines);
        EXPECT_EQ(lines, expected) << script;
    }
}

TEST(Script, GetKeyValueReadsWhereTheKeyFirstOccurs)
{
    // Trimmed, comments kept, also in a longer word; "" when the first
    // mention has no "=".
    const std::pair<const char*, const char*> cases[] = {
        {"[Setup]\r\nOutputFile =  out.exe ;x \t\r\n", "out.exe ;x"},
        {"; OutputFile is set below\r\n[Setup]\r\nOutputFile=x.exe\r\n", ""},
        {"MyOutputFile=a\r\nOutputFile=b\r\n", "a"},
        {"X=OutputFile=y\r\n", "y"},
        {"[Setup]\r\nTitle=T\r\n", ""},
    };
    for (const auto& [script, value] : cases)
        EXPECT_EQ(CScript(script).GetKeyValue("OutputFile"), value) << script;
}

CStringArray Pairs(const std::string& lines)
{
    CStringArray pairs;
    CScript("[Tasks]\r\n" + lines + "\r\n").GetSectionPairs("Tasks", pairs);
    return pairs;
}

TEST(Script, GetSectionPairsSplitsEachLine)
{
    const std::pair<std::string, CStringArray> cases[] = {
        {"Title=Setup 2", {"Title:", "Setup 2"}},
        // The name keeps its blanks; the value is trimmed and cut at a comment.
        {"  Title = \t Setup 2 \t;B", {"  Title :", "Setup 2"}},
        // A colon cuts a setup value, and the word before it becomes a name.
        {"Title=Version 2: new", {"Title:", "Version", " 2", "new"}},
        {"ExtractFile: setup.exe To: C:\\Program Files\\App\\setup.exe",
         {"ExtractFile:", "setup.exe", " To", "C:\\Program Files\\App\\setup.exe"}},
        {"SetRegString: HKEY_CURRENT_USER Key: Software\\My App Query: Name Value: some text",
         {"SetRegString:", "HKEY_CURRENT_USER", " Key", "Software\\My App", " Query", "Name", " Value", "some text"}},
        {"Run: tool.exe Param: a=b", {"Run: tool.exe Param: a:", "b"}},
        {"MessageBox: Note this: done Icon: MB_ICONQUESTION",
         {"MessageBox:", "Note", " this", "done", " Icon", "MB_ICONQUESTION"}},
        {"Run: http://example.org/x Param: -v", {"Run:", "http://example.org/x", " Param", "-v"}},
        {"Text: a#!b#?c", {"Text:", "a://b:\\c"}},
        {"SetRegDword: HKEY_USERS Value:", {"SetRegDword:", "HKEY_USERS", " Value", ""}},
        // A tab is no blank.
        {"Run: a\tParam: b", {"Run:", "", " a\tParam", "b"}},
        {"   ; note\r\nno separator here\r\nC:\\dir http://x", {}},
        // The next colon has no blank before it (or only at the very start of
        // what remains): the text up to that colon is the value, and the line ends.
        {"Title=Setup:Final", {"Title:", "Setup"}},
        {"MessageBox:Hi:there", {"MessageBox:", "Hi"}},
        {"A B=C:D", {"A B:", "", " B", "C"}},
    };
    for (const auto& [lines, pairs] : cases)
        EXPECT_EQ(Pairs(lines), pairs) << lines;
}

// Whatever mix of separators, guards and comments a line holds, it ends
// with whole pairs.
TEST(Script, GetSectionPairsEndsWithWholePairsOnRandomLines)
{
    static constexpr std::array<std::string_view, 16> kPieces = {
        "=", ":", ";", " ", "  ", "[", "\r", "\n", "://", ":\\", "#!", "#?", "a", "Bc", "To", "\t",
    };
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> length(0, 40), piece(0, kPieces.size() - 1);
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        for (std::size_t n = length(random); n > 0; --n)
            line += kPieces[piece(random)];
        SCOPED_TRACE(testing::PrintToString(line));
        const CStringArray pairs = Pairs(line);
        ASSERT_EQ(pairs.size() % 2, 0u);
        // Each round of a line shortens what remains of it by at least one byte.
        ASSERT_LE(pairs.size(), 2 * (line.size() + 1));
        for (const std::string& text : pairs)
            EXPECT_EQ(text.find_first_of("\r\n;"), std::string::npos) << text;
    }
}

} // namespace
