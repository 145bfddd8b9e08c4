// Reading lines, sections and keys out of the script text.
#include "script/Script.h"

#include <gtest/gtest.h>

namespace {

template <class Case>
std::string CaseName(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

struct NextLineCase {
    const char* name;
    std::string text;
    std::size_t pos;
    std::string line;
    std::size_t nextPos;
};

// Failure messages name the case rather than dumping its bytes.
void PrintTo(const NextLineCase& c, std::ostream* os) { *os << c.name; }

class NextLineTest : public testing::TestWithParam<NextLineCase> {};

TEST_P(NextLineTest, TakesLineAndMovesPast)
{
    std::size_t pos = GetParam().pos;
    EXPECT_EQ(CScript::GetNextLine(GetParam().text, pos), GetParam().line);
    EXPECT_EQ(pos, GetParam().nextPos);
}

INSTANTIATE_TEST_SUITE_P(Lines, NextLineTest, testing::Values(
    NextLineCase{"FirstOfCrLfLines", "ab\r\ncd", 0, "ab", 4},
    NextLineCase{"LastWithoutLineBreak", "ab\r\ncd", 4, "cd", 6},
    NextLineCase{"FromInsideALine", "abc\n", 1, "bc", 4},
    NextLineCase{"EmptyLine", "x\n\ny", 2, "", 3},
    NextLineCase{"EveryCrRemoved", "a\rb\n", 0, "ab", 4},
    NextLineCase{"AtEndStays", "ab", 2, "", 2},
    NextLineCase{"PastEndStays", "ab", 5, "", 5},
    NextLineCase{"EmptyText", "", 0, "", 0}), CaseName<NextLineCase>);

struct CommentCase {
    const char* name;
    std::string line;
    std::string stripped;
};

void PrintTo(const CommentCase& c, std::ostream* os) { *os << c.name; }

class StripCommentTest : public testing::TestWithParam<CommentCase> {};

TEST_P(StripCommentTest, CutsAtFirstSemicolon)
{
    std::string line = GetParam().line;
    std::string& result = CScript::StripComment(line);
    EXPECT_EQ(&result, &line);
    EXPECT_EQ(line, GetParam().stripped);
}

INSTANTIATE_TEST_SUITE_P(Comments, StripCommentTest, testing::Values(
    CommentCase{"NoComment", "Title=A", "Title=A"},
    CommentCase{"FirstSemicolonCuts", "a;b;c", "a"},
    CommentCase{"WholeLine", "; note", ""},
    CommentCase{"NoQuoting", "Text: \"a;b\"", "Text: \"a"}), CaseName<CommentCase>);

struct SectionCase {
    const char* name;
    std::string script;
    std::string section;
    std::string text;
};

void PrintTo(const SectionCase& c, std::ostream* os) { *os << c.name; }

class GetSectionTest : public testing::TestWithParam<SectionCase> {};

TEST_P(GetSectionTest, RunsFromHeaderToNextBracket)
{
    EXPECT_EQ(CScript(GetParam().script).GetSection(GetParam().section), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Sections, GetSectionTest, testing::Values(
    SectionCase{"UpToNextHeader", "[Setup]\r\nA=1\r\n[Tasks]\r\nRun: x\r\n", "Setup", "[Setup]\r\nA=1\r\n"},
    SectionCase{"ToEndOfText", "[Setup]\r\nA=1\r\n[Tasks]\r\nRun: x", "Tasks", "[Tasks]\r\nRun: x"},
    SectionCase{"HeaderAnywhereInLine", "x[Setup]a[b", "Setup", "[Setup]a"},
    SectionCase{"FirstOccurrenceWins", "[Setup]1\r\n[Setup]2", "Setup", "[Setup]1\r\n"},
    SectionCase{"Missing", "[Setup]\r\n", "Files", ""},
    SectionCase{"CaseSensitive", "[setup]\r\nA=1", "Setup", ""},
    SectionCase{"OnlyHeader", "[Files]", "Files", "[Files]"}), CaseName<SectionCase>);

struct LinesCase {
    const char* name;
    std::string script;
    CStringArray lines;
};

void PrintTo(const LinesCase& c, std::ostream* os) { *os << c.name; }

class SectionLinesTest : public testing::TestWithParam<LinesCase> {};

TEST_P(SectionLinesTest, ListsNonEmptyLinesUntrimmed)
{
    CStringArray lines;
    CScript(GetParam().script).GetSectionLines("Files", lines);
    EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Files, SectionLinesTest, testing::Values(
    LinesCase{"HeaderFirst", "[Files]\r\n/a/b.txt\r\nc.txt\r\n", {"[Files]", "/a/b.txt", "c.txt"}},
    LinesCase{"EmptyLinesSkipped", "[Files]\r\n\r\n\r\na\r\n\r\n", {"[Files]", "a"}},
    LinesCase{"BlanksAndCommentsKept", "[Files]\r\n  \r\n;c.txt \r\n", {"[Files]", "  ", ";c.txt "}},
    LinesCase{"OnlyHeader", "[Files]\r\n", {"[Files]"}},
    LinesCase{"TextAfterHeader", "[Files] x\r\nb", {"[Files] x", "b"}},
    LinesCase{"BracketInPathEnds", "[Files]\r\n/a/[x]/b\r\n/c\r\n", {"[Files]", "/a/"}},
    LinesCase{"LoneLfAndCr", "[Files]\na\rb\nc", {"[Files]", "ab", "c"}},
    LinesCase{"Missing", "[Setup]\r\nA=1\r\n", {}}), CaseName<LinesCase>);

TEST(SectionLines, AppendsToTheArray)
{
    CStringArray lines{"keep"};
    CScript("[Files]\r\na\r\n").GetSectionLines("Files", lines);
    EXPECT_EQ(lines, (CStringArray{"keep", "[Files]", "a"}));
}

struct KeyCase {
    const char* name;
    std::string script;
    std::string value;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class KeyValueTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyValueTest, ReadsValueWhereKeyFirstOccurs)
{
    EXPECT_EQ(CScript(GetParam().script).GetKeyValue("OutputFile"), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(OutputFile, KeyValueTest, testing::Values(
    KeyCase{"Plain", "[Setup]\r\nOutputFile=out.exe\r\n", "out.exe"},
    KeyCase{"Trimmed", "OutputFile =  out.exe \t\r\n", "out.exe"},
    KeyCase{"CommentKept", "OutputFile=out.exe ;x\r\n", "out.exe ;x"},
    KeyCase{"LastLineWithoutBreak", "[Setup]\r\nOutputFile=C:\\out\\a.exe", "C:\\out\\a.exe"},
    KeyCase{"FirstMentionWithoutEquals", "; OutputFile is set below\r\n[Setup]\r\nOutputFile=x.exe\r\n", ""},
    KeyCase{"PartOfLongerWord", "MyOutputFile=a\r\nOutputFile=b\r\n", "a"},
    KeyCase{"EqualsBeforeKeyNotSeen", "X=OutputFile=y\r\n", "y"},
    KeyCase{"AnySection", "[Tasks]\r\nOutputFile=t\r\n", "t"},
    KeyCase{"CrInsideValueDropped", "OutputFile=a\rb\r\n", "ab"},
    KeyCase{"EmptyValue", "OutputFile=\r\n", ""},
    KeyCase{"Missing", "[Setup]\r\nTitle=T\r\n", ""}), CaseName<KeyCase>);

} // namespace
