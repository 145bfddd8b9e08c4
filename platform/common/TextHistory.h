// The undo and redo history of the script editor's text widgets. A step is
// one edit in the widget's own units (UTF-8 bytes on FLTK, UTF-16 units in a
// RichEdit); typing and deleting one character at a time make one step per
// run, as in any editor. Only text goes in: formats are not history.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <utility>

template <class String>
class CTextHistory {
public:
    // At pos, removed was replaced by inserted.
    struct Step {
        int pos = 0;
        String removed;
        String inserted;
    };

    void Record(Step step)
    {
        m_redo.clear();
        if (!m_undo.empty() && Merge(m_undo.back(), step))
            return;
        if (m_undo.size() == kMaxSteps)
            m_undo.pop_front(); // the oldest steps go first
        m_undo.push_back(std::move(step));
    }

    // Undoes one step through replace(pos, length, text), which puts text
    // in place of the length units at pos; false when there is nothing to
    // undo.
    template <class Replace>
    bool Undo(Replace replace)
    {
        const Step* step = Move(m_undo, m_redo);
        if (step)
            replace(step->pos, static_cast<int>(step->inserted.size()), step->removed);
        return step != nullptr;
    }
    // Redoes one step, the same way.
    template <class Replace>
    bool Redo(Replace replace)
    {
        const Step* step = Move(m_redo, m_undo);
        if (step)
            replace(step->pos, static_cast<int>(step->removed.size()), step->inserted);
        return step != nullptr;
    }

    void Clear()
    {
        m_undo.clear();
        m_redo.clear();
    }

private:
    // Enough for a long session.
    static constexpr std::size_t kMaxSteps = 1000;

    static bool IsBreak(typename String::value_type c) { return c == '\n' || c == '\r'; }

    // A single character: one UTF-8 sequence, or one UTF-16 unit or
    // surrogate pair.
    static bool IsOneCharacter(const std::string& text)
    {
        if (text.empty() || text.size() > 4)
            return false;
        for (std::size_t i = 1; i < text.size(); ++i) {
            if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
                return false;
        }
        return text.size() == 1 || static_cast<unsigned char>(text[0]) >= 0xC0;
    }
    static bool IsOneCharacter(const std::wstring& text)
    {
        if (text.size() == 1)
            return true;
        return text.size() == 2 && text[0] >= 0xD800 && text[0] < 0xDC00 && text[1] >= 0xDC00 && text[1] < 0xE000;
    }

    static bool Merge(Step& last, const Step& step)
    {
        const int lastEnd = last.pos + static_cast<int>(last.inserted.size());
        const bool typed = step.removed.empty() && IsOneCharacter(step.inserted) && !IsBreak(step.inserted[0]);
        if (typed && step.pos == lastEnd && (last.inserted.empty() || !IsBreak(last.inserted.back()))) {
            last.inserted += step.inserted;
            return true;
        }
        const bool deleted = step.inserted.empty() && IsOneCharacter(step.removed) && last.inserted.empty();
        if (deleted && step.pos + static_cast<int>(step.removed.size()) == last.pos) { // Backspace
            last.pos = step.pos;
            last.removed = step.removed + last.removed;
            return true;
        }
        if (deleted && step.pos == last.pos) { // Delete
            last.removed += step.removed;
            return true;
        }
        return false;
    }

    static const Step* Move(std::deque<Step>& from, std::deque<Step>& to)
    {
        if (from.empty())
            return nullptr;
        to.push_back(std::move(from.back()));
        from.pop_back();
        return &to.back();
    }

    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
};
