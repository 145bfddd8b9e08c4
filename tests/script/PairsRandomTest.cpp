// GetSectionPairs must end on any line and always give whole pairs, whatever
// mix of separators, guards and comments the line holds.
#include "script/Script.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string_view>

namespace {

std::string RandomLine(std::mt19937& random)
{
    static constexpr std::array<std::string_view, 16> kPieces = {
        "=", ":", ";", " ", "  ", "[", "\r", "\n", "://", ":\\", "#!", "#?", "a", "Bc", "To", "\t",
    };
    std::uniform_int_distribution<std::size_t> length(0, 40);
    std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
    std::string line;
    for (std::size_t n = length(random); n > 0; --n)
        line += kPieces[piece(random)];
    return line;
}

bool IsTrimmed(const std::string& value)
{
    constexpr std::string_view kWhite = " \t\r\n\v\f";
    return value.empty() || (kWhite.find(value.front()) == std::string_view::npos &&
                             kWhite.find(value.back()) == std::string_view::npos);
}

TEST(PairsRandom, EveryLineEndsWithWholePairs)
{
    std::mt19937 random(20240611);
    for (int i = 0; i < 20000; ++i) {
        const std::string line = RandomLine(random);
        SCOPED_TRACE(testing::Message() << "line " << i << ": " << testing::PrintToString(line));
        CStringArray pairs;
        CScript("[Tasks]\r\n" + line + "\r\n").GetSectionPairs("Tasks", pairs);

        ASSERT_EQ(pairs.size() % 2, 0u);
        // Each round of a line shortens what remains of it by at least one byte.
        ASSERT_LE(pairs.size(), 2 * (line.size() + 1));
        if (!pairs.empty()) {
            EXPECT_TRUE(pairs.front().ends_with(':')) << pairs.front();
        }
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            const std::string& item = pairs[k];
            EXPECT_EQ(item.find_first_of("\r\n;"), std::string::npos) << item;
            if (k % 2 == 1) {
                EXPECT_TRUE(IsTrimmed(item)) << item;
                EXPECT_EQ(item.find("#!"), std::string::npos) << item;
                EXPECT_EQ(item.find("#?"), std::string::npos) << item;
            }
        }
    }
}

TEST(PairsRandom, WholeScriptGivesWholePairs)
{
    std::mt19937 random(7);
    // Without '[' the section runs over every line.
    std::string text = "[Tasks]\r\n";
    for (int i = 0; i < 20000; ++i) {
        std::string line = RandomLine(random);
        std::erase(line, '[');
        text += line + "\r\n";
    }
    CStringArray pairs;
    CScript(text).GetSectionPairs("Tasks", pairs);
    EXPECT_EQ(pairs.size() % 2, 0u);
    EXPECT_GT(pairs.size(), 20000u);
}

} // namespace
