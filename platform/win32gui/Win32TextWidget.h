// The script editor's text area on Win32: a RichEdit control (Msftedit's
// "RICHEDIT50W") made by the dialog manager, driven as plain text whose
// characters each carry a colour and a bold flag.
//
// RichEdit counts UTF-16 units and keeps each line break as one CR; the
// interface counts bytes of UTF-8 text with LF breaks. The widget keeps both
// copies of the text, rebuilt after each change, with marks every few
// characters, so a colouring pass over the whole text maps its positions in
// linear time. Bytes that are not UTF-8 (a script saved in an ANSI code page)
// go into the control as lone surrogates U+DC80..U+DCFF and come back as the
// same bytes.
//
// Text goes in and is pasted as plain text only, never read as RTF. The
// control's own undo is off, as it would record the colouring: the widget
// keeps a history of text changes (Ctrl+Z, Ctrl+Y or Ctrl+Shift+Z). Ctrl
// with any other letter but A, C, V and X is left to the window, for its menu
// shortcuts.
#pragma once

#include "platform/TextWidget.h"
#include "platform/common/TextHistory.h"
#include "platform/win32gui/Win32Control.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CWin32TextWidget : public CWin32Control<ITextWidget> {
public:
    // edit: a RICHEDIT50W control, child of a dialog; Msftedit.dll is loaded
    // by whoever created it. The widget subclasses it until destroyed.
    explicit CWin32TextWidget(HWND edit);
    ~CWin32TextWidget() override;
    CWin32TextWidget(const CWin32TextWidget&) = delete;
    CWin32TextWidget& operator=(const CWin32TextWidget&) = delete;

    // The parent calls this for each WM_COMMAND with EN_CHANGE from the
    // control.
    void OnChangeNotification();
    // False when there is nothing to undo or redo.
    bool Undo();
    bool Redo();

    // IControl
    void SetText(const std::string& text) override;
    std::string GetText() const override;

    // ITextWidget
    int GetTextLength() const override;
    TextSpan GetSel() const override;
    void SetSel(TextSpan range) override;
    void HideSelection(bool hide) override;
    std::string GetSelText() const override;
    TextFormat GetDefaultFormat() const override;
    TextFormat GetSelectionFormat() const override;
    void SetSelectionFormat(const TextFormat& format) override;
    int LineFromChar(int pos) const override;
    int LineIndex(int line) const override;
    int LineLength(int pos) const override;
    void SetModify(bool modified) override;
    bool GetModify() const override;
    void SetRedraw(bool redraw) override;
    void RedrawNow() override;
    void SetChangeHandler(std::function<void()> handler) override;

private:
    // A place where the UTF-16 and the UTF-8 text are at the same character.
    struct Mark {
        int unit;
        int byte;
    };

    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Sends a message the widget makes itself: whatever EN_CHANGE it causes
    // is not the user's.
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;

    std::wstring ReadControlText() const;
    // Replaces the selection, or the whole text, with plain text.
    void StreamIn(const std::wstring& text, bool selectionOnly);
    // Takes the control's text as the widget's, after a change.
    void Rebuild(std::wstring text);
    int UnitFromByte(int byte) const;
    int ByteFromUnit(int unit) const;
    // The selection in units, cpMax where the caret is.
    TextSpan UnitSel() const;
    void SelectUnits(TextSpan units);
    // Gives the control the selection set while it was hidden.
    void PushSel() const;
    // Records and announces a change the user made.
    void TakeChange();
    void ApplyStep(int pos, int length, const std::wstring& text);
    void Paste();
    void Notify();

    bool m_subclassed = false;

    std::wstring m_units;  // the control's text, CR line breaks
    std::string m_text;    // the same as UTF-8, LF line breaks
    std::vector<Mark> m_marks;
    std::vector<int> m_lineStarts;

    // The selection the widget set last, in units.
    TextSpan m_setSel;
    // While hidden, m_setSel is not the control's yet.
    mutable bool m_selPending = false;
    bool m_selHidden = false;
    LRESULT m_hiddenLine = 0;
    POINT m_hiddenScroll{};
    mutable int m_quiet = 0;

    std::function<void()> m_onChange;
    bool m_modified = false;
    CTextHistory<std::wstring> m_history;
};
