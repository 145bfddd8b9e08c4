#include "installer/ScriptCheck.h"

#include "installer/Registry.h"
#include "installer/SetupScreen.h"
#include "installer/TaskInterpreter.h"
#include "package/PackageFile.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "script/Paths.h"
#include "script/StrUtil.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

// Template 102's read-me box (56 by 67 dialog units) in pixels, shown when
// no Size key lays the screen out.
constexpr int kTemplateReadmeWidth = 84;
constexpr int kTemplateReadmeHeight = 101;
// The read-me font's average character width and line height in pixels:
// enough to tell a text that fits from one that needs scrolling.
constexpr int kReadmeCharWidth = 7;
constexpr int kReadmeLineHeight = 15;
constexpr int kTabColumns = 8;

// A value in quotes, its control characters and quotes escaped; backslashes
// stay as written, since paths are full of them.
std::string Quote(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
                out += hex;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

int LineOfOffset(const std::string& text, std::size_t offset)
{
    const auto end = text.begin() + static_cast<std::ptrdiff_t>(std::min(offset, text.size()));
    return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// Edit distance, letter case ignored: how far a head is from a word.
std::size_t Distance(std::string_view a, std::string_view b)
{
    const std::string x = Lower(a);
    const std::string y = Lower(b);
    std::vector<std::size_t> row(y.size() + 1);
    for (std::size_t j = 0; j <= y.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= x.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[y.size()];
}

// How a word is written on a line of its own: "Title=", "MessageBox:".
std::string Spelling(std::string_view word)
{
    return str::EndsWith(word, ":") ? std::string(word) : std::string(word) + "=";
}

// The word nearest to a head that nothing recognised; setup keys only when
// keysOnly (the [Setup] section), where the builder's OutputFile counts too.
std::string NearestWord(const std::string& head, bool keysOnly)
{
    std::string bare = str::Trimmed(head);
    if (str::EndsWith(bare, ":"))
        bare.pop_back();
    std::string best = keysOnly ? "OutputFile=" : "";
    std::size_t bestDistance = keysOnly ? Distance(bare, "OutputFile") : SIZE_MAX;
    for (const CTaskWordText& word : TaskWords()) {
        if (keysOnly && !IsSetupKey(word.word))
            continue;
        std::string_view text = word.text;
        if (str::EndsWith(text, ":"))
            text.remove_suffix(1);
        const std::size_t distance = Distance(bare, text);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = Spelling(word.text);
        }
    }
    return best;
}

std::string Expanded(std::string text, const IFolders& folders)
{
    ExpandMacros(text, folders);
    return text;
}

std::string_view IconName(unsigned icon)
{
    switch (icon) {
    case kBoxIconQuestion:
        return "question";
    case kBoxIconWarning:
        return "exclamation";
    case kBoxIconInformation:
        return "asterisk (information)";
    default:
        return "hand (error)";
    }
}

// A section as the interpreter reads it: the pair list, the line of each
// string, and the steps the walk carries out.
struct CSectionWalk {
    CStringArray pairs;
    std::vector<int> lines;
    std::vector<CTaskStep> steps;
    // Each line's first string (its head), by line number.
    std::map<int, std::size_t> heads;
};

CSectionWalk WalkSection(const CScript& script, const std::string& name)
{
    CSectionWalk walk;
    script.GetSectionPairs(name, walk.pairs, &walk.lines);
    for (std::size_t i = 0; i < walk.pairs.size(); ++i)
        walk.heads.emplace(walk.lines[i], i);
    for (std::size_t i = 0; i < walk.pairs.size();) {
        CTaskStep step = ReadTaskStep(walk.pairs, i);
        i = step.next;
        if (step.word && step.hasValue)
            walk.steps.push_back(std::move(step));
    }
    return walk;
}

// A section's raw lines (comments and blanks kept), by line number.
std::map<int, std::string> RawLines(const CScript& script, const std::string& name)
{
    CStringArray lines;
    std::vector<int> numbers;
    script.GetSectionLines(name, lines, &numbers);
    std::map<int, std::string> byNumber;
    for (std::size_t i = 0; i < lines.size(); ++i)
        byNumber.emplace(numbers[i], std::move(lines[i]));
    return byNumber;
}

// One [Files] line and the name the builder stores it under.
struct CPlannedFile {
    std::string path;
    int line = 0;
    std::string name;
};

std::vector<CPlannedFile> PlannedFiles(const CScript& script)
{
    CStringArray lines;
    std::vector<int> numbers;
    script.GetSectionLines("Files", lines, &numbers);
    std::vector<CPlannedFile> files;
    for (std::size_t i = 1; i < lines.size(); ++i)
        files.push_back({lines[i], numbers[i], CPackageFile::GetStoredName(lines[i])});
    return files;
}

// The entries the reader will list for these files: the one added last first.
std::vector<PackageEntry> ReaderEntries(const std::vector<CPlannedFile>& files)
{
    std::vector<PackageEntry> entries(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        PackageEntry& entry = entries[files.size() - 1 - i];
        entry.strName = std::string(files[i].name.c_str()).substr(0, kNameSize - 1);
    }
    return entries;
}

// The [Files] line an ExtractFile: of name picks, or nullptr.
const CPlannedFile* PickedFile(const std::vector<CPlannedFile>& files, const std::vector<PackageEntry>& entries,
                               const std::string& name)
{
    const int index = CPackageFile::FindEntryIn(entries, name);
    return index < 0 ? nullptr : &files[files.size() - 1 - static_cast<std::size_t>(index)];
}

class CChecker {
public:
    CChecker(const CScript& script, const CCheckContext& context)
        : m_script(script),
          m_context(context),
          m_files(PlannedFiles(script)),
          m_entries(ReaderEntries(m_files)),
          m_rawSetup(RawLines(script, "Setup")),
          m_rawTasks(RawLines(script, "Tasks"))
    {
    }

    std::vector<CFinding> Run()
    {
        CheckText();
        CheckHeaders();
        CheckFiles();
        const CSectionWalk setup = WalkSection(m_script, "Setup");
        const CSectionWalk tasks = WalkSection(m_script, "Tasks");
        CheckLines(setup, m_rawSetup, false);
        CheckLines(tasks, m_rawTasks, true);
        CheckSteps(setup, m_rawSetup);
        CheckSteps(tasks, m_rawTasks);
        CheckSetupScreen(setup);
        std::stable_sort(m_findings.begin(), m_findings.end(), [](const CFinding& a, const CFinding& b) {
            return a.line != b.line ? a.line < b.line : a.severity < b.severity;
        });
        return std::move(m_findings);
    }

private:
    void Add(int line, Severity severity, const char* id, std::string message, std::string hint)
    {
        m_findings.push_back({line, severity, id, std::move(message), std::move(hint)});
    }

    void CheckText()
    {
        const std::string& text = m_script.GetText();
        if (const std::size_t zero = text.find('\0'); zero != std::string::npos)
            Add(LineOfOffset(text, zero), Severity::Error, "zero-byte",
                "The script holds a zero byte: the installer's script ends there.",
                "Remove the zero byte; scripts are plain text.");
        // The stored length counts the zero byte that ends the text.
        if (text.size() + 1 >= static_cast<std::size_t>(kTextLengthLimit))
            Add(LineOfOffset(text, kTextLengthLimit - 1), Severity::Error, "script-too-long",
                "The script is " + std::to_string(text.size()) + " bytes; an installer reads at most "
                    + std::to_string(kTextLengthLimit - 2) + " and starts as an empty editor instead.",
                "Shorten the script, e.g. move long texts into packed files.");
    }

    void CheckHeaders()
    {
        const std::string& text = m_script.GetText();
        std::string lower;
        for (const char* name : {"Setup", "Files", "Tasks"}) {
            const std::string header = std::string("[") + name + "]";
            if (text.find(header) != std::string::npos)
                continue;
            if (lower.empty())
                lower = Lower(text);
            const std::size_t at = lower.find(Lower(header));
            if (at == std::string::npos)
                continue;
            Add(LineOfOffset(text, at), Severity::Warning, "section-case",
                Quote(text.substr(at, header.size())) + " is not the header " + header
                    + ": section names are matched with their letter case, so the section is not found.",
                "Write " + header + ".");
        }
    }

    void CheckFiles()
    {
        const std::vector<CPlannedFile>& files = m_files;
        bool relativeNoted = false;
        for (const CPlannedFile& file : files) {
            const std::string resolved = ResolveScriptPath(m_context.scriptDir, file.path);
            if (!IsRegularFileAt(resolved)) {
                const std::string trimmed = str::Trimmed(file.path);
                std::string hint = "Write the path of an existing file, one per line.";
                if (trimmed.starts_with(";"))
                    hint = "[Files] has no comments: remove the line.";
                else if (trimmed != file.path && IsRegularFileAt(ResolveScriptPath(m_context.scriptDir, trimmed)))
                    hint = "Remove the blanks around the path: [Files] lines are taken as written.";
                Add(file.line, Severity::Error, "missing-file",
                    "The builder stops here: " + Quote(resolved) + " is not a file it can pack.", hint);
            }
            if (!relativeNoted && !IsAbsolutePath(file.path)) {
                relativeNoted = true;
                const std::string dir = m_context.scriptDir.empty() ? "the current folder" : Quote(m_context.scriptDir);
                Add(file.line, Severity::Note, "relative-files",
                    "Relative [Files] paths are taken from " + dir + ", the script's folder.",
                    "Keep the files beside the script, or write full paths.");
            }
        }
        // Each stored name looked up as ExtractFile: looks it up, all at once
        // so that a build of many files is not checked in quadratic time.
        std::vector<std::string> names;
        names.reserve(files.size());
        for (const CPlannedFile& file : files)
            names.push_back(file.name);
        const std::vector<int> pickedIndex = CPackageFile::FindEntriesIn(m_entries, names);
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (pickedIndex[i] < 0)
                continue;
            const CPlannedFile* picked = &files[files.size() - 1 - static_cast<std::size_t>(pickedIndex[i])];
            if (picked == &files[i])
                continue;
            const std::string other = " (line " + std::to_string(picked->line) + ")";
            if (picked->name == files[i].name)
                Add(files[i].line, Severity::Warning, "duplicate-name",
                    "Two files are stored as " + Quote(files[i].name) + "; ExtractFile: always picks the one added later"
                        + other + ".",
                    "Give the files different names, or pack only one of them.");
            else
                Add(files[i].line, Severity::Warning, "shadowed-name",
                    "The stored name " + Quote(files[i].name) + " is part of " + Quote(picked->name) + other
                        + ", added later: ExtractFile: " + files[i].name + " picks that file.",
                    "Rename one of the files so that neither name holds the other.");
        }
    }

    void CheckLines(const CSectionWalk& walk, const std::map<int, std::string>& raw, bool tasks)
    {
        for (const auto& [line, text] : raw) {
            std::string code = text;
            CScript::StripComment(code);
            const std::size_t semi = text.find(';');
            if (semi != std::string::npos && semi > 0 && !str::Trimmed(code).empty()
                && text[semi - 1] != ' ' && text[semi - 1] != '\t' && !str::Contains(code, "OutputFile"))
                Add(line, Severity::Warning, "semicolon-in-value",
                    "\";\" starts a comment: everything after it is ignored, the line ends at "
                        + Quote(str::Trimmed(code)) + ".",
                    "Leave \";\" out of values; a comment at the end of a line reads best as \"value ; comment\".");
            const std::size_t eq = code.find('=');
            const std::size_t colon = code.find(':');
            if (tasks && eq != std::string::npos && colon < eq)
                Add(line, Severity::Warning, "equals-in-task",
                    "\"=\" splits the line before the colons do: it is read as the pairs " + LinePairs(walk, line) + ".",
                    "Leave \"=\" out of task lines; no value can hold one.");
        }
        for (const auto& [line, head] : walk.heads) {
            const std::string& name = walk.pairs[head];
            if (RecogniseWord(name) || str::Contains(name, "OutputFile"))
                continue;
            std::string message = "Nothing is recognised in " + Quote(name) + ": the installer skips it";
            if (const std::optional<TaskWord> taken = head + 1 < walk.pairs.size() ? RecogniseWord(walk.pairs[head + 1]) : std::nullopt)
                message += ", then takes its value " + Quote(walk.pairs[head + 1]) + " for " + std::string(TaskWordText(*taken));
            Add(line, Severity::Warning, tasks ? "unknown-command" : "unknown-key", message + ".",
                "Did you mean " + Quote(NearestWord(name, !tasks)) + "? Words are matched exactly, letter case included.");
        }
    }

    // The strings of one line of the pair list, as "name" = "value" pairs.
    static std::string LinePairs(const CSectionWalk& walk, int line)
    {
        std::string out;
        const auto head = walk.heads.find(line);
        for (std::size_t i = head == walk.heads.end() ? walk.pairs.size() : head->second;
             i + 1 < walk.pairs.size() && walk.lines[i] == line; i += 2)
            out += (out.empty() ? "" : ", ") + Quote(walk.pairs[i]) + " = " + Quote(walk.pairs[i + 1]);
        return out.empty() ? "(none)" : out;
    }

    void CheckSteps(const CSectionWalk& walk, const std::map<int, std::string>& raw)
    {
        for (const CTaskStep& step : walk.steps) {
            const int line = walk.lines[step.head];
            const TaskWord word = *step.word;
            const std::string command(TaskWordText(word));
            if (NeedsParam(word) && !step.withParam) {
                const std::string param(NextParamName(word));
                Add(line, Severity::Error, "missing-param",
                    "The installer shows \"" + command.substr(0, command.size() - 1) + " command requires " + param
                        + " param\" and does nothing: no " + param + ": follows the value.",
                    "Write " + command + " " + step.value + " " + param + ": ... on one line, with " + param
                        + ": right after the value.");
            }
            if (const auto head = walk.heads.find(line); IsSetupKey(word) && head->second == step.head)
                CheckSetupValue(step, line, raw);
            switch (word) {
            case TaskWord::ExtractFile:
                if (step.withParam && !PickedFile(m_files, m_entries, step.value))
                    Add(line, Severity::Error, "no-such-file",
                        "No packed file's name contains " + Quote(step.value)
                            + ": the installer says it cannot find it and extracts nothing.",
                        "Name a file listed under [Files] (its name without folder, letter case included).");
                break;
            case TaskWord::ExtractAll: {
                std::string dir = step.value;
                ExpandMacrosDir(dir, m_context.folders);
                std::string bare = dir;
                while (!bare.empty() && (bare.back() == '\\' || bare.back() == '/'))
                    bare.pop_back();
                if (bare.empty() || (bare.size() == 2 && bare[1] == ':'))
                    Add(line, Severity::Warning, "root-target",
                        Quote(step.value) + " expands to " + Quote(dir)
                            + " here, the file-system root: every packed file is written there.",
                        "Name a folder of its own, e.g. DSKDIR\\MyApp.");
                break;
            }
            case TaskWord::MessageBoxWord:
                if (step.withParam && MessageBoxIcon(step.param) == kBoxIconError)
                    Add(line, Severity::Warning, "icon-not-found",
                        "No icon is recognised in " + Quote(step.param)
                            + ": the hand (error) icon is shown. MB_ICONASTERISK counts only when a blank follows it.",
                        "Write MB_ICONQUESTION or MB_ICONEXCLAMATION, or put a word after MB_ICONASTERISK (\"MB_ICONASTERISK please\").");
                break;
            case TaskWord::CreateRegKey:
            case TaskWord::SetRegString:
            case TaskWord::SetRegDword:
                if (IsFallbackRoot(step.value) && !str::Contains(step.value, "HKEY_CLASSES_ROOT"))
                    Add(line, Severity::Warning, "root-key",
                        "No root key is recognised in " + Quote(step.value) + ": HKEY_CLASSES_ROOT is used.",
                        "Write HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS or HKEY_CURRENT_CONFIG (capitals).");
                break;
            case TaskWord::Run: {
                const std::string program = Expanded(step.value, m_context.folders);
                if (!m_context.shell.CanFind(program))
                    Add(line, Severity::Warning, "run-not-found",
                        Quote(program) + " cannot be found here: Run: would start nothing on this machine.",
                        "Check the name; a program without a folder is looked up on PATH, WINDIR is "
                            + Quote(GetWindowsDir(m_context.folders)) + ".");
                break;
            }
            default:
                break;
            }
        }
    }

    // A setup key's value as the screen gets it, against the line's text.
    void CheckSetupValue(const CTaskStep& step, int line, const std::map<int, std::string>& raw)
    {
        const auto text = raw.find(line);
        if (text == raw.end())
            return;
        std::string code = text->second;
        CScript::StripComment(code);
        std::size_t sep = code.find('=');
        if (sep == std::string::npos)
            sep = code.find(':');
        if (sep == std::string::npos)
            return;
        const std::string written = str::Trimmed(code.substr(sep + 1));
        if (written == step.value)
            return;
        Add(line, Severity::Warning, "colon-in-value",
            std::string(TaskWordText(*step.word)) + " gets " + Quote(step.value) + ", not " + Quote(written)
                + ": a colon in a value cuts it there (the word before the colon becomes a parameter name).",
            "Leave the colon out (a dash reads as well); only \"://\" and \":\\\" pass through.");
    }

    void CheckSetupScreen(const CSectionWalk& setup)
    {
        const CTaskStep* size = nullptr;
        const CTaskStep* readme = nullptr;
        for (const CTaskStep& step : setup.steps) {
            if (step.word == TaskWord::Size)
                size = &step;
            else if (step.word == TaskWord::Readme)
                readme = &step;
        }
        CStringArray header;
        std::vector<int> lines;
        m_script.GetSectionLines("Setup", header, &lines);
        const int firstLine = lines.empty() ? 1 : lines.front();
        int boxWidth = kTemplateReadmeWidth;
        int boxHeight = kTemplateReadmeHeight;
        if (size) {
            const CWindowSize window = ParseSize(size->value);
            const CRect box = ReadmeRect(window.cx, window.cy);
            boxWidth = box.Width();
            boxHeight = box.Height();
        } else {
            Add(firstLine, Severity::Note, "no-size",
                "[Setup] has no Size: the screen keeps the template's layout, with a read-me box of "
                    + std::to_string(boxWidth) + " by " + std::to_string(boxHeight) + " pixels.",
                "Add Size=width,height (e.g. Size=480,360) to lay the screen out.");
        }
        if (!readme)
            return;
        const std::string text = ReadmeText(readme->value);
        std::size_t columns = 0;
        std::size_t rows = 0;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = text.find("\r\n", start);
            const std::string_view row = std::string_view(text).substr(start, end == std::string::npos ? std::string::npos : end - start);
            columns = std::max(columns, row.size() + static_cast<std::size_t>(std::count(row.begin(), row.end(), '\t')) * (kTabColumns - 1));
            ++rows;
            if (end == std::string::npos)
                break;
            start = end + 2;
        }
        const std::size_t fitColumns = static_cast<std::size_t>(std::max(0, boxWidth / kReadmeCharWidth));
        const std::size_t fitRows = static_cast<std::size_t>(std::max(0, boxHeight / kReadmeLineHeight));
        if (columns > fitColumns || rows > fitRows)
            Add(setup.lines[readme->head], Severity::Note, "readme-overflow",
                "The read-me text has " + std::to_string(rows) + " lines of up to " + std::to_string(columns)
                    + " characters; its box shows about " + std::to_string(fitRows) + " lines of "
                    + std::to_string(fitColumns) + ", the rest needs scrolling (lines do not wrap).",
                "Break long lines with \\n, or make the window larger with Size.");
    }

    const CScript& m_script;
    const CCheckContext& m_context;
    std::vector<CFinding> m_findings;
    const std::vector<CPlannedFile> m_files;
    const std::vector<PackageEntry> m_entries;
    const std::map<int, std::string> m_rawSetup;
    const std::map<int, std::string> m_rawTasks;
};

} // namespace

