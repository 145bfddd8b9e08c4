// Random [Tasks] sections through the task pass: whatever the script says,
// the pass ends with the screen restored, and every step stays in bounds.
#include "tests/installer/InterpreterFixture.h"

#include <gtest/gtest.h>

#include <random>
#include <unistd.h>

namespace {

const char* const kHeads[] = {
    "ExtractFile:", "ExtractAll:", "MoveFile:", "DeleteFile:", "Run:",  "CreateRegKey:", "SetRegString:",
    "SetRegDword:", "WriteToFile:", "MessageBox:", "WindowTitle=", "Readme=", "Title=", "OK=",
    "Status=",      "Size=",       "Note:",       "",            ";",    "  ",
};
const char* const kParams[] = {" To:", " Param:", " Key:", " Query:", " Value:", " Text:", " Mode:", " Icon:", " Other:"};
// Paths stay inside the test's folder: relative names, or the macros that
// name places in it. Nothing here can form "..".
const char* const kValues[] = {
    "a.txt",     "data.txt",          "CURDIR\\out",        "CURDIR\\sub\\",      "DSKDIR\\d.txt",
    "WINDIR\\tool", "CREATE",         "HKEY_CURRENT_USER",  "HKEY_LOCAL_MACHINE", "12abc",
    "-1",        "99999999999",       "MB_ICONQUESTION",    "MB_ICONASTERISK ",   "Readme",
    "Title",     "Size",              "OK",                 "\\n\\t",             "",
    "x=y",       "a:b",               "http://h",           "C:\\dir",            "\"q\"",
    "320,250",   "0",                 "-5,-5",              "[Files]",            "empty.bin",
};
// Bytes for random words: no folder separator and no dot.
const char kAlphabet[] = "abcXYZ019 =:;[]\"'$`\t#!?_-,\xC3\xA9\x7F";

class CTaskRandomTest : public CInterpreterTest {
protected:
    std::string RandomValue(std::mt19937& rng)
    {
        std::string value;
        const int tokens = std::uniform_int_distribution<int>(0, 2)(rng);
        for (int t = 0; t < tokens; ++t) {
            if (t > 0)
                value += ' ';
            if (std::uniform_int_distribution<int>(0, 4)(rng) == 0) {
                const int length = std::uniform_int_distribution<int>(1, 8)(rng);
                for (int k = 0; k < length; ++k)
                    value += kAlphabet[std::uniform_int_distribution<std::size_t>(0, sizeof kAlphabet - 2)(rng)];
            } else {
                value += kValues[std::uniform_int_distribution<std::size_t>(0, std::size(kValues) - 1)(rng)];
            }
        }
        return value;
    }

    std::string RandomTasks(std::mt19937& rng)
    {
        std::string text = "[Tasks]\r\n";
        const int lines = std::uniform_int_distribution<int>(0, 8)(rng);
        for (int l = 0; l < lines; ++l) {
            text += kHeads[std::uniform_int_distribution<std::size_t>(0, std::size(kHeads) - 1)(rng)];
            text += " " + RandomValue(rng);
            const int params = std::uniform_int_distribution<int>(0, 3)(rng);
            for (int p = 0; p < params; ++p) {
                text += kParams[std::uniform_int_distribution<std::size_t>(0, std::size(kParams) - 1)(rng)];
                text += " " + RandomValue(rng);
            }
            text += std::uniform_int_distribution<int>(0, 3)(rng) == 0 ? "\n" : "\r\n";
        }
        return text;
    }
};

TEST_F(CTaskRandomTest, EveryPassEndsWithTheScreenRestored)
{
    // Relative paths land in the test's folder.
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(m_dir.Path().c_str()), 0);

    CFakeRegistry registry;
    CTaskContext context{m_screen, false, m_script, m_reader, m_folders, m_shell, m_box, registry, "setup"};
    std::mt19937 rng(20240607);
    std::size_t boxes = 0;
    std::size_t started = 0;
    for (int run = 0; run < 10000; ++run) {
        const std::string tasks = RandomTasks(rng);
        m_script.SetText(tasks);
        CStringArray pairs;
        m_script.GetSectionPairs("Tasks", pairs);
        m_progress.m_positions.clear();
        m_box.m_calls.clear();
        m_shell.m_calls.clear();

        CTaskInterpreter(context).RunScriptSection(false);
        boxes += m_box.m_calls.size();
        started += m_shell.m_calls.size();

        ASSERT_TRUE(m_button.IsWindowEnabled()) << tasks;
        ASSERT_FALSE(m_progress.IsWindowVisible()) << tasks;
        ASSERT_TRUE(m_status.IsWindowVisible()) << tasks;
        ASSERT_EQ(m_progress.m_upper, static_cast<int>(pairs.size() & 0xFFFF)) << tasks;
        ASSERT_EQ(m_progress.m_positions.back(), static_cast<int>(pairs.size())) << tasks;
        for (std::size_t k = 1; k < m_progress.m_positions.size(); ++k)
            ASSERT_LT(m_progress.m_positions[k - 1], m_progress.m_positions[k]) << tasks;
    }
    ASSERT_EQ(::chdir(previous), 0);
    // The sections did reach the commands.
    EXPECT_GT(boxes, 1000u);
    EXPECT_GT(started, 1000u);
    EXPECT_FALSE(registry.m_values.empty());
}

} // namespace
