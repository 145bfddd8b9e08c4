// Controls as Win32 windows. The logic speaks in pixels at 96 dots per
// inch, as the program was first laid out; the window's own DPI scales them,
// so a high-DPI monitor shows the same layout at its size.
#pragma once

#include "platform/Control.h"
#include "platform/win32/Wide.h"

#include <windows.h>

#include <string>

// The DPI of the monitor a window is on (96 where the system cannot say):
// the DPI its top-level window was last told of, else the system's.
unsigned WindowDpi(HWND window);
// Records the DPI a top-level window was told of (WM_DPICHANGED), for it
// and its controls; 0 forgets it, as the window must before it is gone.
void SetWindowDpi(HWND topLevel, unsigned dpi);
// Logic pixels to the window's device pixels, and back.
int ToDevice(HWND window, int pixels);
int ToLogic(HWND window, int pixels);
CRect ToDevice(HWND window, const CRect& rect);
CRect ToLogic(HWND window, const CRect& rect);

// The text of a window, UTF-8.
std::string WindowText(HWND window);

// IControl on a child window of a dialog. TControl is IControl or an
// interface derived from it.
template <class TControl = IControl>
class CWin32Control : public TControl {
public:
    explicit CWin32Control(HWND window) : m_hwnd(window) {}

    HWND Handle() const { return m_hwnd; }

    void SetText(const std::string& text) override { ::SetWindowTextW(m_hwnd, Wide(text).c_str()); }
    std::string GetText() const override { return WindowText(m_hwnd); }
    void Show(bool show) override { ::ShowWindow(m_hwnd, show ? SW_SHOW : SW_HIDE); }
    bool IsVisible() const override { return (::GetWindowLongW(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }
    void Enable(bool enable) override { ::EnableWindow(m_hwnd, enable); }
    bool IsEnabled() const override { return ::IsWindowEnabled(m_hwnd) != 0; }
    void Move(const CRect& rect) override
    {
        const CRect device = ToDevice(m_hwnd, rect);
        ::MoveWindow(m_hwnd, device.left, device.top, device.Width(), device.Height(), TRUE);
    }
    CRect GetRect() const override
    {
        RECT rect{};
        ::GetWindowRect(m_hwnd, &rect);
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(m_hwnd), reinterpret_cast<POINT*>(&rect), 2);
        return ToLogic(m_hwnd, CRect{rect.left, rect.top, rect.right, rect.bottom});
    }

protected:
    HWND m_hwnd;
};
