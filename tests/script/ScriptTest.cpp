// Reading sections, keys and pair lists out of the script text.
#include "script/Script.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string_view>

namespace {

TEST(Script, GetSectionLinesListsTheSectionsNonEmptyLinesUntrimmed)
{
    const struct {
        const char* name;
        std::string script;
        CStringArray lines;
    } cases[] = {
        {"header first, empty lines skipped", "[Files]\r\n\r\na.txt\r\n\r\nc.txt\r\n", {"[Files]", "a.txt", "c.txt"}},
        {"blanks and comments kept", "[Files]\r\n  \r\n;c.txt \r\n", {"[Files]", "  ", ";c.txt "}},
        {"any bracket ends the section", "[Files]\r\na\r\n/a/[x]/b\r\n[Tasks]\r\n", {"[Files]", "a", "/a/"}},
        {"first header anywhere, also in a comment", "; see [Files] below\r\n[Files]\r\na\r\n", {"[Files] below"}},
        {"lone LF ends a line, CR does not", "[Files]\na\rb\nc", {"[Files]", "ab", "c"}},
        {"case-sensitive; a header alone", "[files]\r\na\r\n[Files]", {"[Files]"}},
        {"missing", "[Setup]\r\nA=1\r\n", {}},
    };
    for (const auto& c : cases) {
        CStringArray lines;
        CScript(c.script).GetSectionLines("Files", lines);
        EXPECT_EQ(lines, c.lines) << c.name;
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
    const struct {
        const char* name;
        std::string lines;
        CStringArray pairs;
    } cases[] = {
        {"key and value", "Title=Setup 2", {"Title:", "Setup 2"}},
        {"value trimmed, name not", "  Title = \t Setup 2 \t", {"  Title :", "Setup 2"}},
        {"comment cuts the value", "Title=A;B", {"Title:", "A"}},
        {"colon in a setup value", "Title=Version 2: new", {"Title:", "Version", " 2", "new"}},
        {"colon-backslash guarded", "Readme=Notes:\\nmore", {"Readme:", "Notes:\\nmore"}},
        {"drive colon guarded", "ExtractFile: setup.exe To: C:\\Program Files\\App\\setup.exe",
         {"ExtractFile:", "setup.exe", " To", "C:\\Program Files\\App\\setup.exe"}},
        {"several parameters", "SetRegString: HKEY_CURRENT_USER Key: Software\\My App Query: Name Value: some text",
         {"SetRegString:", "HKEY_CURRENT_USER", " Key", "Software\\My App", " Query", "Name", " Value", "some text"}},
        {"'=' ends the name in a command", "Run: tool.exe Param: a=b", {"Run: tool.exe Param: a:", "b"}},
        {"colon in a value starts a parameter", "MessageBox: Note this: done Icon: MB_ICONQUESTION",
         {"MessageBox:", "Note", " this", "done", " Icon", "MB_ICONQUESTION"}},
        {"URL colon guarded", "Run: http://example.org/x Param: -v", {"Run:", "http://example.org/x", " Param", "-v"}},
        {"guard words come back in values", "Text: a#!b#?c", {"Text:", "a://b:\\c"}},
        {"empty value at line end", "SetRegDword: HKEY_USERS Value:", {"SetRegDword:", "HKEY_USERS", " Value", ""}},
        {"tab is no blank", "Run: a\tParam: b", {"Run:", "", " a\tParam", "b"}},
        {"no pairs", "   ; note\r\nno separator here\r\nC:\\dir http://x", {}},
        {"empty and comment lines skipped", "Run: a\r\n\r\n; skip\r\nDeleteFile: b", {"Run:", "a", "DeleteFile:", "b"}},
        {"lone LF ends a line, CR does not", "Run: a\rb\nRun: c", {"Run:", "ab", "Run:", "c"}},
        // The next colon has no blank before it (or only at the very start of
        // what remains): the text up to that colon is the value, and the line ends.
        {"key value with colon", "Title=Setup:Final", {"Title:", "Setup"}},
        {"command without blanks", "MessageBox:Hi:there", {"MessageBox:", "Hi"}},
        {"only blank at start of rest", "A B=C:D", {"A B:", "", " B", "C"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pairs(c.lines), c.pairs) << c.name;
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
        if (!pairs.empty()) {
            EXPECT_TRUE(pairs.front().ends_with(':')) << pairs.front();
        }
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            EXPECT_EQ(pairs[k].find_first_of("\r\n;"), std::string::npos) << pairs[k];
            if (k % 2 == 1 && !pairs[k].empty()) {
                // Values are trimmed and their guard words turned back.
                EXPECT_EQ(std::string_view(" \t\v\f").find(pairs[k].front()), std::string_view::npos) << pairs[k];
                EXPECT_EQ(std::string_view(" \t\v\f").find(pairs[k].back()), std::string_view::npos) << pairs[k];
                EXPECT_EQ(pairs[k].find("#!"), std::string::npos) << pairs[k];
                EXPECT_EQ(pairs[k].find("#?"), std::string::npos) << pairs[k];
            }
        }
    }
}

} // namespace
