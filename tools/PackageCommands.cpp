// Commands over installers: build one from a script without the editor, and
// look into one (list, extract, script, info, verify) through the same reader
// the installer itself uses.
#include "package/Builder.h"
#include "package/Inspect.h"
#include "platform/Platform.h"
#include "script/StrUtil.h"
#include "tools/Commands.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

namespace {

// Stored names and texts are bytes, not necessarily UTF-8.
std::string Dump(const nlohmann::ordered_json& value)
{
    return value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The builder's "running executable" is the stub: the default output lands
// beside it, as it lands beside the editor that builds.
class CStubFolders : public IFolders {
public:
    explicit CStubFolders(std::string stub) : m_stub(std::move(stub)) {}
    std::string WindowsDirectory() const override { return m_system->WindowsDirectory(); }
    std::string ModuleFileName() const override { return m_stub; }
    std::string DesktopDirectory() const override { return m_system->DesktopDirectory(); }

private:
    std::unique_ptr<IFolders> m_system = MakeFolders();
    std::string m_stub;
};

// Every status line is printed, but written out at most every 100 ms (or
// 64 KiB): a line and a write per file would cost more than packing a small
// file. Whatever is held goes out before a progress line and with the
// message every build ends with, so the order stays and no line is lost.
class CConsoleBuildReport : public IBuildReport {
public:
    void SetStatus(const std::string& text) override
    {
        m_pending += str::EscapeControls(str::Trimmed(text));
        m_pending += '\n';
        FlushIfDue();
    }
    int ShowBox(const std::string& text, const std::string&, unsigned style) override
    {
        // Errors were already shown as the status line; the test question
        // is answered No, leaving just its first line.
        if ((style & kBoxTypeMask) == kBoxYesNo)
            m_pending += str::EscapeControls(text.substr(0, text.find('\n'))) + '\n';
        Flush();
        return kAnswerNo;
    }
    void StartFile(const std::string&) override {}
    void Progress(const std::string& path, std::int64_t done, std::int64_t total) override
    {
        // A large file shows the line naming it while it is copied.
        FlushIfDue();
        if (total < kProgressFrom)
            return;
        const int step = static_cast<int>(done * 10 / total);
        if (path != m_path) {
            m_path = path;
            m_step = 0;
        }
        if (step > m_step) {
            m_step = step;
            m_pending += "  " + std::to_string(step * 10) + "% of " + path + '\n';
            Flush();
        }
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::int64_t kProgressFrom = 64 << 20;
    static constexpr std::size_t kHoldBytes = 64 * 1024;
    static constexpr Clock::duration kHoldTime = std::chrono::milliseconds(100);

    void FlushIfDue()
    {
        if (m_pending.size() >= kHoldBytes || Clock::now() - m_flushed >= kHoldTime)
            Flush();
    }
    void Flush()
    {
        if (!m_pending.empty())
            std::fwrite(m_pending.data(), 1, m_pending.size(), stderr);
        m_pending.clear();
        m_flushed = Clock::now();
    }

    std::string m_path;
    int m_step = 0;
    std::string m_pending;
    Clock::time_point m_flushed{};
};

// sfxpack beside sfxtool, with sfxtool's own extension (sfxpack.exe on
// Windows).
std::string DefaultStub()
{
    const std::filesystem::path self = MakeFolders()->ModuleFileName();
    return (self.parent_path() / ("sfxpack" + self.extension().string())).string();
}

struct BuildArgs {
    std::string script;
    std::string stub;
    std::string output;
    bool strict = false;
};

void RunBuild(const BuildArgs& args, int& status)
{
    std::string text, error;
    if (!ReadFileBytes(args.script, text, error)) {
        status = Fail(kExitUsage, error);
        return;
    }
    const std::string stubPath = args.stub.empty() ? DefaultStub() : args.stub;
    CConsoleBox box(kProgram);
    std::unique_ptr<CPackageFile> stub;
    if ((status = OpenInstaller(kProgram, stubPath, stub, box)))
        return;
    // The compile line is dated in the user's own language.
    std::setlocale(LC_TIME, "");
    CStubFolders folders(std::filesystem::absolute(stubPath).string());
    const CScript script(std::move(text));
    if (!CheckBeforeBuild(args.script, script, folders, args.strict)) {
        status = kExitBad;
        return;
    }
    CConsoleBuildReport report;
    BuildOptions options;
    options.outputFile = args.output;
    options.scriptPath = args.script;
    options.baseFolder = ScriptFolder(args.script);
    if (!BuildArchive(*stub, script, folders, report, options))
        status = kExitBad;
}

struct InstallerArgs {
    std::string installer;
    std::string name;
    std::string dest;
    bool json = false;
};

void PrintJsonEntries(const std::vector<PackageEntry>& entries)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const PackageEntry& entry : entries)
        list.push_back({{"name", entry.strName}, {"length", entry.nBodyLength}, {"offset", entry.nBodyOffset}});
    std::cout << Dump(list) << '\n';
}

void RunList(const InstallerArgs& args, int& status)
{
    status = ListInstaller(kProgram, args.installer, args.json ? PrintJsonEntries : PrintEntries);
}

void RunExtract(const InstallerArgs& args, int& status)
{
    COpenedPackage package(kProgram);
    if ((status = OpenPackage(kProgram, args.installer, package)))
        return;
    CPackageFile& reader = *package.reader;
    if (!reader.ExtractFile(args.name, args.dest)) {
        const bool packageFault = package.box.Last().starts_with("Cannot find ") || package.box.Last().starts_with("Cannot extract ");
        status = packageFault ? kExitBad : kExitUsage;
    }
}

void RunExtractAll(const InstallerArgs& args, int& status)
{
    status = ExtractInstaller(kProgram, args.installer, args.dest);
}

void RunScript(const InstallerArgs& args, int& status)
{
    status = PrintInstallerScript(kProgram, args.installer);
}

void RunInfo(const InstallerArgs& args, int& status)
{
    COpenedPackage package(kProgram);
    if ((status = OpenPackage(kProgram, args.installer, package)))
        return;
    CPackageFile& reader = *package.reader;
    const std::string script = reader.ReadNextText();
    const std::string compile = script.empty() ? std::string() : reader.ReadNextText();
    std::int64_t bodies = 0;
    for (const PackageEntry& entry : package.layout.entries)
        bodies += entry.nBodyLength;
    const bool stubFound = package.layout.nStubLength >= 0;
    if (args.json) {
        using Json = nlohmann::ordered_json;
        const Json info = {
            {"file", args.installer},
            {"size", package.layout.nFileLength},
            {"stub", stubFound ? Json(package.layout.nStubLength) : Json()},
            {"package", stubFound ? Json(package.layout.nFileLength - package.layout.nStubLength) : Json()},
            {"files", package.layout.entries.size()},
            {"bodies", bodies},
            {"compiled", compile},
            {"script", script.size()},
            {"wellFormed", package.layout.problem.empty()},
            {"problem", package.layout.problem},
        };
        std::cout << Dump(info) << '\n';
        return;
    }
    std::cout << "file      " << args.installer << '\n'
              << "size      " << package.layout.nFileLength << " bytes\n";
    if (stubFound) {
        std::cout << "stub      " << package.layout.nStubLength << " bytes\n"
                  << "package   " << package.layout.nFileLength - package.layout.nStubLength << " bytes\n";
    }
    std::cout << "files     " << package.layout.entries.size() << " (" << bodies << " bytes)\n"
              << "compiled  " << str::Trimmed(compile) << '\n'
              << "script    " << script.size() << " bytes\n"
              << "check     " << (package.layout.problem.empty() ? std::string("well-formed") : str::EscapeControls(package.layout.problem)) << '\n';
}

void RunVerify(const InstallerArgs& args, int& status)
{
    status = VerifyInstaller(kProgram, args.installer);
}

using Runner = void (*)(const InstallerArgs&, int&);

CLI::App* AddInstallerCommand(CLI::App& app, int& status, const char* name, const char* help, Runner run,
                              std::shared_ptr<InstallerArgs> args)
{
    CLI::App* command = app.add_subcommand(name, help);
    command->add_option("INSTALLER", args->installer, "an installer built by sfxpack or sfxtool build")->required();
    command->callback([args, run, &status] { run(*args, status); });
    return command;
}

} // namespace

