// sfxpack: the editor of installer scripts, and every installer built with
// it. Reads the command line first; then wires the application to the
// platform's desktop or, for an installer that runs silent or finds no
// display, to the terminal.
#include "app/SfxApp.h"
#include "app/Version.h"
#include "package/Inspect.h"
#include "platform/Platform.h"
#include "platform/UserInterface.h"
#include "script/Paths.h"
#include "script/StrUtil.h"

#include <clocale>
#include <cstdio>
#include <memory>
#include <filesystem>
#include <vector>

#include <getopt.h>

namespace {

// getopt_long, not the option library sfxtool uses: that one brings C++
// streams, about 440 KB more in every installer.
enum class Action { None, Help, Version, List, Verify, Script, Extract, Silent };

struct CCommandLine {
    Action action = Action::None;
    std::string dir;  // --extract
    std::string file; // the editor's script
};

constexpr const char* kUsage = "usage: %s [--silent | --extract DIR | --list | --verify | --script | --help | --version] [FILE]\n";

constexpr const char* kHelp =
    "An installer (sfxpack with a package appended):\n"
    "  (no option)    the setup screen; as text in a terminal when there is no display\n"
    "  --silent       install without a window or questions: progress, messages and\n"
    "                 failures on stderr, every message box takes its default answer\n"
    "  --extract DIR  write every packed file into DIR (created if missing); no task runs\n"
    "  --list         the packed files, added last first: name TAB length\n"
    "  --verify       check the package: exit 0 only when it is well-formed\n"
    "  --script       print the script, byte for byte\n"
    "sfxpack without a package is the script editor:\n"
    "  FILE           the script to open (default: sample.ini, else a built-in sample)\n"
    "Both:\n"
    "  --help         this text\n"
    "  --version      the version, and an installer's compile line\n"
    "Exit status: 0 done; 1 a task failed, the package is bad, the install was\n"
    "cancelled or there is no display; 2 usage, or a file that cannot be read.\n"
    "See sfxpack(1) and sfxtool(1).\n";

// Parses argv; false, after saying why, on a usage error.
bool ParseCommandLine(int argc, char** argv, const std::string& program, CCommandLine& line)
{
    static const option kOptions[] = {
        {"help", no_argument, nullptr, 'h'},     {"version", no_argument, nullptr, 'V'},
        {"list", no_argument, nullptr, 'l'},     {"verify", no_argument, nullptr, 'v'},
        {"script", no_argument, nullptr, 's'},   {"extract", required_argument, nullptr, 'x'},
        {"silent", no_argument, nullptr, 'S'},   {nullptr, 0, nullptr, 0},
    };
    static const std::pair<int, Action> kActions[] = {
        {'h', Action::Help},   {'V', Action::Version}, {'l', Action::List},   {'v', Action::Verify},
        {'s', Action::Script}, {'x', Action::Extract}, {'S', Action::Silent},
    };
    auto usage = [&](const std::string& message) {
        CommandFail(program, kExitUsage, message);
        std::fprintf(stderr, kUsage, program.c_str());
        return false;
    };
    opterr = 0; // the messages are ours
    for (int c; (c = getopt_long(argc, argv, ":h", kOptions, nullptr)) != -1;) {
        if (c == ':')
            return usage(std::string(argv[optind - 1]) + " needs a folder");
        if (c == '?')
            return usage("unknown option " + std::string(argv[optind - 1]));
        if (line.action != Action::None)
            return usage("one option at a time");
        for (const auto& [key, action] : kActions) {
            if (c == key)
                line.action = action;
        }
        if (c == 'x')
            line.dir = optarg;
    }
    if (argc - optind > 1)
        return usage("one FILE at most");
    if (optind < argc) {
        if (line.action != Action::None)
            return usage("FILE is for the editor, without options");
        line.file = argv[optind];
    }
    return true;
}

// The script and compile line of the package appended to self; empty
// without one.
struct CAppended {
    std::string script;
    std::string compileLine;
};

CAppended ReadAppended(const std::string& program, const std::string& self)
{
    CConsoleBox box(program);
    CPackageFile reader(self, box);
    CAppended appended;
    appended.script = reader.ReadNextText();
    if (!appended.script.empty())
        appended.compileLine = reader.ReadNextText();
    return appended;
}

// The application on ui, with the system's services.
CSfxServices Services(IUserInterface& ui, IShell& shell, const IFolders& folders, IRegistry& registry)
{
    return {ui.Window(), ui.Box(), ui.ChoiceList(), ui.FileDialog(), shell, folders, registry, ui.Log()};
}

// The installer without a window: the same application on the terminal.
int RunOnTerminal(TermMode mode, const std::string& program)
{
    const std::unique_ptr<IUserInterface> ui = MakeTerminal(mode, stdin, stderr, program);
    const std::unique_ptr<IShell> shell = MakeShell();
    const std::unique_ptr<IFolders> folders = MakeFolders();
    const std::unique_ptr<IRegistry> registry = MakeRegistry();
    CSfxApp app(Services(*ui, *shell, *folders, *registry));
    app.InitInstance();
    return ui->Succeeded() ? kExitOk : kExitBad;
}

int RunWindow(const std::string& file)
{
    const std::unique_ptr<IUserInterface> ui = MakeDesktop();
    const std::unique_ptr<IShell> shell = MakeShell();
    const std::unique_ptr<IFolders> folders = MakeFolders();
    const std::unique_ptr<IRegistry> registry = MakeRegistry();
    CSfxApp app(Services(*ui, *shell, *folders, *registry), file);
    // A lost display still leaves the editor's text in memory: save it.
    OnDesktopLost([&app] { return app.SaveRecoveryCopy(); });
    app.InitInstance();
    OnDesktopLost(nullptr);
    return kExitOk;
}

// The arguments as UTF-8, with the system's own silent switch as --silent.
std::vector<std::string> Arguments(int argc, char** argv)
{
    std::vector<std::string> args = CommandLineArguments(argc, argv);
    const char* silent = NativeSilentSwitch();
    for (std::size_t i = 1; silent && i < args.size(); ++i) {
        if (args[i] == silent)
            args[i] = "--silent";
    }
    return args;
}

} // namespace

