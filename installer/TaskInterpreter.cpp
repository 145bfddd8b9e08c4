#include "installer/TaskInterpreter.h"

#include "installer/Registry.h"
#include "platform/Files.h"
#include "script/Paths.h"
#include "script/StrUtil.h"

#include <array>
#include <cstring>
#include <cstdint>
#include <optional>
#include <string_view>

namespace {

enum class Word {
    WindowTitle,
    Readme,
    Title,
    OK,
    Status,
    Size,
    ExtractFile,
    ExtractAll,
    MoveFile,
    DeleteFile,
    Run,
    CreateRegKey,
    SetRegString,
    SetRegDword,
    WriteToFile,
    MessageBox,
};

// Tested in this order; the first word the string contains decides, so
// "WindowTitle:" is never taken for "Title".
constexpr std::array<std::pair<std::string_view, Word>, 16> kWords{{
    {"WindowTitle", Word::WindowTitle},
    {"Readme", Word::Readme},
    {"Title", Word::Title},
    {"OK", Word::OK},
    {"Status", Word::Status},
    {"Size", Word::Size},
    {"ExtractFile:", Word::ExtractFile},
    {"ExtractAll:", Word::ExtractAll},
    {"MoveFile:", Word::MoveFile},
    {"DeleteFile:", Word::DeleteFile},
    {"Run:", Word::Run},
    {"CreateRegKey:", Word::CreateRegKey},
    {"SetRegString:", Word::SetRegString},
    {"SetRegDword:", Word::SetRegDword},
    {"WriteToFile:", Word::WriteToFile},
    {"MessageBox:", Word::MessageBox},
}};

std::optional<Word> Recognise(const std::string& text)
{
    for (const auto& [word, kind] : kWords) {
        if (str::Contains(text, word))
            return kind;
    }
    return std::nullopt;
}

// The pair after the value at i + 1 (strings i + 2 and i + 3), when it
// exists and its name contains word.
bool NextPairIs(const CStringArray& pairs, std::size_t i, std::string_view word)
{
    return i + 3 < pairs.size() && str::Contains(pairs[i + 2], word);
}

// The parameters after a command's value: pairs whose name is not the head
// of the next line. Calls take(name, value) for each and returns the index
// after the last string used.
template <class Take>
std::size_t ParameterRun(const CStringArray& pairs, std::size_t i, Take take)
{
    std::size_t last = i + 1;
    while (last + 2 < pairs.size() && !str::EndsWith(pairs[last + 1], ":")) {
        take(pairs[last + 1], pairs[last + 2]);
        last += 2;
    }
    return last + 1;
}

} // namespace

void CTaskInterpreter::RunScriptSection(bool bSetup)
{
    CSetupScreen& screen = m_context.screen;
    screen.applyButton.EnableWindow(false);
    screen.progress.SetPos(0);
    screen.status.ShowWindow(false);
    screen.progress.ShowWindow(true);

    CStringArray pairs;
    m_context.script.GetSectionPairs(bSetup ? "Setup" : "Tasks", pairs);
    const std::size_t count = pairs.size();
    // The bar's range is a 16-bit number.
    screen.progress.SetRange(0, static_cast<int>(count & 0xFFFF));
    screen.dialog.UpdateWindow();

    std::size_t i = 0;
    while (i < count) {
        i = Step(pairs, i);
        screen.progress.SetPos(static_cast<int>(i));
        screen.dialog.UpdateWindow();
    }

    screen.applyButton.EnableWindow(true);
    screen.progress.ShowWindow(false);
    screen.status.ShowWindow(true);
}

std::string CTaskInterpreter::Expanded(std::string path) const
{
    ExpandMacros(path, m_context.folders);
    return path;
}

void CTaskInterpreter::MissingParam(const char* message)
{
    m_context.messageBox.Show(message, m_context.appName, MB_OK | MB_ICONEXCLAMATION);
}

