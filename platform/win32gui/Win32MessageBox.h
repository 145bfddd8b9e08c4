// Message boxes on Win32: the system's own, owned by the dialog once it
// exists.
#pragma once

#include "platform/MessageBox.h"

class CWin32Dialog;

class CWin32MessageBox : public IMessageBox {
public:
    explicit CWin32MessageBox(const CWin32Dialog& owner) : m_owner(owner) {}

    // The style's numbers are the system's: they go to it unchanged.
    int Show(const std::string& text, const std::string& caption, unsigned style) override;

private:
    const CWin32Dialog& m_owner;
};
