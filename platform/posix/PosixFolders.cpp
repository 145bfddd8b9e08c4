#include "platform/posix/PosixFolders.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

void DropTrailingSlashes(std::string& path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
}

std::string Home()
{
    std::string home = Env("HOME");
    DropTrailingSlashes(home);
    return home;
}

// The value of a user-dirs.dirs line "XDG_DESKTOP_DIR=\"$HOME/Desktop\"".
// The file is written for the shell, but only two forms are allowed in it:
// a path relative to $HOME, or an absolute one. Anything else is not a
// desktop path, and the line is ignored, as other desktop libraries do.
bool ParseDesktopLine(std::string_view line, const std::string& home, std::string& path)
{
    constexpr std::string_view kKey = "XDG_DESKTOP_DIR";
    constexpr std::string_view kBlanks = " \t";
    line.remove_prefix(std::min(line.size(), line.find_first_not_of(kBlanks)));
    if (!line.starts_with(kKey))
        return false;
    line.remove_prefix(kKey.size());
    line.remove_prefix(std::min(line.size(), line.find_first_not_of(kBlanks)));
    if (!line.starts_with('='))
        return false;
    line.remove_prefix(1);
    line.remove_prefix(std::min(line.size(), line.find_first_not_of(kBlanks)));
    if (!line.starts_with('"'))
        return false;
    line.remove_prefix(1);

    std::string value;
    bool closed = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            closed = true;
            break;
        }
        if (line[i] == '\\' && i + 1 < line.size())
            ++i;
        value += line[i];
    }
    if (!closed)
        return false;

    for (std::string_view homeWord : {"$HOME", "${HOME}"}) {
        if (value.starts_with(homeWord) && (value.size() == homeWord.size() || value[homeWord.size()] == '/')) {
            if (home.empty())
                return false;
            value.replace(0, homeWord.size(), home);
            break;
        }
    }
    if (!value.starts_with('/'))
        return false;
    DropTrailingSlashes(value);
    path = std::move(value);
    return true;
}

std::string UserDirsFile(const std::string& home)
{
    // A relative XDG_CONFIG_HOME is invalid and is ignored.
    const std::string config = Env("XDG_CONFIG_HOME");
    if (config.starts_with('/'))
        return config + "/user-dirs.dirs";
    if (home.empty())
        return {};
    return home + "/.config/user-dirs.dirs";
}

} // namespace

std::string CPosixFolders::WindowsDirectory() const
{
    return "/usr/bin";
}

std::string CPosixFolders::ModuleFileName() const
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        // The link may have been cut to the buffer: try again with more room.
        buffer.resize(buffer.size() * 2);
    }
}

std::string CPosixFolders::DesktopDirectory() const
{
    const std::string home = Home();
    std::string desktop;
    const std::string dirsFile = UserDirsFile(home);
    // Plain stdio, not iostreams: sfxpack links the C++ runtime statically,
    // and a file stream alone would add the whole locale library to it.
    if (std::FILE* in = dirsFile.empty() ? nullptr : std::fopen(dirsFile.c_str(), "r")) {
        char* line = nullptr;
        std::size_t capacity = 0;
        // As in the shell that sources the file, the last assignment wins.
        for (ssize_t length; (length = ::getline(&line, &capacity, in)) >= 0;) {
            std::string_view text(line, static_cast<std::size_t>(length));
            if (text.ends_with('\n'))
                text.remove_suffix(1);
            ParseDesktopLine(text, home, desktop);
        }
        std::free(line);
        std::fclose(in);
    }
    if (desktop.empty() && !home.empty())
        desktop = home + "/Desktop";
    return desktop;
}
