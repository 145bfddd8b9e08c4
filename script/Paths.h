// Path functions and the directory macros WINDIR, CURDIR and DSKDIR.
// Both '\' and '/' separate folders, as the runtime's _splitpath splits them.
#pragma once

#include "platform/Folders.h"

#include <string>

// The parts of a path: drive ("C:" or empty), directory (ending in a
// separator, or empty), file name, extension (with its dot, or empty).
struct PathParts {
    std::string drive;
    std::string dir;
    std::string fname;
    std::string ext;
};

PathParts SplitPath(const std::string& path);

// Drive and directory of a path, ending in a separator; a bare name gives "".
std::string GetDirectoryPart(const std::string& path);
// File name and extension without drive and directory.
std::string GetFileNamePart(const std::string& path);

// A path that begins at a root: a separator or a drive ("C:").
bool IsAbsolutePath(const std::string& path);
// A path a script names ([Files], OutputFile): a relative one is taken from
// folder, the script file's folder; an empty folder leaves it relative to
// the current folder.
std::string ResolveScriptPath(const std::string& folder, const std::string& path);

std::string GetWindowsDir(const IFolders& folders);
std::string GetExePath(const IFolders& folders);
// The executable's directory without its trailing separator.
std::string GetExeDir(const IFolders& folders);
std::string GetDesktopDir(const IFolders& folders);

// Replaces WINDIR, then CURDIR, then DSKDIR everywhere in text, then trims it.
void ExpandMacros(std::string& text, const IFolders& folders);
// Run:'s parameters with the macros expanded. A word (blanks separate,
// double quotes group) that begins with a macro is a path of this system:
// its backslashes become slashes. Every other byte stays as written.
std::string ExpandParams(const std::string& params, const IFolders& folders);
// As ExpandMacros, and makes the text end in a backslash.
void ExpandMacrosDir(std::string& text, const IFolders& folders);