std::size_t CTaskInterpreter::Step(const CStringArray& pairs, std::size_t i)
{
    const std::optional<Word> word = Recognise(pairs[i]);
    if (!word)
        return i + 1;
    // A key or command at the last string has no value: the pass ends.
    if (i + 1 >= pairs.size())
        return pairs.size();
    const std::string& value = pairs[i + 1];
    CSetupScreen& screen = m_context.screen;

    switch (*word) {
    case Word::WindowTitle:
        screen.dialog.SetWindowText(value);
        break;
    case Word::Readme:
        screen.readme.SetWindowText(ReadmeText(value));
        break;
    case Word::Title:
        screen.title.SetWindowText("   " + value);
        break;
    case Word::OK:
        screen.applyButton.SetWindowText(value);
        break;
    case Word::Status:
        if (!value.empty())
            screen.status.SetWindowText(" " + value);
        break;
    case Word::Size: {
        const CWindowSize size = ParseSize(value);
        const CRect rect = screen.dialog.GetWindowRect();
        screen.dialog.SetWindowPos(rect.left, rect.top, size.cx, size.cy);
        LayoutControls(screen, m_context.editorMode);
        break;
    }
    case Word::ExtractFile:
        if (!NextPairIs(pairs, i, "To")) {
            MissingParam("ExtractFile command requires To param");
            break;
        }
        m_context.reader.ExtractFile(value, Expanded(pairs[i + 3]));
        return i + 4;
    case Word::ExtractAll: {
        std::string dir = value;
        ExpandMacrosDir(dir, m_context.folders);
        CreateDirectoryAt(dir);
        CPackageFile& reader = m_context.reader;
        if (!reader.m_bDirLoaded)
            reader.LoadDirectory();
        for (std::size_t e = 0; e < reader.m_entries.size(); ++e) {
            const PackageEntry& entry = reader.m_entries[e];
            const std::string name(entry.szName, ::strnlen(entry.szName, sizeof entry.szName));
            reader.ExtractFile(name, dir + name);
        }
        break;
    }
    case Word::MoveFile:
        if (!NextPairIs(pairs, i, "To")) {
            MissingParam("MoveFile command requires To param");
            break;
        }
        MoveFileTo(Expanded(value), Expanded(pairs[i + 3]));
        return i + 4;
    case Word::DeleteFile:
        DeleteFileAt(Expanded(value));
        break;
    case Word::Run: {
        const bool withParams = NextPairIs(pairs, i, "Param");
        m_context.shell.Open(Expanded(value), Expanded(withParams ? pairs[i + 3] : std::string()));
        return withParams ? i + 4 : i + 2;
    }
    case Word::CreateRegKey:
        if (!NextPairIs(pairs, i, "Key")) {
            MissingParam("CreateRegKey command requires Key param");
            break;
        }
        CreateRegKey(m_context.registry, RootKeyFromName(value), pairs[i + 3]);
        return i + 4;
    case Word::SetRegString:
    case Word::SetRegDword: {
        std::string key;
        std::string query;
        std::string data;
        const std::size_t next = ParameterRun(pairs, i, [&](const std::string& name, const std::string& param) {
            if (str::Contains(name, "Value"))
                data = param;
            else if (str::Contains(name, "Key"))
                key = param;
            else if (str::Contains(name, "Query"))
                query = param;
        });
        const HKEY root = RootKeyFromName(value);
        if (*word == Word::SetRegString)
            SetRegString(m_context.registry, root, key, query, data);
        else
            SetRegDword(m_context.registry, root, key, query, static_cast<std::uint32_t>(AtoI(data)));
        return next;
    }
    case Word::WriteToFile: {
        const std::string path = Expanded(value);
        std::string text;
        std::string mode;
        const std::size_t next = ParameterRun(pairs, i, [&](const std::string& name, const std::string& param) {
            if (str::Contains(name, "Text"))
                text = param;
            else if (str::Contains(name, "Mode"))
                mode = param;
        });
        CFile file;
        if (file.Open(path, str::Contains(mode, "CREATE") ? CFile::Mode::CreateWrite : CFile::Mode::Write)) {
            const std::string line = text + "\r\n";
            // A file that opened but takes no line (a full disk) ends the
            // command with a message, as any file error does.
            if (!file.SeekToEnd() || !file.Write(line.data(), line.size()))
                m_context.messageBox.Show("Cannot write " + path + ".", m_context.appName,
                                          MB_OK | MB_ICONEXCLAMATION);
        }
        return next;
    }
    case Word::MessageBox: {
        unsigned icon = MB_ICONHAND;
        const bool withIcon = NextPairIs(pairs, i, "Icon");
        if (withIcon) {
            const std::string& kind = pairs[i + 3];
            if (str::Contains(kind, "MB_ICONQUESTION"))
                icon = MB_ICONQUESTION;
            if (str::Contains(kind, "MB_ICONEXCLAMATION"))
                icon = MB_ICONEXCLAMATION;
            if (str::Contains(kind, "MB_ICONASTERISK "))
                icon = MB_ICONASTERISK;
        }
        m_context.messageBox.Show(value, screen.dialog.GetWindowText(), MB_OK | icon);
        return withIcon ? i + 4 : i + 2;
    }
    }
    return i + 2;
}
