// Reading lines, sections, keys and pair lists out of the script text.
#include "script/Script.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string_view>

namespace {

TEST(Script, GetNextLineTakesLineAndMovesPast)
{
    const std::string text = "a\rb\r\ncd";
    const std::pair<std::string, std::size_t> lines[] = {{"ab", 5}, {"cd", 7}, {"", 7}};
    std::size_t pos = 0;
    for (const auto& [line, next] : lines) {
        EXPECT_EQ(CScript::GetNextLine(text, pos), line);
        EXPECT_EQ(pos, next);
    }
}

TEST(Script, GetSectionRunsFromHeaderToNextBracket)
{
    const struct {
        const char* name;
        std::string script;
        std::string section;
        std::string text;
    } cases[] = {
        {"up to next header", "[Setup]\r\nA=1\r\n[Tasks]\r\nRun: x\r\n", "Setup", "[Setup]\r\nA=1\r\n"},
        {"header anywhere in a line", "x[Setup]a[b", "Setup", "[Setup]a"},
        {"first occurrence wins", "[Setup]1\r\n[Setup]2", "Setup", "[Setup]1\r\n"},
        {"missing", "[Setup]\r\n", "Files", ""},
        {"case-sensitive", "[setup]\r\nA=1", "Setup", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CScript(c.script).GetSection(c.section), c.text) << c.name;
}

TEST(Script, GetSectionLinesListsNonEmptyLinesUntrimmed)
{
    const struct {
        const char* name;
        std::string script;
        CStringArray lines;
    } cases[] = {
        {"header first, empty lines skipped", "[Files]\r\n\r\n/a/b.txt\r\n\r\nc.txt\r\n", {"[Files]", "/a/b.txt", "c.txt"}},
        {"blanks and comments kept", "[Files]\r\n  \r\n;c.txt \r\n", {"[Files]", "  ", ";c.txt "}},
        {"bracket in a path ends the section", "[Files]\r\n/a/[x]/b\r\n/c\r\n", {"[Files]", "/a/"}},
        {"lone LF and CR", "[Files]\na\rb\nc", {"[Files]", "ab", "c"}},
        {"missing", "[Setup]\r\nA=1\r\n", {}},
    };
    for (const auto& c : cases) {
        CStringArray lines;
        CScript(c.script).GetSectionLines("Files", lines);
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

TEST(Script, ListsAreAppendedTo)
{
    CScript script("[Files]\r\na\r\n[Tasks]\r\nRun: x\r\n");
    CStringArray list{"keep"};
    script.GetSectionLines("Files", list);
    script.GetSectionPairs("Tasks", list);
    EXPECT_EQ(list, (CStringArray{"keep", "[Files]", "a", "Run:", "x"}));
}

TEST(Script, GetKeyValueReadsWhereTheKeyFirstOccurs)
{
    const struct {
        const char* name;
        std::string script;
        std::string value;
    } cases[] = {
        {"plain", "[Setup]\r\nOutputFile=out.exe\r\n", "out.exe"},
        {"trimmed", "OutputFile =  out.exe \t\r\n", "out.exe"},
        {"comment kept", "OutputFile=out.exe ;x\r\n", "out.exe ;x"},
        {"first mention without '='", "; OutputFile is set below\r\n[Setup]\r\nOutputFile=x.exe\r\n", ""},
        {"part of a longer word", "MyOutputFile=a\r\nOutputFile=b\r\n", "a"},
        {"'=' before the key not seen", "X=OutputFile=y\r\n", "y"},
        {"missing", "[Setup]\r\nTitle=T\r\n", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CScript(c.script).GetKeyValue("OutputFile"), c.value) << c.name;
}

CStringArray Pairs(const std::string& script, const std::string& section = "Tasks")
{
    CStringArray pairs;
    CScript(script).GetSectionPairs(section, pairs);
    return pairs;
}

TEST(Script, GetSectionPairsSplitsEachLine)
{
    const struct {
        const char* name;
        std::string line;
        CStringArray pairs;
    } cases[] = {
        // Keys
        {"key and value", "Title=Setup 2", {"Title:", "Setup 2"}},
        {"value trimmed, name not", "  Title = \t Setup 2 \t", {"  Title :", "Setup 2"}},
        {"comment cuts the value", "Title=A;B", {"Title:", "A"}},
        {"colon in a setup value", "Title=Version 2: new", {"Title:", "Version", " 2", "new"}},
        {"colon-backslash guarded", "Readme=Notes:\\nmore", {"Readme:", "Notes:\\nmore"}},
        // Commands
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
        {"comment cuts a parameter", "Run: a.exe Param: -x ; -y", {"Run:", "a.exe", " Param", "-x"}},
        // No pairs
        {"comment line", "   ; note", {}},
        {"no separator", "no separator here", {}},
        {"guarded colons only", "C:\\dir http://x", {}},
        // The next colon has no blank before it (or only at the very start of
        // what remains): the text up to that colon is the value, and the line ends.
        {"key value with colon", "Title=Setup:Final", {"Title:", "Setup"}},
        {"command without blanks", "MessageBox:Hi:there", {"MessageBox:", "Hi"}},
        {"only blank at start of rest", "A B=C:D", {"A B:", "", " B", "C"}},
        {"parameter without blank", "Run: a Param:x:y", {"Run:", "a", " Param", "x"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pairs("[Tasks]\r\n" + c.line + "\r\n"), c.pairs) << c.name;
}

TEST(Script, GetSectionPairsWalksTheSectionsLines)
{
    EXPECT_EQ(Pairs("[Tasks]\r\nRun: a\r\n\r\n; skip\r\nDeleteFile: b\r\n"), (CStringArray{"Run:", "a", "DeleteFile:", "b"}));
    EXPECT_EQ(Pairs("; see [Setup] below\r\n[Setup]\r\nTitle=T\r\n", "Setup"), CStringArray{});
    EXPECT_EQ(Pairs("[Tasks] Run: x\r\n"), (CStringArray{"[Tasks] Run:", "x"}));
    EXPECT_EQ(Pairs("[Tasks]\nRun: a\nRun: b"), (CStringArray{"Run:", "a", "Run:", "b"}));
    EXPECT_EQ(Pairs("[Tasks]\rRun: a Run: b"), (CStringArray{"[Tasks]Run:", "a", " Run", "b"}));
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
        const CStringArray pairs = Pairs("[Tasks]\r\n" + line + "\r\n");
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
