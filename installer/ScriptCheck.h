// The script checker and explainer: what the builder and the installer will
// do with a script, line by line, before anything is built or run. They read
// the script through the builder's and the interpreter's own functions (pair
// list, section lines, ReadTaskStep, the directory macros, the package's
// entry look-up) and only observe what those give; they never parse again.
#pragma once

#include "platform/Folders.h"
#include "platform/Shell.h"
#include "script/Script.h"

#include <string>
#include <string_view>
#include <vector>

enum class Severity { Error, Warning, Note };

struct CFinding {
    int line = 0; // from 1
    Severity severity = Severity::Note;
    std::string id;      // short and stable, e.g. "unknown-command"
    std::string message; // what the builder or installer will do
    std::string hint;    // what to write instead
};

// The machine the script is checked on.
struct CCheckContext {
    // The macros expand as they would on this machine.
    const IFolders& folders;
    // Where Run: would find its program.
    const IShell& shell;
    // The folder relative [Files] paths are taken from: the script file's
    // folder; empty for a text never saved (the current folder).
    std::string scriptDir;
};

// Every finding, in line order (errors first on one line).
std::vector<CFinding> CheckScript(const CScript& script, const CCheckContext& context);

struct CFindingCount {
    int errors = 0;
    int warnings = 0;
    int notes = 0;
};
CFindingCount CountFindings(const std::vector<CFinding>& findings);
// "1 error, 2 warnings, 0 notes"
std::string FindingCountText(const CFindingCount& count);
std::string_view SeverityName(Severity severity);
// One line: "12: warning: <message> <hint> [id]".
std::string FormatFinding(const CFinding& finding);

// One key or command as the installer will carry it out: the word, and each
// value as it will be used (pair rules applied, macros expanded here).
struct CExplainField {
    std::string name;
    std::string value;
};
struct CExplainedStep {
    int line = 0;
    std::string word; // "Title", "ExtractFile:"
    std::vector<CExplainField> fields;
};
struct CExplanation {
    std::vector<CExplainedStep> setup; // the setup pass, at start-up
    std::vector<CExplainedStep> tasks; // the task pass, at the button
};

CExplanation ExplainScript(const CScript& script, const CCheckContext& context);
// The explanation as text: one block per section, each step's line and
// word, then one indented line per value, in quotes with control
// characters and quotes escaped.
std::string FormatExplanation(const CExplanation& explanation);
