// The text widget under the script editor: a multi-line plain-text control
// without wrapping, whose characters each carry a colour and a bold flag.
// The operations and their numbers follow the rich-edit control the editor
// was first written against, so the colouring logic reads the same on every
// realisation.
//
// Positions are byte offsets into the widget's own text (UTF-8 on Linux), in
// which every line break is one LF. The text a range returns is that text, so
// index i of the text of a range that starts at s is position s + i. Text put
// in has its CR LF and lone CR turned into LF; GetText delivers the
// whole text with CR LF line breaks, as script files and packages hold it.
#pragma once

#include "platform/Color.h"
#include "platform/Control.h"

#include <functional>
#include <string>

// Which fields of a TextFormat count.
enum : unsigned {
    kFormatBold = 0x00000001,
    kFormatColor = 0x40000000,
};

// Effects of a TextFormat.
enum : unsigned {
    kEffectBold = 0x00000001,
    // The text takes the widget's default colour instead of color.
    kEffectAutoColor = 0x40000000,
};

struct TextFormat {
    // kFormat bits: read from a range, a bit is set when that attribute is the
    // same on every character of it; applied, only the attributes whose bit
    // is set change.
    unsigned mask = 0;
    unsigned effects = 0;
    Color color = 0;

    friend bool operator==(const TextFormat&, const TextFormat&) = default;
};

// A selection: cpMin is the anchor, cpMax the end where the caret is, so
// cpMin may be the greater one when the selection was made backwards. An
// empty selection is the caret alone.
struct TextSpan {
    int cpMin = 0;
    int cpMax = 0;

    friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

class ITextWidget : public IControl {
public:
    // IControl::SetText replaces the whole text and notifies like any
    // other change, also when the new text equals the old one;
    // IControl::GetText returns the whole text with CR LF line breaks.

    // Number of positions in the text.
    virtual int GetTextLength() const = 0;

    virtual TextSpan GetSel() const = 0;
    // Positions outside the text are clamped to it.
    virtual void SetSel(TextSpan range) = 0;
    // While hidden, selection changes are not shown; showing it again shows
    // whatever the selection is then.
    virtual void HideSelection(bool hide) = 0;
    // Text of the selection, line breaks as LF.
    virtual std::string GetSelText() const = 0;

    // The widget's font in its default colour, with no effects.
    virtual TextFormat GetDefaultFormat() const = 0;
    // Format of the selection: the colour of its first character, and mask
    // bits for the attributes that are the same all through it.
    virtual TextFormat GetSelectionFormat() const = 0;
    virtual void SetSelectionFormat(const TextFormat& format) = 0;

    // Line (from 0) that holds a position; the last line for the end of the
    // text.
    virtual int LineFromChar(int pos) const = 0;
    // First position of a line, -1 when there is no such line; line -1 is
    // the caret's line.
    virtual int LineIndex(int line) const = 0;
    // Length of the line that holds pos, line break excluded; pos -1 is the
    // caret's line.
    virtual int LineLength(int pos) const = 0;

    virtual void SetModify(bool modified) = 0;
    virtual bool GetModify() const = 0;

    // Suspends (false) or resumes (true) painting of format changes.
    virtual void SetRedraw(bool redraw) = 0;
    // Repaints the whole widget now.
    virtual void RedrawNow() = 0;

    // Called synchronously after every change of the text: typing, pasting,
    // deleting, undo, and the program's own replacement of the text. Changes
    // of format or selection never call it.
    virtual void SetChangeHandler(std::function<void()> handler) = 0;
};
