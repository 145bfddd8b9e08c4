#include "platform/win32gui/Win32ChoiceList.h"

#include "platform/win32/Wide.h"
#include "platform/win32gui/Win32Dialog.h"
#include "platform/win32gui/Win32ResourceIds.h"

#include <windows.h>

#include <algorithm>

namespace {

struct CChoices {
    const std::string& caption;
    const std::string& heading;
    const std::vector<std::string>& items;
    // The layout as the template has it: margins kept when resized.
    RECT client{};
};

// The selected item ends the dialog; with none, nothing happens.
void Pick(HWND dialog)
{
    const LRESULT selected = ::SendDlgItemMessageW(dialog, IDC_CHOICE_ITEMS, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR)
        ::EndDialog(dialog, selected);
}

void Fill(HWND dialog, const CChoices& choices)
{
    ::SetWindowTextW(dialog, Wide(choices.caption).c_str());
    ::SetDlgItemTextW(dialog, IDC_CHOICE_HEADING, Wide(choices.heading).c_str());
    const HWND list = ::GetDlgItem(dialog, IDC_CHOICE_ITEMS);
    const HDC dc = ::GetDC(list);
    const HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const std::string& item : choices.items) {
        const std::wstring text = Wide(item);
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SIZE size{};
        if (::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(list, dc);
    // A long line scrolls sideways.
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    if (!choices.items.empty())
        ::SendMessageW(list, LB_SETCURSEL, 0, 0);
    ::SetFocus(list);
}

// The list takes what the dialog's size leaves; the buttons keep to the
// bottom right.
void Layout(HWND dialog, const CChoices& choices, int cx, int cy)
{
    const int dx = cx - choices.client.right;
    const int dy = cy - choices.client.bottom;
    for (const int id : {IDC_CHOICE_HEADING, IDC_CHOICE_ITEMS, IDOK, IDCANCEL}) {
        const HWND control = ::GetDlgItem(dialog, id);
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
        if (id == IDOK || id == IDCANCEL)
            ::OffsetRect(&rect, dx, dy);
        else
            rect.right += dx;
        if (id == IDC_CHOICE_ITEMS)
            rect.bottom += dy;
        ::MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    }
}

INT_PTR CALLBACK ChoicesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* choices = reinterpret_cast<CChoices*>(::GetWindowLongPtrW(dialog, GWLP_USERDATA));
    switch (message) {
    case WM_INITDIALOG:
        ::SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        choices = reinterpret_cast<CChoices*>(lParam);
        ::GetClientRect(dialog, &choices->client);
        Fill(dialog, *choices);
        return FALSE; // the focus is on the list
    case WM_SIZE:
        if (choices && wParam != SIZE_MINIMIZED) {
            Layout(dialog, *choices, LOWORD(lParam), HIWORD(lParam));
            ::GetClientRect(dialog, &choices->client);
        }
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            Pick(dialog);
            return TRUE;
        case IDCANCEL:
            ::EndDialog(dialog, -1);
            return TRUE;
        case IDC_CHOICE_ITEMS:
            if (HIWORD(wParam) == LBN_DBLCLK)
                Pick(dialog);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

} // namespace

int CWin32ChoiceList::Choose(const std::string& caption, const std::string& heading,
                             const std::vector<std::string>& items)
{
    CChoices choices{caption, heading, items};
    // -1 also when the dialog could not be made: nothing was picked.
    const INT_PTR picked = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CHOICE_LIST),
                                             m_owner.Handle(), ChoicesProc, reinterpret_cast<LPARAM>(&choices));
    return picked >= 0 && static_cast<std::size_t>(picked) < items.size() ? static_cast<int>(picked) : -1;
}
