// The editor's text widget in memory: it keeps a colour and a bold flag per
// position and applies formats with the same mask rules as the real widget.
#pragma once

#include "platform/TextWidget.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

struct CharFormatAt {
    COLORREF color = 0;
    bool bold = false;
};

class CFakeTextWidget : public ITextWidget {
public:
    // IControl
    void SetWindowText(const std::string& text) override
    {
        m_text.clear();
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r') {
                m_text += '\n';
                if (i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
            } else {
                m_text += text[i];
            }
        }
        m_formats.assign(m_text.size(), CharFormatAt{});
        m_sel = {};
        Notify();
    }
    std::string GetWindowText() const override
    {
        std::string out;
        for (char c : m_text) {
            if (c == '\n')
                out += '\r';
            out += c;
        }
        return out;
    }
    void ShowWindow(bool show) override { m_visible = show; }
    bool IsWindowVisible() const override { return m_visible; }
    void EnableWindow(bool enable) override { m_enabled = enable; }
    bool IsWindowEnabled() const override { return m_enabled; }
    void MoveWindow(const CRect& rect) override { m_rect = rect; }
    CRect GetWindowRect() const override { return m_rect; }

    // ITextWidget
    int GetTextLength() const override { return static_cast<int>(m_text.size()); }
    CHARRANGE GetSel() const override { return m_sel; }
    void SetSel(CHARRANGE range) override { m_sel = {Clamp(range.cpMin), Clamp(range.cpMax)}; }
    void HideSelection(bool hide) override { m_hidden = hide; }
    std::string GetSelText() const override { return m_text.substr(SelStart(), SelEnd() - SelStart()); }
    CHARFORMAT GetDefaultCharFormat() const override { return {CFM_COLOR | CFM_BOLD, 0, 0}; }
    CHARFORMAT GetSelectionCharFormat() const override
    {
        const int start = SelStart();
        const int end = SelEnd();
        if (start == end) {
            const CharFormatAt at = start > 0 ? m_formats[start - 1] : CharFormatAt{};
            return {CFM_COLOR | CFM_BOLD, at.bold ? CFE_BOLD : 0u, at.color};
        }
        const CharFormatAt first = m_formats[start];
        CHARFORMAT format{CFM_COLOR | CFM_BOLD, 0, first.color};
        for (int i = start; i < end; ++i) {
            if (m_formats[i].color != first.color)
                format.dwMask &= ~CFM_COLOR;
            if (m_formats[i].bold != first.bold)
                format.dwMask &= ~CFM_BOLD;
        }
        if ((format.dwMask & CFM_BOLD) && first.bold)
            format.dwEffects = CFE_BOLD;
        return format;
    }
    void SetSelectionCharFormat(const CHARFORMAT& format) override
    {
        for (int i = SelStart(); i < SelEnd(); ++i) {
            if (format.dwMask & CFM_COLOR)
                m_formats[i].color = (format.dwEffects & CFE_AUTOCOLOR) ? 0 : format.crTextColor;
            if (format.dwMask & CFM_BOLD)
                m_formats[i].bold = (format.dwEffects & CFE_BOLD) != 0;
        }
    }
    int LineFromChar(int pos) const override
    {
        return static_cast<int>(std::count(m_text.begin(), m_text.begin() + Clamp(pos), '\n'));
    }
    int LineIndex(int line) const override
    {
        if (line < 0)
            line = LineFromChar(m_sel.cpMax);
        std::size_t pos = 0;
        for (int i = 0; i < line; ++i) {
            pos = m_text.find('\n', pos);
            if (pos == std::string::npos)
                return -1;
            ++pos;
        }
        return static_cast<int>(pos);
    }
    int LineLength(int pos) const override
    {
        const int start = LineIndex(LineFromChar(pos < 0 ? m_sel.cpMax : pos));
        const std::size_t end = m_text.find('\n', start);
        return static_cast<int>((end == std::string::npos ? m_text.size() : end) - start);
    }
    void SetModify(bool modified) override { m_modified = modified; }
    bool GetModify() const override { return m_modified; }
    void SetRedraw(bool) override {}
    void RedrawNow() override {}
    void SetChangeHandler(std::function<void()> handler) override { m_onChange = std::move(handler); }

    // What a user does: types text over the selection, the caret after it.
    void Type(const std::string& text)
    {
        const int start = SelStart();
        m_text.replace(start, SelEnd() - start, text);
        m_formats.erase(m_formats.begin() + start, m_formats.begin() + SelEnd());
        m_formats.insert(m_formats.begin() + start, text.size(), CharFormatAt{});
        const int caret = start + static_cast<int>(text.size());
        m_sel = {caret, caret};
        Notify();
    }
    void PaintAll(COLORREF color)
    {
        std::fill(m_formats.begin(), m_formats.end(), CharFormatAt{color, false});
    }
    const std::string& Text() const { return m_text; }
    CharFormatAt FormatAt(int pos) const { return m_formats[pos]; }

    bool m_hidden = false;

private:
    int Clamp(int pos) const { return std::clamp(pos, 0, GetTextLength()); }
    int SelStart() const { return std::min(m_sel.cpMin, m_sel.cpMax); }
    int SelEnd() const { return std::max(m_sel.cpMin, m_sel.cpMax); }
    void Notify()
    {
        if (m_onChange)
            m_onChange();
    }

    std::string m_text;
    std::vector<CharFormatAt> m_formats;
    CHARRANGE m_sel;
    bool m_modified = false;
    bool m_visible = true;
    bool m_enabled = true;
    CRect m_rect;
    std::function<void()> m_onChange;
};
