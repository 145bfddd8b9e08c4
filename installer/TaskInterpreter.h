// The interpreter of a script's [Setup] and [Tasks] sections. One pass walks
// a section's pair list and runs every setup key and task command it finds,
// while the progress bar stands in for the status line and the button is
// disabled.
#pragma once

#include "installer/SetupScreen.h"
#include "package/PackageFile.h"
#include "platform/Folders.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "script/Script.h"

#include <cstddef>
#include <string>

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
    // name without folder and extension.
    std::string appName;
};

class CTaskInterpreter {
public:
    explicit CTaskInterpreter(CTaskContext& context) : m_context(context) {}

    // The setup pass over [Setup] (bSetup) or the task pass over [Tasks].
    void RunScriptSection(bool bSetup);

private:
    // Runs the key or command at index i; returns the index after the last
    // string it used.
    std::size_t Step(const CStringArray& pairs, std::size_t i);
    void MissingParam(const char* message);
    std::string Expanded(std::string path) const;

    CTaskContext& m_context;
};
