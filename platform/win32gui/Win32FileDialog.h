// The common file dialog on Win32: GetOpenFileNameW and GetSaveFileNameW.
#pragma once

#include "platform/FileDialog.h"

#include <string>

class CWin32Dialog;

class CWin32FileDialog : public IFileDialog {
public:
    // owner: the window the dialog is modal to, when there is one.
    explicit CWin32FileDialog(const CWin32Dialog* owner = nullptr) : m_owner(owner) {}

    std::string DoModal(const FileDialogOptions& options) override;

private:
    const CWin32Dialog* m_owner;
};

// "desc|pattern|" pairs as the dialog takes them: each text ended by a NUL,
// the list by one more. A description without its pattern is left out.
std::wstring ToWin32Filter(const std::string& filter);
