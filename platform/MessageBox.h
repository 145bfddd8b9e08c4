// Message boxes. Styles and answers have names of their own but keep the
// numbers of the Win32 message box, so the values the program is described
// with (0x10 error, 0x24 question with Yes/No, ...) are the values the code
// passes, and a Win32 realisation hands them on unchanged.
#pragma once

#include <string>

enum BoxStyle : unsigned {
    kBoxOk = 0x00,
    kBoxYesNoCancel = 0x03,
    kBoxYesNo = 0x04,
    kBoxIconError = 0x10,
    kBoxIconQuestion = 0x20,
    kBoxIconWarning = 0x30,
    kBoxIconInformation = 0x40,
    kBoxTypeMask = 0x0F,
    kBoxIconMask = 0xF0,
};

// The button a box was closed with; kAnswerOk and kAnswerCancel are also
// the results a dialog's modal loop ends with.
enum BoxAnswer : int {
    kAnswerOk = 1,
    kAnswerCancel = 2,
    kAnswerYes = 6,
    kAnswerNo = 7,
};

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // Shows a modal box and returns the button the user chose (kAnswerOk, kAnswerYes, ...).
    virtual int Show(const std::string& text, const std::string& caption, unsigned style) = 0;
};
