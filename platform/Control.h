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
    virtual void SetText(const std::string& text) = 0;
    virtual std::string GetText() const = 0;
    virtual void Show(bool show) = 0;
    virtual bool IsVisible() const = 0;
    virtual void Enable(bool enable) = 0;
    virtual bool IsEnabled() const = 0;
    // Position and size in the parent's client coordinates (pixels).
    virtual void Move(const CRect& rect) = 0;
    virtual CRect GetRect() const = 0;
};

// A control that keeps its state and draws nothing itself: the terminal's
// controls, which are drawn as lines when the dialog shows, and the tests'
// fakes. TControl is IControl or an interface derived from it.
template <class TControl = IControl>
class CControlState : public TControl {
public:
    void SetText(const std::string& text) override { m_text = text; }
    std::string GetText() const override { return m_text; }
    void Show(bool show) override { m_visible = show; }
    bool IsVisible() const override { return m_visible; }
    void Enable(bool enable) override { m_enabled = enable; }
    bool IsEnabled() const override { return m_enabled; }
    void Move(const CRect& rect) override { m_rect = rect; }
    CRect GetRect() const override { return m_rect; }

    std::string m_text;
    bool m_visible = true;
    bool m_enabled = true;
    CRect m_rect;
};
