// The dialog on a terminal. Controls keep their state as a window's would;
// what a user sees is drawn as lines when the dialog is shown: the caption,
// the visible texts from top to bottom, and the default button as a prompt
// ("Press Enter to Install, or Ctrl+C to cancel"). The modal loop presses
// that button once (at once when silent, on Enter in text mode) and ends;
// the end of the input is the cancel command. The progress bar is a line of
// its own in text mode and nothing when silent.
#pragma once

#include "platform/Dialog.h"
#include "platform/term/Terminal.h"

#include <map>
#include <memory>
#include <string>

class CTermDialog;

using CTermControl = CControlState<IControl>;

class CTermProgress : public CControlState<IProgressCtrl> {
public:
    CTermProgress(const CTermDialog& owner, CTerminal& terminal) : m_owner(owner), m_terminal(terminal) {}

    void Show(bool show) override;

    void SetRange(int lower, int upper) override;
    void SetPos(int pos) override;
    int GetPos() const override { return m_pos; }
    void SetBarColor(Color) override {}

private:
    void Draw();

    const CTermDialog& m_owner;
    CTerminal& m_terminal;
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
};

class CTermDialog : public IDialogWindow {
public:
    explicit CTermDialog(CTerminal& terminal) : m_terminal(terminal) {}

    void Create(const DialogTemplate& dialog, IDialogHandler& handler) override;
    int RunModalLoop() override;
    void EndModalLoop(int result) override;

    IControl* GetItem(int id) override;
    IProgressCtrl* GetProgressCtrl(int id) override;
    // A terminal has no text widget: it shows installers, never the editor.
    ITextWidget* GetTextWidget(int) override { return nullptr; }
    void SetItemFont(int, const FontSpec&) override {}

    void SetText(const std::string& text) override { m_caption = text; }
    std::string GetText() const override { return m_caption; }
    CRect GetClientArea() const override { return {0, 0, m_window.Width(), m_window.Height()}; }
    CRect GetRect() const override { return m_window; }
    void SetFrame(int x, int y, int cx, int cy) override { m_window = {x, y, x + cx, y + cy}; }
    void Show(bool show) override;
    bool IsVisible() const override { return m_visible; }
    void SetResizable(bool) override {}
    void SetMenu(const MenuTemplate&) override {}
    void AppendSystemMenuItem(unsigned, const std::string&) override {}
    void PaintNow() override {}

    // The dialog ended with the cancel command, not the button.
    bool Cancelled() const { return m_ended && m_result == kAnswerCancel; }

private:
    struct CItem {
        DialogItemKind kind;
        std::unique_ptr<IControl> control;
    };
    void Draw();
    std::string ButtonCaption() const;

    CTerminal& m_terminal;
    IDialogHandler* m_handler = nullptr;
    std::map<int, CItem> m_items;
    int m_buttonId = 0;
    std::string m_caption;
    CRect m_window;
    bool m_visible = false;
    bool m_ended = false;
    int m_result = 0;
};
