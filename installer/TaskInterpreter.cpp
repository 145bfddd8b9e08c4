#include "installer/TaskInterpreter.h"

#include "installer/Registry.h"
#include "platform/Files.h"
#include "script/Paths.h"
#include "script/StrUtil.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace {

// Tested in this order; the first word the string contains decides, so
// "WindowTitle:" is never taken for "Title".
constexpr std::array<CTaskWordText, 16> kWords{{
    {"WindowTitle", TaskWord::WindowTitle},
    {"Readme", TaskWord::Readme},
    {"Title", TaskWord::Title},
    {"OK", TaskWord::OK},
    {"Status", TaskWord::Status},
    {"Size", TaskWord::Size},
    {"ExtractFile:", TaskWord::ExtractFile},
    {"ExtractAll:", TaskWord::ExtractAll},
    {"MoveFile:", TaskWord::MoveFileWord},
    {"DeleteFile:", TaskWord::DeleteFileWord},
    {"Run:", TaskWord::Run},
    {"CreateRegKey:", TaskWord::CreateRegKey},
    {"SetRegString:", TaskWord::SetRegString},
    {"SetRegDword:", TaskWord::SetRegDword},
    {"WriteToFile:", TaskWord::WriteToFile},
    {"MessageBox:", TaskWord::MessageBoxWord},
}};

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

std::span<const CTaskWordText> TaskWords()
{
    return kWords;
}

std::optional<TaskWord> RecogniseWord(const std::string& text)
{
    for (const auto& [word, kind] : kWords) {
        if (str::Contains(text, word))
            return kind;
    }
    return std::nullopt;
}

std::string_view TaskWordText(TaskWord word)
{
    return kWords[static_cast<std::size_t>(word)].text;
}

bool IsSetupKey(TaskWord word)
{
    return word <= TaskWord::Size;
}

bool NeedsParam(TaskWord word)
{
    return word == TaskWord::ExtractFile || word == TaskWord::MoveFileWord || word == TaskWord::CreateRegKey;
}

std::string_view NextParamName(TaskWord word)
{
    switch (word) {
    case TaskWord::ExtractFile:
    case TaskWord::MoveFileWord:
        return "To";
    case TaskWord::Run:
        return "Param";
    case TaskWord::CreateRegKey:
        return "Key";
    case TaskWord::MessageBoxWord:
        return "Icon";
    default:
        return {};
    }
}

unsigned MessageBoxIcon(const std::string& kind)
{
    unsigned icon = kBoxIconError;
    if (str::Contains(kind, "MB_ICONQUESTION"))
        icon = kBoxIconQuestion;
    if (str::Contains(kind, "MB_ICONEXCLAMATION"))
        icon = kBoxIconWarning;
    if (str::Contains(kind, "MB_ICONASTERISK "))
        icon = kBoxIconInformation;
    return icon;
}

CTaskStep ReadTaskStep(const CStringArray& pairs, std::size_t i)
{
    CTaskStep step;
    step.head = i;
    step.next = i + 1;
    step.word = RecogniseWord(pairs[i]);
    if (!step.word)
        return step;
    // A key or command at the last string has no value: the pass ends.
    if (i + 1 >= pairs.size()) {
        step.next = pairs.size();
        return step;
    }
    step.hasValue = true;
    step.value = pairs[i + 1];
    step.next = i + 2;

    const TaskWord word = *step.word;
    if (const std::string_view param = NextParamName(word); !param.empty()) {
        step.withParam = NextPairIs(pairs, i, param);
        if (step.withParam) {
            step.param = pairs[i + 3];
            step.next = i + 4;
        }
    } else if (word == TaskWord::SetRegString || word == TaskWord::SetRegDword) {
        step.next = ParameterRun(pairs, i, [&step](const std::string& name, const std::string& param) {
            if (str::Contains(name, "Value"))
                step.data = param;
            else if (str::Contains(name, "Key"))
                step.key = param;
            else if (str::Contains(name, "Query"))
                step.query = param;
        });
    } else if (word == TaskWord::WriteToFile) {
        step.next = ParameterRun(pairs, i, [&step](const std::string& name, const std::string& param) {
            if (str::Contains(name, "Text"))
                step.text = param;
            else if (str::Contains(name, "Mode"))
                step.mode = param;
        });
    }
    return step;
}

void CTaskInterpreter::RunScriptSection(bool bSetup)
{
    CSetupScreen& screen = m_context.screen;
    screen.applyButton.Enable(false);
    screen.progress.SetPos(0);
    screen.status.Show(false);
    screen.progress.Show(true);

    CStringArray pairs;
    m_context.script.GetSectionPairs(bSetup ? "Setup" : "Tasks", pairs);
    const std::size_t count = pairs.size();
    // The bar's range is a 16-bit number.
    screen.progress.SetRange(0, static_cast<int>(count & 0xFFFF));
    screen.dialog.PaintNow();
    // The tasks to number, found by the same walk without running them.
    m_task = 0;
    m_tasks = 0;
    for (std::size_t k = 0; m_context.log && k < count;) {
        const CTaskStep step = ReadTaskStep(pairs, k);
        if (step.word && step.hasValue && !IsSetupKey(*step.word))
            ++m_tasks;
        k = step.next;
    }

    constexpr auto kRepaintInterval = std::chrono::microseconds(1000000 / 60);
    auto painted = m_context.clock();
    std::size_t i = 0;
    while (i < count) {
        const CTaskStep step = ReadTaskStep(pairs, i);
        if (step.word && step.hasValue)
            RunStep(step);
        i = step.next;
        const auto now = m_context.clock();
        // The last step always shows: the bar ends full.
        if (i >= count || now - painted >= kRepaintInterval) {
            screen.progress.SetPos(static_cast<int>(i));
            screen.dialog.PaintNow();
            painted = now;
        }
    }

    screen.applyButton.Enable(true);
    screen.progress.Show(false);
    screen.status.Show(true);
}

