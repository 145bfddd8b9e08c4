// The user interface on Windows: the wiring of the Win32 platform's desktop,
// the dialog manager's windows, and the terminal for installers without
// them.
#include "platform/UserInterface.h"
#include "platform/term/TermInterface.h"
#include "platform/win32gui/Win32ChoiceList.h"
#include "platform/win32gui/Win32Dialog.h"
#include "platform/win32gui/Win32FileDialog.h"
#include "platform/win32gui/Win32MessageBox.h"

#include <windows.h>

namespace {

class CWin32Desktop : public IUserInterface {
public:
    IDialogWindow& Window() override { return m_window; }
    IMessageBox& Box() override { return m_box; }
    IChoiceList& ChoiceList() override { return m_choiceList; }
    IFileDialog& FileDialog() override { return m_fileDialog; }
    IProgressLog* Log() override { return nullptr; }
    bool Succeeded() const override { return true; }

private:
    CWin32Dialog m_window;
    CWin32MessageBox m_box{m_window};
    CWin32ChoiceList m_choiceList{m_window};
    CWin32FileDialog m_fileDialog{&m_window};
};

std::string& NoDesktop()
{
    static std::string reason = "no desktop";
    return reason;
}

// A service runs in a window station the user never sees.
bool OnVisibleWindowStation()
{
    USEROBJECTFLAGS flags{};
    const HWINSTA station = ::GetProcessWindowStation();
    if (!station || !::GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr))
        return true; // cannot tell: try the window
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

} // namespace

bool ConnectDesktop()
{
    if (!OnVisibleWindowStation()) {
        NoDesktop() = "no interactive desktop (the window station is not visible: a service?)";
        return false;
    }
    // Wine without a display, and a Windows without a desktop, make no
    // top-level window: try one.
    const HWND probe = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr);
    if (!probe) {
        NoDesktop() = "cannot make a window (no display?)";
        return false;
    }
    ::DestroyWindow(probe);
    return true;
}

std::string NoDesktopReason()
{
    return NoDesktop();
}

std::unique_ptr<IUserInterface> MakeDesktop()
{
    return std::make_unique<CWin32Desktop>();
}

// Windows has no display to lose while the program runs; the session ends
// instead (log off, shut down), and with it the process: the unsaved text is
// saved then.
void OnDesktopLost(std::function<std::string()> save)
{
    Win32OnSessionEnd(std::move(save));
}

std::unique_ptr<IUserInterface> MakeTerminal(TermMode mode, std::FILE* in, std::FILE* out, const std::string& program)
{
    return std::make_unique<CTermInterface<CWin32Dialog, CWin32ChoiceList, CWin32FileDialog>>(mode, in, out, program);
}
