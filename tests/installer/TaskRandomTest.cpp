// Random [Tasks] sections through the task pass: whatever the script says,
// the pass ends with the screen restored, and every step stays in bounds.
#include "tests/installer/InterpreterFixture.h"

#include <gtest/gtest.h>

#include <random>
#include <unistd.h>

namespace {

const std::vector<std::string> kHeads = {
    "ExtractFile:", "ExtractAll:", "MoveFile:", "DeleteFile:", "Run:", "CreateRegKey:", "SetRegString:", "SetRegDword:",
    "WriteToFile:", "MessageBox:", "WindowTitle=", "Readme=", "Title=", "OK=", "Status=", "Size=", "Note:", "", ";",
};
const std::vector<std::string> kParams = {" To:", " Param:", " Key:", " Query:", " Value:", " Text:", " Mode:", " Icon:", " Other:"};
// Paths stay inside the test's folder: relative names, or the macros that
// name places in it. Nothing here can form "..".
const std::vector<std::string> kValues = {
    "a.txt", "data.txt", "CURDIR\\out", "CURDIR\\sub\\", "DSKDIR\\d.txt", "WINDIR\\tool", "CREATE", "HKEY_CURRENT_USER",
    "12abc", "-1", "99999999999", "MB_ICONQUESTION", "MB_ICONASTERISK ", "Readme", "Title", "Size", "\\n\\t", "",
    "x=y", "a:b", "http://h", "C:\\dir", "320,250", "-5,-5", "[Files]", "empty.bin", "$(id) `id`", "\xC3\xA9\x7F\t#!",
};

TEST_F(CInterpreterTest, RandomTasksEveryPassEndsWithTheScreenRestored)
{
    // Relative paths land in the test's folder.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.Path());
    CFakeRegistry registry;
    CTaskContext context{m_screen, false, m_script, m_reader, m_folders, m_shell, m_box, registry, "setup"};
    std::mt19937 rng(20240607);
    auto pick = [&rng](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    };
    auto count = [&rng](int most) { return std::uniform_int_distribution<int>(0, most)(rng); };
    std::size_t boxes = 0, started = 0;
    for (int run = 0; run < 10000; ++run) {
        std::string tasks = "[Tasks]\r\n";
        for (int line = count(8); line > 0; --line) {
            tasks += pick(kHeads) + " " + pick(kValues) + (count(2) ? " " + pick(kValues) : "");
            for (int param = count(3); param > 0; --param)
                tasks += pick(kParams) + " " + pick(kValues);
            tasks += count(3) ? "\r\n" : "\n";
        }
        CStringArray pairs;
        CScript(tasks).GetSectionPairs("Tasks", pairs);
        m_progress.m_positions.clear();
        m_box.m_calls.clear();
        m_shell.m_calls.clear();

        m_script.SetText(tasks);
        CTaskInterpreter(context).RunScriptSection(false);
        boxes += m_box.m_calls.size();
        started += m_shell.m_calls.size();

        ASSERT_TRUE(m_button.IsWindowEnabled()) << tasks;
        ASSERT_FALSE(m_progress.IsWindowVisible()) << tasks;
        ASSERT_TRUE(m_status.IsWindowVisible()) << tasks;
        ASSERT_EQ(m_progress.m_upper, static_cast<int>(pairs.size())) << tasks;
        ASSERT_EQ(m_progress.m_positions.back(), static_cast<int>(pairs.size())) << tasks;
        // Every step moves on.
        ASSERT_EQ(std::adjacent_find(m_progress.m_positions.begin(), m_progress.m_positions.end(), std::greater_equal<int>()),
                  m_progress.m_positions.end()) << tasks;
    }
    std::filesystem::current_path(previous);
    // The sections did reach the commands.
    EXPECT_GT(boxes, 1000u);
    EXPECT_GT(started, 1000u);
    EXPECT_FALSE(registry.m_values.empty());
}

} // namespace
