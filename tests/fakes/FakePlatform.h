// In-memory fakes of the platform interfaces the hub, the installer and the
// editor run against: controls and a dialog window that record their state,
// message boxes, file dialogs and a shell that record their calls, and
// folders that name places in a test's own temporary folder.
#pragma once

#include "platform/Dialog.h"
#include "platform/FileDialog.h"
#include "platform/Folders.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "tests/fakes/FakeTextWidget.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CFakeControl : public IControl {
public:
    void SetWindowText(const std::string& text) override
    {
        m_text = text;
        m_texts.push_back(text);
    }
    std::string GetWindowText() const override { return m_text; }
    void ShowWindow(bool show) override { m_visible = show; }
    bool IsWindowVisible() const override { return m_visible; }
    void EnableWindow(bool enable) override { m_enabled = enable; }
    bool IsWindowEnabled() const override { return m_enabled; }
    void MoveWindow(const CRect& rect) override
    {
        m_rect = rect;
        ++m_moves;
    }
    CRect GetWindowRect() const override { return m_rect; }

    std::string m_text;
    std::vector<std::string> m_texts; // every text set, in order
    bool m_visible = true;
    bool m_enabled = true;
    CRect m_rect;
    int m_moves = 0;
};

class CFakeProgress : public IProgressCtrl {
public:
    void SetWindowText(const std::string& text) override { m_control.SetWindowText(text); }
    std::string GetWindowText() const override { return m_control.GetWindowText(); }
    void ShowWindow(bool show) override { m_control.ShowWindow(show); }
    bool IsWindowVisible() const override { return m_control.IsWindowVisible(); }
    void EnableWindow(bool enable) override { m_control.EnableWindow(enable); }
    bool IsWindowEnabled() const override { return m_control.IsWindowEnabled(); }
    void MoveWindow(const CRect& rect) override { m_control.MoveWindow(rect); }
    CRect GetWindowRect() const override { return m_control.GetWindowRect(); }
    void SetRange(int lower, int upper) override
    {
        m_lower = lower;
        m_upper = upper;
    }
    void SetPos(int pos) override
    {
        m_pos = pos;
        m_positions.push_back(pos);
    }
    int GetPos() const override { return m_pos; }
    void SetBarColor(COLORREF color) override { m_color = color; }

    CFakeControl m_control;
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
    std::vector<int> m_positions;
    COLORREF m_color = 0;
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
        m_handler = &handler;
        m_caption = dialog.caption;
        m_client = {0, 0, dialog.width, dialog.height};
        m_window = {100, 80, 100 + dialog.width + 2 * kFrameX, 80 + dialog.height + kFrameTop + kFrameBottom};
        for (const DialogItem& item : dialog.items) {
            IControl* control = nullptr;
            if (item.kind == DialogItemKind::ProgressBar) {
                auto progress = std::make_unique<CFakeProgress>();
                m_progress[item.id] = progress.get();
                control = progress.get();
                m_owned.push_back(std::move(progress));
            } else if (item.kind == DialogItemKind::RichEdit) {
                auto text = std::make_unique<CFakeTextWidget>();
                m_text[item.id] = text.get();
                control = text.get();
                m_owned.push_back(std::move(text));
            } else {
                auto fake = std::make_unique<CFakeControl>();
                m_controls[item.id] = fake.get();
                control = fake.get();
                m_owned.push_back(std::move(fake));
            }
            control->SetWindowText(item.text);
            control->ShowWindow(item.visible);
            control->MoveWindow({item.x, item.y, item.x + item.width, item.y + item.height});
        }
        handler.OnInitDialog();
        if (!m_ended)
            m_visible = true;
    }
    int RunModalLoop() override { return m_ended ? m_result : -1; }
    void EndDialog(int result) override
    {
        m_ended = true;
        m_result = result;
        m_visible = false;
    }

    IControl* GetDlgItem(int id) override
    {
        if (auto it = m_controls.find(id); it != m_controls.end())
            return it->second;
        if (auto it = m_progress.find(id); it != m_progress.end())
            return it->second;
        if (auto it = m_text.find(id); it != m_text.end())
            return it->second;
        return nullptr;
    }
    IProgressCtrl* GetProgressCtrl(int id) override
    {
        auto it = m_progress.find(id);
        return it == m_progress.end() ? nullptr : it->second;
    }
    ITextWidget* GetTextWidget(int id) override
    {
        auto it = m_text.find(id);
        return it == m_text.end() ? nullptr : it->second;
    }
    void SetItemFont(int id, const FontSpec& font) override { m_fonts[id] = font; }

    void SetWindowText(const std::string& text) override { m_caption = text; }
    std::string GetWindowText() const override { return m_caption; }
    CRect GetClientRect() const override { return m_client; }
    CRect GetWindowRect() const override { return m_window; }
    void SetWindowPos(int x, int y, int cx, int cy) override
    {
        m_window = {x, y, x + cx, y + cy};
        m_client = {0, 0, std::max(0, cx - 2 * kFrameX), std::max(0, cy - kFrameTop - kFrameBottom)};
        // The window system reports the new size at once.
        if (m_handler)
            m_handler->OnSize(SIZE_RESTORED, m_client.right, m_client.bottom);
    }
    void ShowWindow(bool show) override { m_visible = show; }
    bool IsWindowVisible() const override { return m_visible; }
    void SetResizable(bool resizable) override { m_resizable = resizable; }
    void SetMenu(const MenuTemplate& menu) override { m_menu = menu; }
    void AppendSystemMenuItem(unsigned id, const std::string& caption) override
    {
        m_systemItems.emplace_back(id, caption);
    }
    void UpdateWindow() override { ++m_updates; }

    CFakeControl& Control(int id) { return *m_controls.at(id); }
    CFakeProgress& Progress(int id) { return *m_progress.at(id); }
    CFakeTextWidget& Text(int id) { return *m_text.at(id); }

    IDialogHandler* m_handler = nullptr;
    std::string m_caption;
    CRect m_client;
    CRect m_window;
    bool m_visible = false;
    bool m_resizable = true;
    bool m_ended = false;
    int m_result = 0;
    int m_updates = 0;
    MenuTemplate m_menu;
    std::vector<std::pair<unsigned, std::string>> m_systemItems;
    std::map<int, FontSpec> m_fonts;

