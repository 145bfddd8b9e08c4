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

// A control that keeps its state and draws nothing itself: the terminal's
// controls, which are drawn as lines when the dialog shows, and the tests'
// fakes. TControl is IControl or an interface derived from it.
template <class TControl = IControl>
class CControlState : public TControl {
public:
    void SetWindowText(const std::string& text) override { m_text = text; }
    std::string GetWindowText() const override { return m_text; }
    void ShowWindow(bool show) override { m_visible = show; }
    bool IsWindowVisible() const override { return m_visible; }
    void EnableWindow(bool enable) override { m_enabled = enable; }
    bool IsWindowEnabled() const override { return m_enabled; }
    void MoveWindow(const CRect& rect) override { m_rect = rect; }
    CRect GetWindowRect() const override { return m_rect; }

    std::string m_text;
    bool m_visible = true;
    bool m_enabled = true;
    CRect m_rect;
};
