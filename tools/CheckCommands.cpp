// Commands that tell what a script will do before it is built or run: check
// lists what will go wrong or surprise, explain shows every key and task as
// the installer will carry it out. Both read the script through the same
// functions as the builder and the installer.
#include "installer/ScriptCheck.h"
#include "platform/Platform.h"
#include "tools/Commands.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <iostream>
#include <memory>

namespace {

using Json = nlohmann::ordered_json;

// Script bytes are not guaranteed UTF-8; invalid sequences are replaced so
// the output stays valid JSON.
std::string Dump(const Json& value)
{
    return value.dump(2, ' ', false, Json::error_handler_t::replace);
}

struct CheckArgs {
    std::string script;
    bool json = false;
};


Json FindingsJson(const std::vector<CFinding>& findings)
{
    Json list = Json::array();
    for (const CFinding& finding : findings)
        list.push_back({{"line", finding.line},
                        {"severity", SeverityName(finding.severity)},
                        {"id", finding.id},
                        {"message", finding.message},
                        {"hint", finding.hint}});
    return list;
}

// A step's values as one object; a name given more than once (the files an
// ExtractAll writes) becomes an array.
Json StepsJson(const std::vector<CExplainedStep>& steps)
{
    Json list = Json::array();
    for (const CExplainedStep& step : steps) {
        Json fields = Json::object();
        for (const CExplainField& field : step.fields) {
            Json& slot = fields[field.name];
            if (slot.is_null())
                slot = field.value;
            else if (slot.is_array())
                slot.push_back(field.value);
            else
                slot = Json::array({slot, field.value});
        }
        list.push_back({{"line", step.line}, {"word", step.word}, {"values", fields}});
    }
    return list;
}

// Reads the script named on the command line and hands it to show with this
// machine as the context; on a file that cannot be read, sets status.
template <class Show>
void WithScript(const CheckArgs& args, int& status, Show show)
{
    std::string text, error;
    if (!ReadFileBytes(args.script, text, error)) {
        status = Fail(kExitUsage, error);
        return;
    }
    const std::unique_ptr<IFolders> folders = MakeFolders();
    const std::unique_ptr<IShell> shell = MakeShell();
    show(CScript(std::move(text)), CCheckContext{*folders, *shell, ScriptFolder(args.script)});
}

void RunCheck(const CheckArgs& args, int& status)
{
    WithScript(args, status, [&](const CScript& script, const CCheckContext& context) {
        const std::vector<CFinding> findings = CheckScript(script, context);
        if (args.json) {
            std::cout << Dump(FindingsJson(findings)) << '\n';
        } else {
            for (const CFinding& finding : findings)
                std::cout << args.script << ':' << FormatFinding(finding) << '\n';
            std::cout << FindingCountText(CountFindings(findings)) << '\n';
        }
        if (CountFindings(findings).errors > 0)
            status = kExitBad;
    });
}

void RunExplain(const CheckArgs& args, int& status)
{
    WithScript(args, status, [&](const CScript& script, const CCheckContext& context) {
        const CExplanation explanation = ExplainScript(script, context);
        if (args.json)
            std::cout << Dump(Json{{"setup", StepsJson(explanation.setup)}, {"tasks", StepsJson(explanation.tasks)}}) << '\n';
        else
            std::cout << FormatExplanation(explanation);
    });
}

} // namespace

std::string ScriptFolder(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? std::string() : absolute.lexically_normal().parent_path().string();
}

bool CheckBeforeBuild(const std::string& path, const CScript& script, const IFolders& folders, bool strict)
{
    const std::unique_ptr<IShell> shell = MakeShell();
    const std::vector<CFinding> findings = CheckScript(script, {folders, *shell, ScriptFolder(path)});
    const CFindingCount count = CountFindings(findings);
    for (const CFinding& finding : findings) {
        if (finding.severity != Severity::Note)
            std::cerr << path << ':' << FormatFinding(finding) << '\n';
    }
    if (count.errors > 0 || (strict && count.warnings > 0)) {
        Fail(kExitBad, "nothing built: " + FindingCountText(count) + (count.errors > 0 ? "" : " (--strict)"));
        return false;
    }
    return true;
}

void AddCheckCommands(CLI::App& app, int& status)
{
    auto checkArgs = std::make_shared<CheckArgs>();
    CLI::App* check = app.add_subcommand(
        "check", "List what the builder and the installer will do wrong or unexpectedly with a script: line, severity, message, hint");
    check->add_option("SCRIPT", checkArgs->script, "script file")->required();
    check->add_flag("--json", checkArgs->json, "print a JSON array of {line, severity, id, message, hint}");
    check->footer("Exit status: 0 without errors (warnings and notes allowed), 1 with errors, 2 usage or an unreadable file.");
    check->callback([checkArgs, &status] { RunCheck(*checkArgs, status); });

    auto explainArgs = std::make_shared<CheckArgs>();
    CLI::App* explain = app.add_subcommand(
        "explain", "Show each [Setup] key and [Tasks] command as the installer will carry it out, macros expanded on this machine");
    explain->add_option("SCRIPT", explainArgs->script, "script file")->required();
    explain->add_flag("--json", explainArgs->json, "print a JSON object {setup: [...], tasks: [...]}");
    explain->footer("CURDIR is sfxtool's own folder here, not an installer's.");
    explain->callback([explainArgs, &status] { RunExplain(*explainArgs, status); });
}