std::string CTaskInterpreter::Expanded(std::string path) const
{
    ExpandMacros(path, m_context.folders);
    return path;
}

void CTaskInterpreter::MissingParam(const char* message)
{
    m_context.messageBox.Show(message, m_context.appName, kBoxOk | kBoxIconWarning);
    Failed(message);
}

void CTaskInterpreter::Failed(const std::string& why)
{
    if (m_context.log)
        m_context.log->StepFailed(m_taskText + ": " + why);
}

void CTaskInterpreter::RunStep(const CTaskStep& step)
{
    const std::string& value = step.value;
    CSetupScreen& screen = m_context.screen;
    if (!IsSetupKey(*step.word)) {
        m_taskText = std::string(TaskWordText(*step.word)) + " " + value;
        if (m_context.log)
            m_context.log->StepStarted(++m_task, m_tasks, m_taskText);
    }

    switch (*step.word) {
    case TaskWord::WindowTitle:
        screen.dialog.SetText(value);
        break;
    case TaskWord::Readme:
        screen.readme.SetText(ReadmeText(value));
        break;
    case TaskWord::Title:
        screen.title.SetText("   " + value);
        break;
    case TaskWord::OK:
        screen.applyButton.SetText(value);
        break;
    case TaskWord::Status:
        if (!value.empty())
            screen.status.SetText(" " + value);
        break;
    case TaskWord::Size: {
        const CWindowSize size = ParseSize(value);
        const CRect rect = screen.dialog.GetRect();
        screen.dialog.SetFrame(rect.left, rect.top, size.cx, size.cy);
        LayoutControls(screen, m_context.editorMode);
        break;
    }
    case TaskWord::ExtractFile:
        if (!step.withParam)
            MissingParam("ExtractFile command requires To param");
        else if (!m_context.reader.ExtractFile(value, Expanded(step.param)))
            Failed("not extracted to " + Expanded(step.param));
        break;
    case TaskWord::ExtractAll: {
        std::string dir = value;
        ExpandMacrosDir(dir, m_context.folders);
        if (!CreateDirectoryAt(dir))
            Failed("cannot create " + dir);
        m_context.reader.ExtractAll(dir, [this](const PackageEntry& entry) { Failed("cannot extract " + entry.strName); });
        break;
    }
    case TaskWord::MoveFileWord:
        if (!step.withParam)
            MissingParam("MoveFile command requires To param");
        else if (!MoveFileTo(Expanded(value), Expanded(step.param)))
            Failed("cannot move " + Expanded(value) + " to " + Expanded(step.param));
        break;
    case TaskWord::DeleteFileWord:
        if (!DeleteFileAt(Expanded(value)))
            Failed("cannot delete " + Expanded(value));
        break;
    case TaskWord::Run:
        if (!m_context.shell.Open(Expanded(value), ExpandParams(step.param, m_context.folders)))
            Failed("cannot start " + Expanded(value));
        break;
    case TaskWord::CreateRegKey:
        if (!step.withParam)
            MissingParam("CreateRegKey command requires Key param");
        else if (!CreateRegKey(m_context.registry, RootKeyFromName(value), step.param))
            Failed("cannot create the key");
        break;
    case TaskWord::SetRegString:
        if (!SetRegString(m_context.registry, RootKeyFromName(value), step.key, step.query, step.data))
            Failed("cannot write the value");
        break;
    case TaskWord::SetRegDword:
        if (!SetRegDword(m_context.registry, RootKeyFromName(value), step.key, step.query,
                         static_cast<std::uint32_t>(AtoI(step.data))))
            Failed("cannot write the value");
        break;
    case TaskWord::WriteToFile: {
        const std::string path = Expanded(value);
        CFile file;
        if (file.Open(path, str::Contains(step.mode, "CREATE") ? CFile::Mode::CreateWrite : CFile::Mode::Write)) {
            const std::string line = step.text + "\r\n";
            // A file that opened but takes no line (a full disk) ends the
            // command with a message, as any file error does.
            if (!file.SeekToEnd() || !file.Write(line.data(), line.size())) {
                m_context.messageBox.Show("Cannot write " + path + ".", m_context.appName,
                                          kBoxOk | kBoxIconWarning);
                Failed("cannot write " + path);
            }
        } else {
            // A pipe, device or folder is never written to, and says so.
            if (file.GetOpenFailure() != CFile::Failure::Other)
                m_context.messageBox.Show("Cannot write " + path + ": it is not a regular file.", m_context.appName,
                                          kBoxOk | kBoxIconWarning);
            Failed("cannot open " + path);
        }
        break;
    }
    case TaskWord::MessageBoxWord:
        m_context.messageBox.Show(value, screen.dialog.GetText(),
                                  kBoxOk | MessageBoxIcon(step.param));
        break;
    }
}
