// The system services of the platform the build is for (SFX_PLATFORM). Each
// platform's wiring file makes them from its own realisations, so the
// programs name only these interfaces and one switch picks the system.
#pragma once

#include "platform/Folders.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

#include <memory>
#include <string>
#include <vector>

std::unique_ptr<IFolders> MakeFolders();
std::unique_ptr<IShell> MakeShell();
// The registry every installer on this machine writes.
std::unique_ptr<IRegistryStore> MakeRegistry();
// A registry kept in folder alone, every root key in it, instead of the
// machine's (sfxtool reg --store); nullptr where the system keeps no such
// store (Windows, whose registry is its own).
std::unique_ptr<IRegistryStore> MakeRegistryIn(const std::string& folder);
// Readies a command-line program for its file work: a write past a
// file-size limit then fails as an error instead of ending the process.
void PrepareCommandLineProcess();
// The program's arguments as UTF-8 (Windows hands main() the ANSI code
// page's bytes; the wide command line is the true one). argv[0] first.
std::vector<std::string> CommandLineArguments(int argc, char** argv);
// The word this system's installers take for --silent, besides it ("/S"
// on Windows); nullptr where there is none.
const char* NativeSilentSwitch();
// A windowed program's standard streams. Windows starts a GUI program
// without them: they are joined to the console of whoever started it, when
// there is one and they are not redirected already. Released again before a
// window opens, so that console is free.
void ConnectStandardStreams();
void ReleaseStandardStreams();
// True when someone can answer at a terminal: both standard input and
// standard error are one.
bool HasInteractiveTerminal();
