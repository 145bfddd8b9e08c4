// How GetSectionPairs splits script lines into the pair list the interpreter walks.
#include "script/Script.h"

#include <gtest/gtest.h>

namespace {

struct PairsCase {
    const char* name;
    std::string line;
    CStringArray pairs;
};

// Failure messages name the case rather than dumping its bytes.
void PrintTo(const PairsCase& c, std::ostream* os) { *os << c.name; }

CStringArray TaskPairs(const std::string& lines)
{
    CScript script("[Tasks]\r\n" + lines + "\r\n");
    CStringArray pairs;
    script.GetSectionPairs("Tasks", pairs);
    return pairs;
}

std::string CaseName(const testing::TestParamInfo<PairsCase>& info)
{
    return info.param.name;
}

class LinePairsTest : public testing::TestWithParam<PairsCase> {};

TEST_P(LinePairsTest, SplitsLineIntoPairs)
{
    EXPECT_EQ(TaskPairs(GetParam().line), GetParam().pairs) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Keys, LinePairsTest, testing::Values(
    PairsCase{"KeyAndValue", "Title=Setup 2", {"Title:", "Setup 2"}},
    PairsCase{"LeadingBlanksStayInHeadName", "  Title=Setup 2", {"  Title:", "Setup 2"}},
    PairsCase{"ValueTrimmedNameNot", "Title = \t Setup 2 \t", {"Title :", "Setup 2"}},
    PairsCase{"CommentCutsValue", "Title=A;B", {"Title:", "A"}},
    PairsCase{"ColonCutsSetupValue", "Title=Version 2: new", {"Title:", "Version", " 2", "new"}},
    PairsCase{"ColonBackslashIsGuarded", "Readme=Notes:\\nmore", {"Readme:", "Notes:\\nmore"}},
    PairsCase{"CrInsideLineDropped", "Ti\rtle=A\rB", {"Title:", "AB"}},
    PairsCase{"SizeWithComma", "Size=480,360", {"Size:", "480,360"}}), CaseName);

INSTANTIATE_TEST_SUITE_P(Commands, LinePairsTest, testing::Values(
    PairsCase{"DriveColonIsGuarded", "ExtractFile: setup.exe To: C:\\Program Files\\App\\setup.exe",
              {"ExtractFile:", "setup.exe", " To", "C:\\Program Files\\App\\setup.exe"}},
    PairsCase{"SeveralParameters", "SetRegString: HKEY_CURRENT_USER Key: Software\\My App Query: Name Value: some text",
              {"SetRegString:", "HKEY_CURRENT_USER", " Key", "Software\\My App", " Query", "Name", " Value", "some text"}},
    PairsCase{"ValuesKeepInnerBlanks", "MoveFile: old name.txt To: new name.txt",
              {"MoveFile:", "old name.txt", " To", "new name.txt"}},
    PairsCase{"HeadNameGetsColonWithoutBlank", "Run:x", {"Run:", "x"}},
    PairsCase{"EqualsEndsNameInCommand", "Run: tool.exe Param: a=b", {"Run: tool.exe Param: a:", "b"}},
    PairsCase{"ColonInValueStartsParameter", "MessageBox: Note this: done Icon: MB_ICONQUESTION",
              {"MessageBox:", "Note", " this", "done", " Icon", "MB_ICONQUESTION"}},
    PairsCase{"UrlColonIsGuarded", "Run: http://example.org/x Param: -v", {"Run:", "http://example.org/x", " Param", "-v"}},
    PairsCase{"GuardWordsComeBackInValue", "Text: a#!b#?c", {"Text:", "a://b:\\c"}},
    PairsCase{"GuardWordsStayInName", "A#!B: x", {"A#!B:", "x"}},
    PairsCase{"EmptyValueAtLineEnd", "SetRegDword: HKEY_USERS Value:", {"SetRegDword:", "HKEY_USERS", " Value", ""}},
    PairsCase{"TabIsNotABlank", "Run: a\tParam: b", {"Run:", "", " a\tParam", "b"}},
    PairsCase{"CommentCutsParameter", "Run: a.exe Param: -x ; -y", {"Run:", "a.exe", " Param", "-x"}},
    PairsCase{"SemicolonInPathIsComment", "DeleteFile: C:\\a;b.txt", {"DeleteFile:", "C:\\a"}}), CaseName);

INSTANTIATE_TEST_SUITE_P(NoPairs, LinePairsTest, testing::Values(
    PairsCase{"CommentLine", "   ; note", {}},
    PairsCase{"BlankLine", "   ", {}},
    PairsCase{"NoSeparator", "no separator here", {}},
    PairsCase{"GuardedColonOnly", "C:\\dir http://x", {}}), CaseName);

// Lines on which the next colon has no blank before it (or only at the very
// start of what remains) take the text up to that colon and end there.
INSTANTIATE_TEST_SUITE_P(UnsplittableColon, LinePairsTest, testing::Values(
    PairsCase{"KeyValueWithColon", "Title=Setup:Final", {"Title:", "Setup"}},
    PairsCase{"CommandWithoutBlanks", "MessageBox:Hi:there", {"MessageBox:", "Hi"}},
    PairsCase{"OnlyBlankAtStartOfRest", "A B=C:D", {"A B:", "", " B", "C"}},
    PairsCase{"ParameterWithoutBlank", "Run: a Param:x:y", {"Run:", "a", " Param", "x"}},
    PairsCase{"ManyColons", "X::::", {"X:", ""}}), CaseName);

struct SectionCase {
    const char* name;
    std::string script;
    std::string section;
    CStringArray pairs;
};

void PrintTo(const SectionCase& c, std::ostream* os) { *os << c.name; }

std::string SectionCaseName(const testing::TestParamInfo<SectionCase>& info)
{
    return info.param.name;
}

class SectionPairsTest : public testing::TestWithParam<SectionCase> {};

TEST_P(SectionPairsTest, ReadsOnlyTheSection)
{
    CScript script(GetParam().script);
    CStringArray pairs;
    script.GetSectionPairs(GetParam().section, pairs);
    EXPECT_EQ(pairs, GetParam().pairs);
}

INSTANTIATE_TEST_SUITE_P(Sections, SectionPairsTest, testing::Values(
    SectionCase{"OtherSectionsNotRead",
                "[Setup]\r\nTitle=T\r\n[Files]\r\na=b\r\n[Tasks]\r\nRun: x\r\n", "Setup", {"Title:", "T"}},
    SectionCase{"LinesInScriptOrder",
                "[Tasks]\r\nRun: a\r\n\r\n; skip\r\nDeleteFile: b\r\n", "Tasks", {"Run:", "a", "DeleteFile:", "b"}},
    SectionCase{"MissingSection", "[Setup]\r\nTitle=T\r\n", "Tasks", {}},
    SectionCase{"HeaderIsCaseSensitive", "[tasks]\r\nRun: x\r\n", "Tasks", {}},
    SectionCase{"HeaderFirstInComment",
                "; see [Setup] below\r\n[Setup]\r\nTitle=T\r\n", "Setup", {}},
    SectionCase{"BracketInValueEndsSection",
                "[Setup]\r\nReadme=See [docs] here\r\nTitle=T\r\n", "Setup", {"Readme:", "See"}},
    SectionCase{"TextAfterHeaderIsALine", "[Tasks] Run: x\r\n", "Tasks", {"[Tasks] Run:", "x"}},
    SectionCase{"LoneLfEndsLine", "[Tasks]\nRun: a\nRun: b", "Tasks", {"Run:", "a", "Run:", "b"}},
    SectionCase{"LoneCrIsNoLineBreak", "[Tasks]\rRun: a Run: b", "Tasks", {"[Tasks]Run:", "a", " Run", "b"}}),
    SectionCaseName);

TEST(SectionPairs, AppendsToTheArray)
{
    CScript script("[Tasks]\r\nRun: x\r\n");
    CStringArray pairs{"keep", "me"};
    script.GetSectionPairs("Tasks", pairs);
    EXPECT_EQ(pairs, (CStringArray{"keep", "me", "Run:", "x"}));
}

} // namespace
