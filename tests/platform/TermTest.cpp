// Message boxes on a terminal: the answer each input gives, in text mode and
// silent, and what the user sees.
#include "platform/term/Terminal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File TempFile(const std::string& bytes)
{
    File file(std::tmpfile(), std::fclose);
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::rewind(file.get());
    return file;
}

std::string Contents(std::FILE* file)
{
    std::rewind(file);
    std::string bytes;
    for (int c; (c = std::fgetc(file)) != EOF;)
        bytes += static_cast<char>(c);
    return bytes;
}

TEST(TermMessageBox, TheAnswerEachInputGives)
{
    const struct {
        TermMode mode;
        unsigned style;
        const char* input;
        int answer;
    } cases[] = {
        {TermMode::Text, kBoxOk, "anything\n", kAnswerOk},
        {TermMode::Text, kBoxYesNo, "\n", kAnswerYes}, // Enter: the first button
        {TermMode::Text, kBoxYesNo, "maybe\nn\n", kAnswerNo}, // asked again
        {TermMode::Text, kBoxYesNoCancel, "C\n", kAnswerCancel},
        // The end of the input answers as the close box does.
        {TermMode::Text, kBoxYesNo, "", kAnswerNo},
        {TermMode::Text, kBoxYesNoCancel, "", kAnswerCancel},
        {TermMode::Silent, kBoxYesNo | kBoxIconQuestion, "n\n", kAnswerYes},
    };
    for (const auto& c : cases) {
        File in = TempFile(c.input);
        File out = TempFile("");
        CTerminal terminal(c.mode, in.get(), out.get());
        EXPECT_EQ(CTermMessageBox(terminal).Show("m", "Setup", c.style), c.answer) << c.input;
    }
}

TEST(TermMessageBox, WhatTheUserSees)
{
    File in = TempFile("x\n\n");
    File out = TempFile("");
    CTerminal text(TermMode::Text, in.get(), out.get());
    CTermMessageBox(text).Show("Line one\r\nline two", "Setup", kBoxYesNo);
    EXPECT_EQ(Contents(out.get()), "\n-- Setup --\nLine one\nline two\n"
                                   "(Y)es, (N)o [Enter: Yes]: (Y)es, (N)o [Enter: Yes]: ");

    File silentOut = TempFile("");
    CTerminal silent(TermMode::Silent, in.get(), silentOut.get());
    CTermMessageBox(silent).Show("Line one\r\nline two", "Setup", kBoxOk);
    CTermMessageBox(silent).Show("No caption", "", kBoxOk);
    EXPECT_EQ(Contents(silentOut.get()), "Setup: Line one\nline two\nNo caption\n");
}

} // namespace
