// The setup screen: the controls of the main dialog that installer mode
// shows, the conversions of the setup keys' values, and the layout of the
// client area for either mode.
#pragma once

#include "platform/Control.h"
#include "platform/Dialog.h"
#include "platform/Progress.h"

#include <string>

// The dialog and the controls the setup screen and the task pass work on.
struct CSetupScreen {
    IDialogWindow& dialog;
    IControl& title;       // 1009, the heading band
    IControl& readme;      // 1010
    IControl& separator;   // 1012, the etched line
    IControl& status;      // 1001
    IProgressCtrl& progress; // 1011
    IControl& applyButton; // 1
    IControl& editor;      // 1002
};

// The Readme value as shown: "\n" (backslash, n) becomes CR LF, then "\t"
// a tab; any other backslash stays.
std::string ReadmeText(const std::string& value);

// The Size value: "width,height", or one number for both, each read as
// atoi reads it.
struct CWindowSize {
    int cx = 0;
    int cy = 0;
};
CWindowSize ParseSize(const std::string& value);

// Where the layout puts the read-me box in a client area of w by h pixels.
CRect ReadmeRect(int w, int h);

// Places the controls in the dialog's client area: the setup screen's
// heading, read-me box, etched line, status line or progress bar, and the
// button; or the editor and the status line in editor mode.
void LayoutControls(CSetupScreen& screen, bool editorMode);