void AddPackageCommands(CLI::App& app, int& status)
{
    auto buildArgs = std::make_shared<BuildArgs>();
    CLI::App* build = app.add_subcommand("build", "Build an installer from a script, as the editor's Create New Archive does");
    build->add_option("SCRIPT", buildArgs->script, "script file ([Setup] OutputFile, [Files], [Tasks])")->required();
    build->add_option("--stub", buildArgs->stub,
                      "the program copied to the front of the installer (default: the sfxpack executable beside sfxtool)");
    build->add_option("-o,--output", buildArgs->output,
                      "the installer to write, instead of the script's OutputFile (default without either: myapp.exe beside the stub)");
    build->add_flag("--strict", buildArgs->strict, "stop on warnings of the script check as well as on errors");
    build->footer("The script is checked first (as sfxtool check): errors stop the build, warnings are printed. "
                  "Status lines and progress go to stderr. [Files] paths and a relative OutputFile are taken from the current folder.");
    build->callback([buildArgs, &status] { RunBuild(*buildArgs, status); });

    auto listArgs = std::make_shared<InstallerArgs>();
    CLI::App* list = AddInstallerCommand(app, status, "list", "List the packed files in reader order (added last first): name, TAB, length",
                                         RunList, listArgs);
    list->add_flag("--json", listArgs->json, "print a JSON array of {name, length, offset}");

    auto extractArgs = std::make_shared<InstallerArgs>();
    CLI::App* extract = AddInstallerCommand(app, status, "extract",
                                            "Write the first file whose stored name contains NAME to DEST, as the installer's ExtractFile does",
                                            RunExtract, extractArgs);
    extract->add_option("NAME", extractArgs->name, "part of a stored name (case-sensitive)")->required();
    extract->add_option("DEST", extractArgs->dest, "destination file; ending in a backslash: a folder for the stored name")->required();

    auto allArgs = std::make_shared<InstallerArgs>();
    CLI::App* all = AddInstallerCommand(app, status, "extract-all", "Write every packed file into DIR under its stored name",
                                        RunExtractAll, allArgs);
    all->add_option("DIR", allArgs->dest, "destination folder (its last level is created)")->required();

    AddInstallerCommand(app, status, "script", "Print the installer's script, byte for byte", RunScript,
                        std::make_shared<InstallerArgs>());

    auto infoArgs = std::make_shared<InstallerArgs>();
    CLI::App* info = AddInstallerCommand(app, status, "info", "Show the compile line, stub size, file count and sizes",
                                         RunInfo, infoArgs);
    info->add_flag("--json", infoArgs->json, "print a JSON object");

    AddInstallerCommand(app, status, "verify",
                        "Check the whole package structure; exit 0 only when well-formed, else one line says what is wrong and where",
                        RunVerify, std::make_shared<InstallerArgs>());
}
