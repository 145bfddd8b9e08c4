// The system services on Linux: the wiring of the posix platform.
#include "platform/Platform.h"
#include "platform/posix/PosixFolders.h"
#include "platform/posix/PosixShell.h"
#include "platform/posix/RegStore.h"

#include <csignal>

#include <unistd.h>

std::unique_ptr<IFolders> MakeFolders()
{
    return std::make_unique<CPosixFolders>();
}

std::unique_ptr<IShell> MakeShell()
{
    return std::make_unique<CPosixShell>();
}

std::unique_ptr<IRegistryStore> MakeRegistry()
{
    return std::make_unique<CRegStore>(CRegStore::Default());
}

std::unique_ptr<IRegistryStore> MakeRegistryIn(const std::string& folder)
{
    return std::make_unique<CRegStore>(folder, folder);
}

bool HasInteractiveTerminal()
{
    return ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO);
}

void PrepareCommandLineProcess()
{
    // Past a file-size limit a write fails instead of ending the process,
    // so a build cleans up after itself and says why.
    std::signal(SIGXFSZ, SIG_IGN);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

const char* NativeSilentSwitch()
{
    return nullptr;
}

// A program started from a terminal has its streams already.
void ConnectStandardStreams()
{
}

void ReleaseStandardStreams()
{
}
