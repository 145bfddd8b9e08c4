// The user interface on Linux: the wiring of the posix platform's desktop,
// FLTK windows on X, and the terminal for installers without them.
#include "platform/UserInterface.h"
#include "platform/fltk/FltkChoiceList.h"
#include "platform/fltk/FltkDialog.h"
#include "platform/fltk/FltkFileDialog.h"
#include "platform/fltk/FltkMessageBox.h"
#include "platform/term/TermInterface.h"

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
    return std::make_unique<CTermInterface<CFltkDialog, CFltkChoiceList, CFltkFileDialog>>(mode, in, out, program);
}
