// Message boxes on FLTK: a modal window over the dialog with an icon glyph
// for the icon kind, the text, and OK, Yes/No or Yes/No/Cancel buttons.
#pragma once

#include "platform/MessageBox.h"

class CFltkDialog;

class CFltkMessageBox : public IMessageBox {
public:
    // Boxes are centred over the dialog's window while it is shown.
    explicit CFltkMessageBox(const CFltkDialog& owner) : m_owner(owner) {}

    int Show(const std::string& text, const std::string& caption, unsigned style) override;

private:
    const CFltkDialog& m_owner;
};