std::vector<CFinding> CheckScript(const CScript& script, const CCheckContext& context)
{
    return CChecker(script, context).Run();
}

CFindingCount CountFindings(const std::vector<CFinding>& findings)
{
    CFindingCount count;
    for (const CFinding& finding : findings) {
        switch (finding.severity) {
        case Severity::Error:
            ++count.errors;
            break;
        case Severity::Warning:
            ++count.warnings;
            break;
        case Severity::Note:
            ++count.notes;
            break;
        }
    }
    return count;
}

std::string FindingCountText(const CFindingCount& count)
{
    const auto part = [](int n, const char* word) {
        return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
    };
    return part(count.errors, "error") + ", " + part(count.warnings, "warning") + ", " + part(count.notes, "note");
}

std::string_view SeverityName(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    case Severity::Note:
        break;
    }
    return "note";
}

std::string FormatFinding(const CFinding& finding)
{
    return std::to_string(finding.line) + ": " + std::string(SeverityName(finding.severity)) + ": " + finding.message
        + " " + finding.hint + " [" + finding.id + "]";
}

namespace {

class CExplainer {
public:
    CExplainer(const CScript& script, const CCheckContext& context)
        : m_context(context), m_files(PlannedFiles(script)), m_entries(ReaderEntries(m_files))
    {
    }

