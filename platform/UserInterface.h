// What the program shows its user: the desktop's windows or, for an
// installer without them (--silent, or no display), the terminal. The
// platform's desktop wiring makes both from its realisations.
#pragma once

#include "platform/ChoiceList.h"
#include "platform/Dialog.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Progress.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

enum class TermMode {
    Silent, // nothing is asked: every message box takes its default answer
    Text,   // the user answers on the terminal
};

class IUserInterface {
public:
    virtual ~IUserInterface() = default;
    virtual IDialogWindow& Window() = 0;
    virtual IMessageBox& Box() = 0;
    virtual IChoiceList& ChoiceList() = 0;
    virtual IFileDialog& FileDialog() = 0;
    // Told of each task and each failure where there is room for words;
    // nullptr in a window.
    virtual IProgressLog* Log() = 0;
    // Once the dialog ended: false when a task failed or the install was
    // cancelled. A window's user saw every failure, so a window says true.
    virtual bool Succeeded() const = 0;
};

// Connects to the desktop; false when there is none.
bool ConnectDesktop();
// Why there is no desktop, for a message: "no X display (DISPLAY is not set)".
std::string NoDesktopReason();
// The desktop's windows; only once ConnectDesktop succeeded.
std::unique_ptr<IUserInterface> MakeDesktop();
// What to do before the program ends because the desktop went away: saves
// what can be saved and returns where it went, or "" when there was nothing
// to save. nullptr: nothing.
void OnDesktopLost(std::function<std::string()> save);
// The dialog and its boxes on a terminal that reads in and writes out; the
// progress words' failures name program.
std::unique_ptr<IUserInterface> MakeTerminal(TermMode mode, std::FILE* in, std::FILE* out, const std::string& program);
