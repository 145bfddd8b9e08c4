// The user interface on Linux: the wiring of the posix platform's desktop,
// FLTK windows on X, and the terminal for installers without them.
#include "platform/UserInterface.h"
#include "platform/fltk/FltkChoiceList.h"
#include "platform/fltk/FltkDialog.h"
#include "platform/fltk/FltkFileDialog.h"
#include "platform/fltk/FltkMessageBox.h"
#include "platform/term/TermDialog.h"

#include <cstdlib>

namespace {

class CFltkDesktop : public IUserInterface {
public:
    IDialogWindow& Window() override { return m_window; }
    IMessageBox& Box() override { return m_box; }
    IChoiceList& ChoiceList() override { return m_choiceList; }
    IFileDialog& FileDialog() override { return m_fileDialog; }
    IProgressLog* Log() override { return nullptr; }
    bool Succeeded() const override { return true; }

private:
    CFltkDialog m_window;
    CFltkMessageBox m_box{m_window};
    CFltkChoiceList m_choiceList{m_window};
    CFltkFileDialog m_fileDialog;
};

class CTermInterface : public IUserInterface {
public:
    CTermInterface(TermMode mode, std::FILE* in, std::FILE* out, const std::string& program)
        : m_terminal(mode, in, out), m_log(m_terminal, program)
    {
    }
    IDialogWindow& Window() override { return m_window; }
    IMessageBox& Box() override { return m_box; }
    IChoiceList& ChoiceList() override { return m_choiceList; }
    IFileDialog& FileDialog() override { return m_fileDialog; }
    IProgressLog* Log() override { return &m_log; }
    bool Succeeded() const override { return !m_log.Failures() && !m_window.Cancelled(); }

private:
    CTerminal m_terminal;
    CTermDialog m_window{m_terminal};
    CTermMessageBox m_box{m_terminal};
    CTermProgressLog m_log;
    // The editor's own services; an installer never opens them.
    CFltkDialog m_editorWindow;
    CFltkChoiceList m_choiceList{m_editorWindow};
    CFltkFileDialog m_fileDialog;
};

} // namespace

bool ConnectDesktop()
{
    return FltkOpenDisplay();
}

std::string NoDesktopReason()
{
    const char* display = std::getenv("DISPLAY");
    if (display && *display)
        return std::string("cannot open the X display \"") + display + "\"";
    return "no X display (DISPLAY is not set)";
}

std::unique_ptr<IUserInterface> MakeDesktop()
{
    return std::make_unique<CFltkDesktop>();
}

void OnDesktopLost(std::function<std::string()> save)
{
    FltkOnDisplayLost(std::move(save));
}

std::unique_ptr<IUserInterface> MakeTerminal(TermMode mode, std::FILE* in, std::FILE* out, const std::string& program)
{
    return std::make_unique<CTermInterface>(mode, in, out, program);
}