    std::vector<CExplainedStep> Explain(const CSectionWalk& walk)
    {
        std::vector<CExplainedStep> steps;
        for (const CTaskStep& step : walk.steps)
            steps.push_back(Explain(step, walk.lines[step.head]));
        return steps;
    }

private:
    std::string Path(const std::string& value) const { return Expanded(value, m_context.folders); }

    CExplainedStep Explain(const CTaskStep& step, int line)
    {
        CExplainedStep out{line, std::string(TaskWordText(*step.word)), {}};
        const auto field = [&out](std::string name, std::string value) {
            out.fields.push_back({std::move(name), std::move(value)});
        };
        const auto missing = [&](const char* param) {
            field("missing", std::string("no ") + param + ": follows the value; a message shows and nothing is done");
        };
        const std::string& value = step.value;
        switch (*step.word) {
        case TaskWord::WindowTitle:
            m_caption = value;
            field("caption", value);
            break;
        case TaskWord::Readme:
            field("read-me", ReadmeText(value));
            break;
        case TaskWord::Title:
            field("heading", "   " + value);
            break;
        case TaskWord::OK:
            field("button", value);
            break;
        case TaskWord::Status:
            if (value.empty())
                field("status", "unchanged (the value is empty)");
            else
                field("status", " " + value);
            break;
        case TaskWord::Size: {
            const CWindowSize size = ParseSize(value);
            field("width", std::to_string(size.cx));
            field("height", std::to_string(size.cy));
            break;
        }
        case TaskWord::ExtractFile:
            field("name", value);
            if (!step.withParam) {
                missing("To");
                break;
            }
            if (const CPlannedFile* picked = PickedFile(m_files, m_entries, value)) {
                const std::string to = Path(step.param);
                field("picks", picked->name + " ([Files] line " + std::to_string(picked->line) + ")");
                field("to", str::EndsWith(to, "\\") ? to + picked->name : to);
            } else {
                field("picks", "nothing: no packed file's name contains it");
            }
            break;
        case TaskWord::ExtractAll: {
            std::string dir = value;
            ExpandMacrosDir(dir, m_context.folders);
            field("folder", dir);
            for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry)
                field("writes", dir + entry->strName);
            break;
        }
        case TaskWord::MoveFileWord:
            field("from", Path(value));
            if (step.withParam)
                field("to", Path(step.param));
            else
                missing("To");
            break;
        case TaskWord::DeleteFileWord:
            field("path", Path(value));
            break;
        case TaskWord::Run:
            field("program", Path(value));
            field("parameters", ExpandParams(step.param, m_context.folders));
            break;
        case TaskWord::CreateRegKey:
            field("root", std::string(RootKeyNameFor(value)));
            if (step.withParam)
                field("key", step.param);
            else
                missing("Key");
            break;
        case TaskWord::SetRegString:
        case TaskWord::SetRegDword:
            field("root", std::string(RootKeyNameFor(value)));
            field("key", step.key);
            field("name", step.query);
            if (step.word == TaskWord::SetRegString)
                field("text", step.data);
            else
                field("number", std::to_string(static_cast<std::uint32_t>(AtoI(step.data))));
            break;
        case TaskWord::WriteToFile:
            field("file", Path(value));
            field("text", step.text);
            field("mode", str::Contains(step.mode, "CREATE") ? "create: the file starts afresh"
                                                             : "append: the file must exist");
            break;
        case TaskWord::MessageBoxWord:
            field("text", value);
            field("caption", m_caption);
            field("icon", std::string(IconName(MessageBoxIcon(step.param))));
            break;
        }
        return out;
    }

