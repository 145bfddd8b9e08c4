// In-memory fakes of the platform interfaces the hub, the installer and the
// editor run against: controls, a dialog window and a text widget that keep
// their state; message boxes, file dialogs and a shell that record their
// calls; folders and a registry; and a temporary folder with file helpers.
#pragma once

#include "platform/ChoiceList.h"
#include "platform/Dialog.h"
#include "platform/FileDialog.h"
#include "platform/Folders.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

// What every kind of control keeps: its text, whether it is shown and
// enabled, and where it is.
template <class TControl>
using CFakeControlOf = CControlState<TControl>;

class CFakeControl : public CFakeControlOf<IControl> {};

class CFakeProgress : public CFakeControlOf<IProgressCtrl> {
public:
    void SetRange(int /*lower*/, int upper) override { m_upper = upper; }
    void SetPos(int pos) override { m_positions.push_back(pos); }
    int GetPos() const override { return m_positions.empty() ? 0 : m_positions.back(); }
    void SetBarColor(Color) override {}

    int m_upper = 100;
    std::vector<int> m_positions; // every position set, in order
};

struct CharFormatAt {
    Color color = 0;
    bool bold = false;
};

// The editor's text widget: LF line ends inside and CR LF outside as in the
// real one, and a colour and a bold flag per position, set with the same
// mask rules.
class CFakeTextWidget : public CFakeControlOf<ITextWidget> {
public:
    void SetText(const std::string& text) override
    {
        m_text = text;
        std::erase(m_text, '\r');
        m_formats.assign(m_text.size(), CharFormatAt{});
        m_sel = {};
        Notify();
    }
    std::string GetText() const override
    {
        std::string out;
        for (char c : m_text)
            out += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return out;
    }

