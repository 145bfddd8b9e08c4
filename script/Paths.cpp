#include "script/Paths.h"

#include "script/StrUtil.h"

#include <algorithm>

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

bool IsAbsolutePath(const std::string& path)
{
    return (!path.empty() && (path[0] == '/' || path[0] == '\\')) || (path.size() >= 2 && path[1] == ':');
}

std::string ResolveScriptPath(const std::string& folder, const std::string& path)
{
    if (folder.empty() || path.empty() || IsAbsolutePath(path))
        return path;
    const char last = folder.back();
    if (last == '/' || last == '\\')
        return folder + path;
    // The folder's own separator: a Windows folder reads as one.
    const bool windows = folder.find('\\') != std::string::npos && folder.find('/') == std::string::npos;
    return folder + (windows ? '\\' : '/') + path;
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

namespace {

void ReplaceMacros(std::string& text, const IFolders& folders)
{
    str::ReplaceAll(text, "WINDIR", GetWindowsDir(folders));
    str::ReplaceAll(text, "CURDIR", GetExeDir(folders));
    str::ReplaceAll(text, "DSKDIR", GetDesktopDir(folders));
}

bool StartsWithMacro(std::string_view word)
{
    return word.starts_with("WINDIR") || word.starts_with("CURDIR") || word.starts_with("DSKDIR");
}

} // namespace

void ExpandMacros(std::string& text, const IFolders& folders)
{
    ReplaceMacros(text, folders);
    str::Trim(text);
}

std::string ExpandParams(const std::string& params, const IFolders& folders)
{
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < params.size();) {
        if (!quoted && (params[i] == ' ' || params[i] == '\t')) {
            out += params[i++];
            continue;
        }
        // A word runs to the next blank outside double quotes.
        std::size_t end = i;
        for (; end < params.size(); ++end) {
            if (params[end] == '"')
                quoted = !quoted;
            else if (!quoted && (params[end] == ' ' || params[end] == '\t'))
                break;
        }
        std::string word = params.substr(i, end - i);
        const std::size_t start = word.find_first_not_of('"');
        const bool isPath = start != std::string::npos && StartsWithMacro(std::string_view(word).substr(start));
        ReplaceMacros(word, folders);
        if (isPath)
            std::replace(word.begin(), word.end(), '\\', '/');
        out += word;
        i = end;
    }
    str::Trim(out);
    return out;
}

void ExpandMacrosDir(std::string& text, const IFolders& folders)
{
    ExpandMacros(text, folders);
    if (text.empty() || text.back() != '\\')
        text += '\\';
}