    const CCheckContext& m_context;
    const std::vector<CPlannedFile> m_files;
    const std::vector<PackageEntry> m_entries;
    // The window's caption as the passes leave it: message boxes take it.
    std::string m_caption;
};

void FormatSection(std::string& out, const char* header, const std::vector<CExplainedStep>& steps)
{
    out += header;
    out += '\n';
    if (steps.empty())
        out += "  (nothing)\n";
    for (const CExplainedStep& step : steps) {
        out += "  line " + std::to_string(step.line) + ": " + step.word + '\n';
        for (const CExplainField& field : step.fields)
            out += "    " + field.name + ": " + Quote(field.value) + '\n';
    }
}

} // namespace

CExplanation ExplainScript(const CScript& script, const CCheckContext& context)
{
    CExplainer explainer(script, context);
    CExplanation explanation;
    // The setup pass runs first; the caption it leaves is the task pass's.
    explanation.setup = explainer.Explain(WalkSection(script, "Setup"));
    explanation.tasks = explainer.Explain(WalkSection(script, "Tasks"));
    return explanation;
}

std::string FormatExplanation(const CExplanation& explanation)
{
    std::string out;
    FormatSection(out, "[Setup]", explanation.setup);
    FormatSection(out, "[Tasks]", explanation.tasks);
    return out;
}
