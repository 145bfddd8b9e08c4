// The script editor's text area on FLTK: an Fl_Text_Editor with a style
// buffer, no wrapping, a monospace face.
//
// FLTK draws a CR as a box, so the buffer holds LF line ends only: text put
// in has CR LF and lone CR turned into LF (pasted text too), ranges are read
// straight from the buffer, and GetText adds the CR back before each
// LF. Positions are byte offsets into the buffer's UTF-8 text, which is what
// FLTK counts in as well; a position inside a character is moved to its
// start, so runs always cover whole characters.
//
// Each colour and bold pair in use gets a style table entry when it is first
// applied. Undo and redo keep every step of the user's editing (Ctrl+Z,
// Ctrl+Y or Ctrl+Shift+Z); replacing the whole text starts a new history.
// Ctrl with any other letter is left to the window, for its menu shortcuts.
#pragma once

#include "platform/TextWidget.h"
#include "platform/common/TextHistory.h"

#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Editor.H>

#include <string>
#include <vector>

class CFltkTextWidget : public Fl_Text_Editor, public ITextWidget {
public:
    // Created in the current group, like any FLTK widget, which then owns it.
    CFltkTextWidget(int x, int y, int w, int h);
    ~CFltkTextWidget() override;
    CFltkTextWidget(const CFltkTextWidget&) = delete;
    CFltkTextWidget& operator=(const CFltkTextWidget&) = delete;

    // One of FLTK's built-in faces; bold runs use its bold face.
    void SetTextFont(Fl_Font font, Fl_Fontsize size);
    // False when there is nothing to undo or redo.
    bool Undo();
    bool Redo();

    // IControl: positions relative to the parent group, which is the
    // dialog's client area.
    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void Show(bool show) override;
    bool IsVisible() const override;
    void Enable(bool enable) override;
    bool IsEnabled() const override;
    void Move(const CRect& rect) override;
    CRect GetRect() const override;

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

    int handle(int event) override;

private:
    struct CharStyle {
        Color color;
        bool bold;
        friend bool operator==(const CharStyle&, const CharStyle&) = default;
    };
    static void OnTextModified(int pos, int nInserted, int nDeleted, int nRestyled, const char* deletedText,
                               void* arg);
    static void OnTextChanged(int pos, int nInserted, int nDeleted, int nRestyled, const char* deletedText,
                              void* arg);
    static int OnUndoKey(int key, Fl_Text_Editor* editor);
    static int OnRedoKey(int key, Fl_Text_Editor* editor);

    int Align(int pos) const;
    TextSpan CurrentSel() const;
    void ShowSel(TextSpan range);
    int Caret() const { return GetSel().cpMax; }
    CharStyle StyleAt(int pos) const;
    char StyleFor(const CharStyle& style);
    void UpdateStyleTable();
    const std::vector<int>& LineStarts() const;
    void Record(int pos, const char* removed, int nRemoved, int nInserted);
    void ApplyStep(int pos, int length, const std::string& text);
    void Notify();

    Fl_Text_Buffer m_text;
    Fl_Text_Buffer m_styles;
    std::vector<CharStyle> m_styleKeys;
    std::vector<Style_Table_Entry> m_styleTable;

    std::function<void()> m_onChange;
    bool m_modified = false;
    bool m_replacing = false;
    bool m_undoing = false;
    bool m_redraw = true;
    bool m_restyledWhileSuspended = false;

    bool m_selHidden = false;
    TextSpan m_hiddenSel;

    mutable std::vector<int> m_lineStarts;
    mutable bool m_lineStartsValid = false;

    CTextHistory<std::string> m_history;
};
