// Controls as thin handles: the logic sets and reads texts, shows, enables
// and moves windows through this, and the platform realises the handle (an
// FLTK widget, a Win32 window, or a test fake that records its state).
#pragma once

#include <string>

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const CRect&, const CRect&) = default;
};

class IControl {
public:
    virtual ~IControl() = default;
    virtual void SetWindowText(const std::string& text) = 0;
    virtual std::string GetWindowText() const = 0;
    virtual void ShowWindow(bool show) = 0;
    virtual bool IsWindowVisible() const = 0;
    virtual void EnableWindow(bool enable) = 0;
    virtual bool IsWindowEnabled() const = 0;
    // Position and size in the parent's client coordinates (pixels).
    virtual void MoveWindow(const CRect& rect) = 0;
    virtual CRect GetWindowRect() const = 0;
};
