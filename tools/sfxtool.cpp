// sfxtool: builds, inspects and verifies sfxpack installers from the command line.
#include "app/Version.h"
#include "platform/Platform.h"
#include "tools/Commands.h"

#include <CLI/CLI.hpp>

int main(int argc, char** argv)
{
    PrepareCommandLineProcess();
    CLI::App app{"sfxtool: build, inspect and verify sfxpack installers, and show how a script is read"};
    app.require_subcommand(1);
    app.fallthrough(false);
    app.set_version_flag("--version", std::string("sfxtool ") + kSfxVersion);

    int status = kExitOk;
    AddScriptCommands(app, status);
    AddPackageCommands(app, status);
    AddRegCommands(app, status);
    AddCheckCommands(app, status);

    const std::vector<std::string> args = CommandLineArguments(argc, argv);
    std::vector<const char*> utf8Argv;
    for (const std::string& arg : args)
        utf8Argv.push_back(arg.c_str());
    try {
        app.parse(static_cast<int>(utf8Argv.size()), utf8Argv.data());
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "sfxtool: " << e.what() << "\n(run 'sfxtool --help' for usage)\n";
        return kExitUsage;
    }
    return status;
}
