#include "platform/win32gui/Win32MessageBox.h"

#include "platform/win32/Wide.h"
#include "platform/win32gui/Win32Dialog.h"

#include <windows.h>

int CWin32MessageBox::Show(const std::string& text, const std::string& caption, unsigned style)
{
    const int answer = ::MessageBoxW(m_owner.Handle(), Wide(text).c_str(), Wide(caption).c_str(), style);
    if (answer != 0)
        return answer;
    // No box could be shown: the answer of a box closed without a choice.
    switch (style & kBoxTypeMask) {
    case kBoxYesNoCancel:
        return kAnswerCancel;
    case kBoxYesNo:
        return kAnswerNo;
    default:
        return kAnswerOk;
    }
}
