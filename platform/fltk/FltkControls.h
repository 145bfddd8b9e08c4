// FLTK widgets that are also the logic's control handles: each class is the
// widget itself and realises IControl (or IProgressCtrl) on it. Positions the
// logic gives are relative to the dialog's client area, which is the widget's
// parent group.
#pragma once

#include "platform/Dialog.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Multiline_Output.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Return_Button.H>

#include <string>

// Font size of every control's text: the FLTK size that matches the
// dialog's 8-point font at the dialog-unit ratio below.
inline constexpr int kControlFontSize = 12;

// Dialog units to pixels: one ratio for both axes keeps the template's
// proportions.
constexpr int DluToPixels(int units)
{
    return (units * 3 + 1) / 2;
}

Fl_Color ToFlColor(Color color);
Fl_Font ToFlFont(const FontSpec& font);
// FLTK draws a CR as a control character: texts are shown with LF alone.
std::string WithoutCarriageReturns(const std::string& text);

template <class Widget, class Interface = IControl>
class CFltkControl : public Widget, public Interface {
public:
    CFltkControl(int x, int y, int w, int h) : Widget(x, y, w, h) {}

    void Show(bool show) override
    {
        if (show)
            this->show();
        else
            this->hide();
        RedrawArea();
    }
    bool IsVisible() const override { return this->visible_r() != 0; }
    void Enable(bool enable) override
    {
        if (enable)
            this->activate();
        else
            this->deactivate();
    }
    bool IsEnabled() const override { return this->active() != 0; }
    void Move(const CRect& rect) override
    {
        RedrawArea();
        const Fl_Group* client = this->parent();
        const int left = client ? client->x() : 0;
        const int top = client ? client->y() : 0;
        // Like the window system, a negative size is an empty control.
        this->resize(left + rect.left, top + rect.top, rect.Width() > 0 ? rect.Width() : 0,
                     rect.Height() > 0 ? rect.Height() : 0);
        RedrawArea();
    }
    CRect GetRect() const override
    {
        const Fl_Group* client = this->parent();
        const int left = this->x() - (client ? client->x() : 0);
        const int top = this->y() - (client ? client->y() : 0);
        return {left, top, left + this->w(), top + this->h()};
    }

protected:
    // The client area behind a control that moves or hides shows the
    // dialog's background again.
    void RedrawArea()
    {
        if (Fl_Group* client = this->parent())
            client->damage(FL_DAMAGE_ALL, this->x(), this->y(), this->w(), this->h());
        this->redraw();
    }
};

// A static control: text, a white rectangle or an etched line. Text is drawn
// as it is: no '@' symbols, no '&' shortcuts, tabs to the next stop.
class CFltkLabel : public CFltkControl<Fl_Box> {
public:
    CFltkLabel(int x, int y, int w, int h, DialogItemKind kind, int id, IDialogHandler& handler);

    void SetText(const std::string& text) override;
    std::string GetText() const override { return m_text; }
    void SetFont(const FontSpec& font);

protected:
    void draw() override;

private:
    DialogItemKind m_kind;
    int m_id;
    IDialogHandler& m_handler;
    std::string m_text;
    std::string m_shown;
};

// The push button; Enter presses it while it is shown and enabled, and '&'
// in its caption marks an Alt shortcut.
class CFltkButton : public CFltkControl<Fl_Return_Button> {
public:
    CFltkButton(int x, int y, int w, int h);

    void SetText(const std::string& text) override;
    std::string GetText() const override { return m_text; }

protected:
    // A plain button: no return-arrow glyph.
    void draw() override { Fl_Button::draw(); }

private:
    std::string m_text;
};

class CFltkReadOnlyEdit : public CFltkControl<Fl_Multiline_Output> {
public:
    CFltkReadOnlyEdit(int x, int y, int w, int h);

    void SetText(const std::string& text) override;
    std::string GetText() const override { return m_text; }

private:
    std::string m_text;
};

class CFltkProgress : public CFltkControl<Fl_Progress, IProgressCtrl> {
public:
    CFltkProgress(int x, int y, int w, int h);

    void SetText(const std::string& text) override { m_text = text; }
    std::string GetText() const override { return m_text; }
    void SetRange(int lower, int upper) override;
    void SetPos(int pos) override;
    int GetPos() const override { return m_pos; }
    void SetBarColor(Color color) override;

private:
    void Update();

    std::string m_text;
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
};