    int GetTextLength() const override { return static_cast<int>(m_text.size()); }
    TextSpan GetSel() const override { return m_sel; }
    void SetSel(TextSpan range) override { m_sel = {Clamp(range.cpMin), Clamp(range.cpMax)}; }
    void HideSelection(bool hide) override { m_hidden = hide; }
    std::string GetSelText() const override { return m_text.substr(SelStart(), SelEnd() - SelStart()); }
    TextFormat GetDefaultFormat() const override { return {kFormatColor | kFormatBold, 0, 0}; }
    TextFormat GetSelectionFormat() const override
    {
        const int start = SelStart();
        const int end = SelEnd();
        const CharFormatAt first = start < end ? m_formats[start] : CharFormatAt{};
        TextFormat format{kFormatColor | kFormatBold, 0, first.color};
        for (int i = start; i < end; ++i) {
            if (m_formats[i].color != first.color)
                format.mask &= ~kFormatColor;
            if (m_formats[i].bold != first.bold)
                format.mask &= ~kFormatBold;
        }
        if ((format.mask & kFormatBold) && first.bold)
            format.effects = kEffectBold;
        return format;
    }
    void SetSelectionFormat(const TextFormat& format) override
    {
        for (int i = SelStart(); i < SelEnd(); ++i) {
            if (format.mask & kFormatColor)
                m_formats[i].color = format.color;
            if (format.mask & kFormatBold)
                m_formats[i].bold = (format.effects & kEffectBold) != 0;
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

    std::vector<CharFormatAt> m_formats; // one per position of m_text
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

    TextSpan m_sel;
    bool m_modified = false;
    std::function<void()> m_onChange;
};

// A dialog window whose frame adds kFrameX on each side and kFrameTop
// above the client area. Controls take their template rectangles as pixels.
class CFakeDialogWindow : public IDialogWindow {
public:
    static constexpr int kFrameX = 4;
    static constexpr int kFrameTop = 26;
    static constexpr int kFrameBottom = 4;

    void Create(const DialogTemplate& dialog, IDialogHandler& handler) override
    {
        m_caption = dialog.caption;
        m_client = {0, 0, dialog.width, dialog.height};
        for (const DialogItem& item : dialog.items) {
            std::unique_ptr<IControl> control;
            if (item.kind == DialogItemKind::ProgressBar)
                control = std::make_unique<CFakeProgress>();
            else if (item.kind == DialogItemKind::RichEdit)
                control = std::make_unique<CFakeTextWidget>();
            else
                control = std::make_unique<CFakeControl>();
            control->SetText(item.text);
            control->Show(item.visible);
            control->Move({item.x, item.y, item.x + item.width, item.y + item.height});
            m_items[item.id] = std::move(control);
        }
        handler.OnInitDialog();
        if (!m_ended)
            m_visible = true;
    }
    int RunModalLoop() override { return m_ended ? m_result : -1; }
    void EndModalLoop(int result) override
    {
        m_ended = true;
        m_result = result;
        m_visible = false;
    }

    IControl* GetItem(int id) override { return m_items.at(id).get(); }
    IProgressCtrl* GetProgressCtrl(int id) override { return dynamic_cast<IProgressCtrl*>(GetItem(id)); }
    ITextWidget* GetTextWidget(int id) override { return dynamic_cast<ITextWidget*>(GetItem(id)); }
    void SetItemFont(int, const FontSpec&) override {}

    void SetText(const std::string& text) override { m_caption = text; }
    std::string GetText() const override { return m_caption; }
    CRect GetClientArea() const override { return m_client; }
    CRect GetRect() const override { return m_window; }
    void SetFrame(int x, int y, int cx, int cy) override
    {
        m_window = {x, y, x + cx, y + cy};
        m_client = {0, 0, std::max(0, cx - 2 * kFrameX), std::max(0, cy - kFrameTop - kFrameBottom)};
    }
    void Show(bool show) override { m_visible = show; }
    bool IsVisible() const override { return m_visible; }
    void SetResizable(bool resizable) override { m_resizable = resizable; }
    void SetMenu(const MenuTemplate& menu) override { m_menu = menu; }
    void AppendSystemMenuItem(unsigned, const std::string&) override {}
    void PaintNow() override { ++m_updates; }

    // The fake behind a template item: CFakeControl, CFakeProgress or CFakeTextWidget.
    template <class TFake>
    TFake& Item(int id) { return dynamic_cast<TFake&>(*GetItem(id)); }

    std::string m_caption;
    CRect m_client;
    CRect m_window;
    bool m_visible = false;
    bool m_resizable = true;
    bool m_ended = false;
    int m_result = 0;
    int m_updates = 0;
    MenuTemplate m_menu;

private:
    std::map<int, std::unique_ptr<IControl>> m_items;
};

struct CBoxCall {
    std::string text;
    std::string caption;
    unsigned style = 0;
};

// Answers with the queued buttons in turn, then with OK.
class CFakeMessageBox : public IMessageBox {
public:
    int Show(const std::string& text, const std::string& caption, unsigned style) override
    {
        m_calls.push_back({text, caption, style});
        if (m_onShow)
            m_onShow(m_calls.back());
        if (m_answers.empty())
            return kAnswerOk;
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    std::vector<CBoxCall> m_calls;
    // Called while the box is "open", to look at the screen behind it.
    std::function<void(const CBoxCall&)> m_onShow;
    std::deque<int> m_answers;
};

// Records each list shown and picks the queued index (-1: closed).
class CFakeChoiceList : public IChoiceList {
public:
    struct CCall {
        std::string caption;
        std::string heading;
        std::vector<std::string> items;
    };
    int Choose(const std::string& caption, const std::string& heading, const std::vector<std::string>& items) override
    {
        m_calls.push_back({caption, heading, items});
        if (m_picks.empty())
            return -1;
        const int pick = m_picks.front();
        m_picks.pop_front();
        return pick;
    }

    std::vector<CCall> m_calls;
    std::deque<int> m_picks;
};

// Returns the queued paths in turn ("" = cancelled) and, like the real one,
// makes a chosen file's folder the current folder.
class CFakeFileDialog : public IFileDialog {
public:
    std::string DoModal(const FileDialogOptions&) override
    {
        if (m_paths.empty())
            return "";
        const std::string path = m_paths.front();
        m_paths.pop_front();
        if (!path.empty())
            std::filesystem::current_path(std::filesystem::path(path).parent_path());
        return path;
    }

    std::deque<std::string> m_paths;
};

class CFakeShell : public IShell {
public:
    bool Open(const std::string& file, const std::string& params) override
    {
        m_calls.emplace_back(file, params);
        return m_starts;
    }
    bool CanFind(const std::string& file) const override { return m_found.contains(file); }

    std::vector<std::pair<std::string, std::string>> m_calls;
    std::set<std::string> m_found;
    bool m_starts = true; // false: nothing can be started
};

class CFakeFolders : public IFolders {
public:
    std::string WindowsDirectory() const override { return m_windows; }
    std::string ModuleFileName() const override { return m_module; }
    std::string DesktopDirectory() const override { return m_desktop; }

    std::string m_windows;
    std::string m_module;
    std::string m_desktop;
};

// Keys and values in memory; every handle it returns is a key's path.
class CFakeRegistry : public IRegistry {
public:
    std::optional<RegKey> CreateKey(RegKey root, const std::string& path) override
    {
        if (m_broken)
            return std::nullopt;
        m_keys.push_back(std::to_string(root) + "\\" + path);
        return m_keys.size();
    }
    std::optional<RegKey> OpenKey(RegKey root, const std::string& path) override { return CreateKey(root, path); }
    bool SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::string& data) override
    {
        if (key == 0 || key > m_keys.size())
            return false;
        m_values[m_keys[key - 1] + "|" + name] = {type, data};
        return true;
    }
    void CloseKey(RegKey) override {}

    std::vector<std::string> m_keys;
    std::map<std::string, std::pair<std::uint32_t, std::string>> m_values;
    bool m_broken = false; // true: no key opens, as with an unreadable hive
};

// What a pass tells beside the screen: "number/count what" per task, and
// each failure.
class CFakeProgressLog : public IProgressLog {
public:
    void StepStarted(int number, int count, const std::string& what) override
    {
        m_started.push_back(std::to_string(number) + "/" + std::to_string(count) + " " + what);
    }
    void StepFailed(const std::string& what) override { m_failed.push_back(what); }

    std::vector<std::string> m_started;
    std::vector<std::string> m_failed;
};

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
class CTempDir {
public:
    CTempDir()
    {
        // A new folder of a random name, ours alone: an existing one is
        // never taken over.
        std::random_device random;
        std::error_code error;
        const std::filesystem::path base = std::filesystem::temp_directory_path(error);
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const std::filesystem::path candidate = base / ("sfxtest-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, error))
                m_path = candidate.generic_string();
        }
    }
    ~CTempDir()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline void WriteTextFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
