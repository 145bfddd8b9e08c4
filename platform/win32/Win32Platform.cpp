// The system services on Windows: the wiring of the win32 platform.
#include "platform/Platform.h"
#include "platform/win32/Win32Folders.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Wide.h"

#include <cstdio>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

std::unique_ptr<IFolders> MakeFolders()
{
    return std::make_unique<CWin32Folders>();
}

std::unique_ptr<IShell> MakeShell()
{
    return std::make_unique<CWin32Shell>();
}

std::unique_ptr<IRegistryStore> MakeRegistry()
{
    return std::make_unique<CWin32Registry>();
}

// The registry is the system's own: there is no store of files to point at.
std::unique_ptr<IRegistryStore> MakeRegistryIn(const std::string& /*folder*/)
{
    return nullptr;
}

// No file-size signal to ignore: a write past a limit fails and says so.
bool HasInteractiveTerminal()
{
    return ::_isatty(::_fileno(stdin)) && ::_isatty(::_fileno(stderr));
}

void PrepareCommandLineProcess()
{
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i)
        args.push_back(Utf8(wide[i], ::wcslen(wide[i])));
    ::LocalFree(wide);
    return args;
}

// Windows' installers are run silent with /S; that spelling only, so a
// file named like a switch in another case is never taken for one.
const char* NativeSilentSwitch()
{
    return "/S";
}

namespace {

bool g_consoleAttached = false;

bool HasStream(DWORD which)
{
    const HANDLE handle = ::GetStdHandle(which);
    return handle && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

void ConnectStandardStreams()
{
    // Streams redirected to a file or a pipe are kept as they are.
    const bool in = HasStream(STD_INPUT_HANDLE);
    const bool out = HasStream(STD_OUTPUT_HANDLE);
    const bool err = HasStream(STD_ERROR_HANDLE);
    if ((in && out && err) || !::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    g_consoleAttached = true;
    if (!in)
        std::freopen("CONIN$", "r", stdin);
    if (!out)
        std::freopen("CONOUT$", "w", stdout);
    if (!err)
        std::freopen("CONOUT$", "w", stderr);
}

void ReleaseStandardStreams()
{
    if (g_consoleAttached)
        ::FreeConsole();
    g_consoleAttached = false;
}
