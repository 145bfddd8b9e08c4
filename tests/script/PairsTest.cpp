#include "script/Script.h"

#include <gtest/gtest.h>

namespace {

struct PairsCase {
    const char* line;
    CStringArray pairs;
};

CStringArray TaskPairs(const std::string& lines)
{
    CScript script("[Tasks]\r\n" + lines + "\r\n");
    CStringArray pairs;
    script.GetSectionPairs("Tasks", pairs);
    return pairs;
}

class PairsTest : public testing::TestWithParam<PairsCase> {};

TEST_P(PairsTest, SplitsLineIntoPairs)
{
    EXPECT_EQ(TaskPairs(GetParam().line), GetParam().pairs) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Language, PairsTest, testing::Values(
    PairsCase{"Title=Setup 2", {"Title:", "Setup 2"}},
    PairsCase{"  Title=Setup 2", {"  Title:", "Setup 2"}},
    PairsCase{"ExtractFile: setup.exe To: C:\\Program Files\\App\\setup.exe",
              {"ExtractFile:", "setup.exe", " To", "C:\\Program Files\\App\\setup.exe"}},
    PairsCase{"SetRegString: HKEY_CURRENT_USER Key: Software\\My App Query: Name Value: some text",
              {"SetRegString:", "HKEY_CURRENT_USER", " Key", "Software\\My App", " Query", "Name", " Value", "some text"}},
    PairsCase{"Run: tool.exe Param: a=b", {"Run: tool.exe Param: a:", "b"}},
    PairsCase{"Text: a#!b", {"Text:", "a://b"}},
    PairsCase{"Run: http://example.org/x", {"Run:", "http://example.org/x"}},
    PairsCase{"SetRegDword: HKEY_USERS Value:", {"SetRegDword:", "HKEY_USERS", " Value", ""}},
    PairsCase{"Title=A;B", {"Title:", "A"}},
    PairsCase{"   ; note", {}},
    PairsCase{"no separator here", {}},
    PairsCase{"Title=Version 2: new", {"Title:", "Version", " 2", "new"}},
    PairsCase{"Readme=Notes:\\nmore", {"Readme:", "Notes:\\nmore"}},
    // Lines whose next colon has no blank before it end after one value.
    PairsCase{"Title=Setup:Final", {"Title:", "Setup"}},
    PairsCase{"MessageBox:Hi:there", {"MessageBox:", "Hi"}},
    PairsCase{"A B=C:D", {"A B:", "", " B", "C"}}));

} // namespace
