#include "platform/win32gui/Win32FileDialog.h"

#include "platform/win32/Wide.h"
#include "platform/win32gui/Win32Dialog.h"

#include <windows.h>
#include <commdlg.h>

namespace {

// Room for the longest path Windows has.
constexpr DWORD kPathRoom = 32768;

std::wstring CurrentFolder()
{
    std::wstring folder(kPathRoom, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(kPathRoom, folder.data());
    folder.resize(length < kPathRoom ? length : 0);
    return folder;
}

} // namespace

std::wstring ToWin32Filter(const std::string& filter)
{
    std::wstring out;
    for (const FileFilter& pair : FilterPairs(filter)) {
        if (pair.pattern.empty())
            break; // Windows ends the list at an empty text
        // A NUL inside a text would end the list early.
        for (const std::string& part : {pair.description, pair.pattern}) {
            for (wchar_t c : Wide(part)) {
                if (c != L'\0')
                    out += c;
            }
            out += L'\0';
        }
    }
    out += L'\0';
    return out;
}

std::string CWin32FileDialog::DoModal(const FileDialogOptions& options)
{
    const std::wstring filter = ToWin32Filter(options.filter);
    const std::wstring title = Wide(options.title);
    // As the system's own dialogs did, it opens in the current folder, and
    // the folder changes only once a file is chosen.
    const std::wstring folder = CurrentFolder();
    std::wstring path(kPathRoom, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_owner ? m_owner->Handle() : nullptr;
    dialog.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathRoom;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // No question before an existing file is chosen to be saved over: the
    // caller decides.
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                   (options.kind == FileDialogOptions::Kind::Open ? OFN_FILEMUSTEXIST : 0);
    const BOOL chosen = options.kind == FileDialogOptions::Kind::Open ? ::GetOpenFileNameW(&dialog)
                                                                       : ::GetSaveFileNameW(&dialog);
    if (!chosen || path[0] == L'\0') {
        if (!folder.empty())
            ::SetCurrentDirectoryW(folder.c_str());
        return {};
    }
    path.resize(::lstrlenW(path.c_str()));
    // A bare file name now names the chosen file; a folder that cannot be
    // entered leaves the current one as it was.
    if (dialog.nFileOffset > 0 && dialog.nFileOffset < path.size()) {
        if (!::SetCurrentDirectoryW(path.substr(0, dialog.nFileOffset).c_str()) && !folder.empty())
            ::SetCurrentDirectoryW(folder.c_str());
    }
    return Utf8(path);
}
