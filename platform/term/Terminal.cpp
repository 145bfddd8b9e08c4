#include "platform/term/Terminal.h"

#include <cctype>
#include <vector>

namespace {

// Texts keep the CR LF line ends of scripts; a terminal wants LF.
std::string WithoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

} // namespace

void CTerminal::Line(const std::string& text)
{
    // "\r" and erase-line take the bar away; the line goes where it was.
    if (!m_bar.empty())
        std::fputs("\r\033[K", m_out);
    std::fprintf(m_out, "%s\n", text.c_str());
    if (!m_bar.empty())
        std::fputs(m_bar.c_str(), m_out);
    std::fflush(m_out);
}

void CTerminal::DrawBar(const std::string& bar)
{
    if (m_mode != TermMode::Text || bar == m_bar)
        return;
    std::fprintf(m_out, "\r%s", bar.c_str());
    std::fflush(m_out);
    m_bar = bar;
}

void CTerminal::EndBar()
{
    if (m_bar.empty())
        return;
    std::fputc('\n', m_out);
    std::fflush(m_out);
    m_bar.clear();
}

bool CTerminal::Ask(const std::string& prompt, std::string& answer)
{
    EndBar();
    std::fputs(prompt.c_str(), m_out);
    std::fflush(m_out);
    answer.clear();
    for (int c = std::fgetc(m_in); c != '\n'; c = std::fgetc(m_in)) {
        if (c == EOF) {
            std::fputc('\n', m_out);
            return false;
        }
        answer += static_cast<char>(c);
    }
    return true;
}

int CTermMessageBox::Show(const std::string& text, const std::string& caption, unsigned style)
{
    struct CChoice {
        const char* label;
        int id;
    };
    // The first choice is the default; cancel is what the close box answers.
    const CChoice yes{"Yes", kAnswerYes}, no{"No", kAnswerNo}, cancel{"Cancel", kAnswerCancel}, ok{"OK", kAnswerOk};
    std::vector<CChoice> choices{ok};
    int closeAnswer = kAnswerOk;
    if ((style & kBoxTypeMask) == kBoxYesNoCancel) {
        choices = {yes, no, cancel};
        closeAnswer = kAnswerCancel;
    } else if ((style & kBoxTypeMask) == kBoxYesNo) {
        choices = {yes, no};
        closeAnswer = kAnswerNo;
    }

    const std::string shown = WithoutCarriageReturns(text);
    if (m_terminal.Mode() == TermMode::Silent) {
        m_terminal.Line(caption.empty() ? shown : caption + ": " + shown);
        return choices.front().id;
    }

    m_terminal.EndBar();
    m_terminal.Line("");
    if (!caption.empty())
        m_terminal.Line("-- " + caption + " --");
    m_terminal.Line(shown);
    std::string prompt = "Press Enter for OK: ";
    if (choices.size() > 1) {
        prompt.clear();
        for (const CChoice& choice : choices)
            prompt += std::string(prompt.empty() ? "" : ", ") + "(" + choice.label[0] + ")" + (choice.label + 1);
        prompt += std::string(" [Enter: ") + choices.front().label + "]: ";
    }
    std::string answer;
    while (m_terminal.Ask(prompt, answer)) {
        if (answer.empty() || choices.size() == 1)
            return choices.front().id;
        for (const CChoice& choice : choices) {
            if (std::tolower(static_cast<unsigned char>(answer[0])) == std::tolower(choice.label[0]))
                return choice.id;
        }
    }
    return closeAnswer;
}

void CTermProgressLog::StepStarted(int number, int count, const std::string& what)
{
    m_terminal.Line("[" + std::to_string(number) + "/" + std::to_string(count) + "] " + what);
}

void CTermProgressLog::StepFailed(const std::string& what)
{
    ++m_failures;
    m_terminal.Line(m_program + ": failed: " + what);
}