int main(int argc, char** argv)
{
    // Past a file-size limit a write fails instead of ending the process,
    // so a build or an extraction cleans up after itself and says why.
    PrepareCommandLineProcess();
    ConnectStandardStreams();
    // Dates in the compile line follow the user's locale.
    std::setlocale(LC_TIME, "");
    std::vector<std::string> args = Arguments(argc, argv);
    std::vector<char*> argvUtf8;
    for (std::string& arg : args)
        argvUtf8.push_back(arg.data());
    argvUtf8.push_back(nullptr);
    const int count = static_cast<int>(args.size());
    const std::string program = count > 0 ? std::filesystem::path(args[0]).filename().string() : "sfxpack";
    CCommandLine line;
    if (!ParseCommandLine(count, argvUtf8.data(), program, line))
        return kExitUsage;

    const std::string self = GetExePath(*MakeFolders());
    switch (line.action) {
    case Action::Help:
        std::printf(kUsage, program.c_str());
        std::fputs(kHelp, stdout);
        return kExitOk;
    case Action::Version: {
        std::printf("sfxpack %s\n", kSfxVersion);
        // The compile line as the status line shows it, without its lead blank.
        const std::string compileLine = str::Trimmed(ReadAppended(program, self).compileLine);
        if (!compileLine.empty())
            std::printf("%s\n", compileLine.c_str());
        return kExitOk;
    }
    case Action::List:
        return ListInstaller(program, self);
    case Action::Verify:
        return VerifyInstaller(program, self);
    case Action::Script:
        return PrintInstallerScript(program, self);
    case Action::Extract:
        return ExtractInstaller(program, self, line.dir);
    case Action::Silent:
    case Action::None:
        break;
    }

    const bool installer = !ReadAppended(program, self).script.empty();
    if (line.action == Action::Silent) {
        if (!installer)
            return CommandFail(program, kExitBad, self + " has no package appended: nothing to install");
        return RunOnTerminal(TermMode::Silent, program);
    }
    if (installer && !line.file.empty())
        return CommandFail(program, kExitUsage, "an installer opens no FILE");
    if (!line.file.empty()) {
        std::error_code error;
        CFile probe;
        if (std::filesystem::exists(line.file, error) && !probe.Open(line.file, CFile::Mode::Read))
            return CommandFail(program, kExitUsage, "cannot read " + line.file);
    }
    if (ConnectDesktop()) {
        ReleaseStandardStreams();
        return RunWindow(line.file);
    }
    if (!installer)
        return CommandFail(program, kExitBad, NoDesktopReason() + "; sfxpack needs a graphical desktop");
    if (HasInteractiveTerminal())
        return RunOnTerminal(TermMode::Text, program);
    return CommandFail(program, kExitBad, NoDesktopReason() + " and no terminal; " + program + " --silent installs without either");
}
