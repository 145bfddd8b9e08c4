// The terminal realisation of message boxes and of the words beside a
// progress bar, for installers that run without a window: silent (nothing
// is asked, every box takes its default answer) or text (the user answers
// on the terminal). Everything the user sees goes to one stream, stderr in
// the program, so stdout stays free.
#pragma once

#include "platform/MessageBox.h"
#include "platform/Progress.h"
#include "platform/UserInterface.h"

#include <cstdio>
#include <string>

class CTerminal {
public:
    CTerminal(TermMode mode, std::FILE* in, std::FILE* out) : m_mode(mode), m_in(in), m_out(out) {}

    TermMode Mode() const { return m_mode; }
    // A line of its own; in text mode the progress bar is drawn again below it.
    void Line(const std::string& text);
    // Text mode: the progress bar's line, drawn over the one before.
    void DrawBar(const std::string& bar);
    // The bar's line stays as it was last drawn; what follows starts below it.
    void EndBar();
    // Shows prompt and reads one line of input, without its line end; false
    // at the end of the input.
    bool Ask(const std::string& prompt, std::string& answer);

private:
    TermMode m_mode;
    std::FILE* m_in;
    std::FILE* m_out;
    std::string m_bar; // the bar's line while one is drawn
};

// A box is its caption and text. Silent: printed, and the default (first)
// button is the answer. Text: the buttons are offered as choices; Enter
// takes the first, the end of the input what the close box would.
class CTermMessageBox : public IMessageBox {
public:
    explicit CTermMessageBox(CTerminal& terminal) : m_terminal(terminal) {}
    int Show(const std::string& text, const std::string& caption, unsigned style) override;

private:
    CTerminal& m_terminal;
};

// "[3/12] ExtractAll: …" as each task starts, and "PROGRAM: failed: …" for
// each failure; the failures are counted for the exit status.
class CTermProgressLog : public IProgressLog {
public:
    CTermProgressLog(CTerminal& terminal, std::string program) : m_terminal(terminal), m_program(std::move(program)) {}
    void StepStarted(int number, int count, const std::string& what) override;
    void StepFailed(const std::string& what) override;
    int Failures() const { return m_failures; }

private:
    CTerminal& m_terminal;
    std::string m_program;
    int m_failures = 0;
};
