// sfxtool's command groups. Each group adds its subcommands to the app; a
// command's callback leaves its exit status in status:
//   0 success, 1 the package or build is bad, 2 usage or an unreadable file.
#pragma once

#include "package/Inspect.h"

#include <string>

namespace CLI {
class App;
}
class CScript;
class IFolders;

inline constexpr char kProgram[] = "sfxtool";

void AddScriptCommands(CLI::App& app, int& status);
void AddPackageCommands(CLI::App& app, int& status);
void AddRegCommands(CLI::App& app, int& status);
void AddCheckCommands(CLI::App& app, int& status);

// The folder of the script file at path, absolute: relative [Files] paths
// and OutputFile are taken from it. Empty when it cannot be told.
std::string ScriptFolder(const std::string& path);

// Checks the script at path before a build: errors and warnings go to
// stderr; false (after one line saying why) when the build must not go on:
// on errors, and with strict on warnings too.
bool CheckBeforeBuild(const std::string& path, const CScript& script, const IFolders& folders, bool strict);

// Prints "sfxtool: " + message on stderr and returns code.
int Fail(int code, const std::string& message);

// Reads a whole file as bytes, exactly. On failure error says why.
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& error);
