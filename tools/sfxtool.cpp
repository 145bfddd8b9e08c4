// sfxtool: builds, inspects and verifies sfxpack installers from the command line.
#include "app/Version.h"
#include "tools/Commands.h"

#include <CLI/CLI.hpp>

#include <csignal>

int main(int argc, char** argv)
{
    // Past a file-size limit a write fails instead of ending the process,
    // so a build cleans up after itself and says why.
    std::signal(SIGXFSZ, SIG_IGN);
    CLI::App app{"sfxtool: build, inspect and verify sfxpack installers, and show how a script is read"};
    app.require_subcommand(1);
    app.fallthrough(false);
    app.set_version_flag("--version", std::string("sfxtool ") + kSfxVersion);

    int status = kExitOk;
    AddScriptCommands(app, status);
    AddPackageCommands(app, status);
    AddRegCommands(app, status);
    AddCheckCommands(app, status);

    try {
        app.parse(argc, argv);
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
