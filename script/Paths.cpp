#include "script/Paths.h"

#include "script/StrUtil.h"

namespace {

constexpr std::string_view kSeparators = "\\/";

} // namespace

PathParts SplitPath(const std::string& path)
{
    PathParts parts;
    std::string_view rest = path;
    if (rest.size() >= 2 && rest[1] == ':') {
        parts.drive = rest.substr(0, 2);
        rest.remove_prefix(2);
    }
    const std::size_t lastSep = rest.find_last_of(kSeparators);
    if (lastSep != std::string_view::npos) {
        parts.dir = rest.substr(0, lastSep + 1);
        rest.remove_prefix(lastSep + 1);
    }
    const std::size_t dot = rest.rfind('.');
    if (dot != std::string_view::npos) {
        parts.ext = rest.substr(dot);
        rest.remove_suffix(rest.size() - dot);
    }
    parts.fname = rest;
    return parts;
}

std::string GetDirectoryPart(const std::string& path)
{
    PathParts parts = SplitPath(path);
    return parts.drive + parts.dir;
}

std::string GetFileNamePart(const std::string& path)
{
    PathParts parts = SplitPath(path);
    return parts.fname + parts.ext;
}

std::string GetWindowsDir(const IFolders& folders)
{
    return folders.WindowsDirectory();
}

std::string GetExePath(const IFolders& folders)
{
    return folders.ModuleFileName();
}

std::string GetExeDir(const IFolders& folders)
{
    std::string dir = GetDirectoryPart(GetExePath(folders));
    // Either separator: a Linux path has no backslash to cut at.
    const std::size_t sep = dir.find_last_of(kSeparators);
    dir.erase(sep == std::string::npos ? 0 : sep);
    return dir;
}

std::string GetDesktopDir(const IFolders& folders)
{
    return folders.DesktopDirectory();
}

void ExpandMacros(std::string& text, const IFolders& folders)
{
    str::ReplaceAll(text, "WINDIR", GetWindowsDir(folders));
    str::ReplaceAll(text, "CURDIR", GetExeDir(folders));
    str::ReplaceAll(text, "DSKDIR", GetDesktopDir(folders));
    str::Trim(text);
}

void ExpandMacrosDir(std::string& text, const IFolders& folders)
{
    ExpandMacros(text, folders);
    if (text.empty() || text.back() != '\\')
        text += '\\';
}
