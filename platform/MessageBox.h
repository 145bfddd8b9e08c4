// Message boxes. Styles and answers keep the Win32 numbers, so the values the
// program is described with (0x10 error, 0x24 question with Yes/No, ...) are
// the values the code passes.
#pragma once

#include <string>

enum : unsigned {
    MB_OK = 0x00,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONHAND = 0x10,
    MB_ICONERROR = MB_ICONHAND,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_TYPEMASK = 0x0F,
    MB_ICONMASK = 0xF0,
};

enum : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // Shows a modal box and returns the button the user chose (IDOK, IDYES, ...).
    virtual int Show(const std::string& text, const std::string& caption, unsigned style) = 0;
};
