// The interpreter of a script's [Setup] and [Tasks] sections. One pass walks
// a section's pair list and runs every setup key and task command it finds,
// while the progress bar stands in for the status line and the button is
// disabled. The bar moves and the window repaints at most 60 times a second
// and once at the end, so a long list of cheap pairs is not bound by painting.
#pragma once

#include "installer/SetupScreen.h"
#include "package/PackageFile.h"
#include "platform/Folders.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "script/Script.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The words the walk recognises, in the order it tests them.
enum class TaskWord {
    WindowTitle,
    Readme,
    Title,
    OK,
    Status,
    Size,
    ExtractFile,
    ExtractAll,
    MoveFileWord,
    DeleteFileWord,
    Run,
    CreateRegKey,
    SetRegString,
    SetRegDword,
    WriteToFile,
    MessageBoxWord,
};

struct CTaskWordText {
    std::string_view text; // "Title", "ExtractFile:"
    TaskWord word;
};

// Every word, in test order.
std::span<const CTaskWordText> TaskWords();
// The first word that text contains (case-sensitive substring), if any.
std::optional<TaskWord> RecogniseWord(const std::string& text);
std::string_view TaskWordText(TaskWord word);
bool IsSetupKey(TaskWord word);

// What the walk does at one index of a pair list: the word found there, its
// value and the parameters its command takes, as the pair list holds them
// (nothing expanded). The interpreter carries a step out; the script checker
// and explainer read the same steps, so they see what the installer does.
struct CTaskStep {
    std::optional<TaskWord> word; // none: the string is skipped
    std::size_t head = 0;         // index of the string tested
    std::size_t next = 0;         // index after the last string used
    bool hasValue = false;        // false: a word at the last string does nothing
    std::string value;
    // The one optional parameter that must be the next pair (To, Param,
    // Key, Icon) was there; for ExtractFile, MoveFile and CreateRegKey its
    // absence means the command shows a message and does nothing.
    bool withParam = false;
    std::string param;
    // The parameter run of the registry commands and WriteToFile; the last
    // pair of each name wins.
    std::string key, query, data, text, mode;
};

CTaskStep ReadTaskStep(const CStringArray& pairs, std::size_t i);
// True for the commands that need their next pair and do nothing without it.
bool NeedsParam(TaskWord word);
// The name of the parameter that must follow a command's value ("To"), or
// empty for commands without one.
std::string_view NextParamName(TaskWord word);
// The icon style of a MessageBox: task for its Icon: value (empty: none).
unsigned MessageBoxIcon(const std::string& kind);

// Everything a pass reaches: the screen, the script and package of the
// installer, and the system.
struct CTaskContext {
    CSetupScreen& screen;
    bool editorMode;
    const CScript& script;
    CPackageFile& reader;
    const IFolders& folders;
    IShell& shell;
    IMessageBox& messageBox;
    IRegistry& registry;
    // Caption of the messages about a missing parameter: the executable's
    // file name without a final ".exe".
    std::string appName;
    // Told each task as it starts and each one that failed; none in the
    // window, which reports only what its message boxes say.
    IProgressLog* log = nullptr;
    // The time that paces the repaints of a pass; tests give their own.
    std::function<std::chrono::steady_clock::time_point()> clock = std::chrono::steady_clock::now;
};

class CTaskInterpreter {
public:
    explicit CTaskInterpreter(CTaskContext& context) : m_context(context) {}

    // The setup pass over [Setup] (bSetup) or the task pass over [Tasks].
    void RunScriptSection(bool bSetup);

private:
    void RunStep(const CTaskStep& step);
    void MissingParam(const char* message);
    // A failure of the task that started last, told with its words.
    void Failed(const std::string& why);
    std::string Expanded(std::string path) const;

    CTaskContext& m_context;
    int m_task = 0;
    int m_tasks = 0;
    std::string m_taskText;
};