private:
    std::vector<std::unique_ptr<IControl>> m_owned;
    std::map<int, CFakeControl*> m_controls;
    std::map<int, CFakeProgress*> m_progress;
    std::map<int, CFakeTextWidget*> m_text;
};

struct CBoxCall {
    std::string text;
    std::string caption;
    unsigned style = 0;
};

// Answers with the queued buttons in turn, then with m_answer.
class CFakeMessageBox : public IMessageBox {
public:
    int Show(const std::string& text, const std::string& caption, unsigned style) override
    {
        m_calls.push_back({text, caption, style});
        if (m_onShow)
            m_onShow(m_calls.back());
        if (m_answers.empty())
            return m_answer;
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    std::vector<CBoxCall> m_calls;
    // Called while the box is "open", to look at the screen behind it.
    std::function<void(const CBoxCall&)> m_onShow;
    std::deque<int> m_answers;
    int m_answer = IDOK;
};

// Returns the queued paths in turn ("" = cancelled) and, like the real one,
// makes a chosen file's folder the current folder.
class CFakeFileDialog : public IFileDialog {
public:
    std::string DoModal(const FileDialogOptions& options) override
    {
        m_shown.push_back(options);
        std::string path;
        if (!m_paths.empty()) {
            path = m_paths.front();
            m_paths.pop_front();
        }
        if (!path.empty())
            std::filesystem::current_path(std::filesystem::path(path).parent_path());
        return path;
    }

    std::deque<std::string> m_paths;
    std::vector<FileDialogOptions> m_shown;
};

class CFakeShell : public IShell {
public:
    bool Open(const std::string& file, const std::string& params) override
    {
        m_calls.emplace_back(file, params);
        return true;
    }

    std::vector<std::pair<std::string, std::string>> m_calls;
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
    std::optional<HKEY> CreateKey(HKEY root, const std::string& path) override
    {
        m_keys.push_back(std::to_string(root) + "\\" + path);
        return m_keys.size();
    }
    std::optional<HKEY> OpenKey(HKEY root, const std::string& path) override { return CreateKey(root, path); }
    bool SetValue(HKEY key, const std::string& name, std::uint32_t type, const std::string& data) override
    {
        if (key == 0 || key > m_keys.size())
            return false;
        m_values[m_keys[key - 1] + "|" + name] = {type, data};
        return true;
    }
    void CloseKey(HKEY) override {}

    std::vector<std::string> m_keys;
    std::map<std::string, std::pair<std::uint32_t, std::string>> m_values;
};

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
class CTempDir {
public:
    CTempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "sfxtest-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
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
