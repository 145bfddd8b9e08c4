// Commands that show how a script is read: the pair list, the section lines,
// key values and the directory macros, exactly as the installer and the
// builder see them.
#include "platform/Platform.h"
#include "script/Paths.h"
#include "script/Script.h"
#include "tools/Commands.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <iostream>
#include <memory>

namespace {

// Script bytes are not guaranteed UTF-8; invalid sequences are replaced so
// the output stays valid JSON.
std::string Json(const nlohmann::json& value)
{
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

struct ScriptArgs {
    std::string script;
    std::string name;
};

struct ExpandArgs {
    std::string text;
    bool dir = false;
};

// Loads the script file named on the command line; on failure sets status.
bool LoadScript(const std::string& path, CScript& script, int& status)
{
    std::string bytes, error;
    if (!ReadFileBytes(path, bytes, error)) {
        status = Fail(kExitUsage, error);
        return false;
    }
    script.SetText(std::move(bytes));
    return true;
}

using SectionLister = void (CScript::*)(const std::string&, const CScript::StringTaker&) const;

// A command that prints what one of the section functions gives for a
// section, as a JSON array written string by string: a large script's
// strings are never all held at once, nor a JSON document of them.
void AddSectionListCommand(CLI::App& app, int& status, const char* name, const char* help, const char* example,
                           SectionLister list)
{
    auto args = std::make_shared<ScriptArgs>();
    CLI::App* command = app.add_subcommand(name, help);
    command->add_option("SCRIPT", args->script, "script file")->required();
    command->add_option("SECTION", args->name, std::string("section name without brackets, e.g. ") + example)
        ->required();
    command->callback([args, list, &status] {
        CScript script;
        if (!LoadScript(args->script, script, status))
            return;
        char separator = '[';
        (script.*list)(args->name, [&separator](std::string&& text, int) {
            std::cout << separator << Json(text);
            separator = ',';
        });
        std::cout << (separator == '[' ? "[]" : "]") << '\n';
    });
}

} // namespace

void AddScriptCommands(CLI::App& app, int& status)
{
    AddSectionListCommand(app, status, "pairs",
                          "Print a section's pair list (name, value, name, value, ...) as a JSON array", "Tasks",
                          &CScript::ForEachSectionPair);
    AddSectionListCommand(app, status, "lines", "Print a section's non-empty lines (header first) as a JSON array",
                          "Files", &CScript::ForEachSectionLine);

    auto keyArgs = std::make_shared<ScriptArgs>();
    CLI::App* key = app.add_subcommand("key", "Print the value of a key (the text after '=' where the key first occurs) as a JSON string");
    key->add_option("SCRIPT", keyArgs->script, "script file")->required();
    key->add_option("KEY", keyArgs->name, "key, e.g. OutputFile")->required();
    key->callback([keyArgs, &status] {
        CScript script;
        if (!LoadScript(keyArgs->script, script, status))
            return;
        std::cout << Json(script.GetKeyValue(keyArgs->name)) << '\n';
    });

    auto expandArgs = std::make_shared<ExpandArgs>();
    CLI::App* expand = app.add_subcommand("expand", "Print TEXT with WINDIR, CURDIR and DSKDIR expanded, as the installer expands a path (JSON string)");
    expand->add_option("TEXT", expandArgs->text, "text holding macro words, e.g. 'CURDIR\\help'")->required();
    expand->add_flag("--dir", expandArgs->dir, "expand as a target directory (ends in a backslash), as ExtractAll does");
    expand->callback([expandArgs] {
        // CURDIR is the folder of sfxtool itself here, not of an installer.
        const std::unique_ptr<IFolders> folders = MakeFolders();
        std::string text = expandArgs->text;
        if (expandArgs->dir)
            ExpandMacrosDir(text, *folders);
        else
            ExpandMacros(text, *folders);
        std::cout << Json(text) << '\n';
    });
}
