#include "platform/fltk/FltkFileDialog.h"

#include "platform/fltk/FltkDialog.h"

#include <FL/Fl_Native_File_Chooser.H>

#include <algorithm>
#include <unistd.h>

std::string ToFltkFilter(const std::string& filter)
{
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t descEnd = filter.find('|', pos);
        if (descEnd == std::string::npos)
            break;
        const std::size_t patternEnd = std::min(filter.find('|', descEnd + 1), filter.size());
        if (!out.empty())
            out += '\n';
        std::string pattern = filter.substr(descEnd + 1, patternEnd - descEnd - 1);
        if (pattern == "*.*")
            pattern = "*"; // every file, as on Windows, not only names with a dot
        // The choosers show the pattern after the description themselves.
        std::string description = filter.substr(pos, descEnd - pos);
        const std::size_t shown = description.rfind(" (");
        if (shown != std::string::npos && description.back() == ')')
            description.erase(shown);
        out += description + '\t' + pattern;
        if (patternEnd >= filter.size())
            break;
        pos = patternEnd + 1;
    }
    return out;
}

bool ChangeToFolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return true; // a bare name is in the current folder already
    return ::chdir(slash == 0 ? "/" : path.substr(0, slash).c_str()) == 0;
}

std::string CFltkFileDialog::DoModal(const FileDialogOptions& options)
{
    Fl_Native_File_Chooser chooser(options.kind == FileDialogOptions::Kind::Open
                                       ? Fl_Native_File_Chooser::BROWSE_FILE
                                       : Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
    chooser.title(options.title.c_str());
    const std::string filter = ToFltkFilter(options.filter);
    if (!filter.empty())
        chooser.filter(filter.c_str());
    // As the system's own dialogs do, it opens in the current folder.
    char folder[4096];
    if (::getcwd(folder, sizeof folder))
        chooser.directory(folder);
    const int shown = chooser.show();
    // The desktop's chooser brings its own X error handlers.
    FltkInstallXErrorHandlers();
    if (shown != 0 || !chooser.filename() || !*chooser.filename())
        return {};
    const std::string path = chooser.filename();
    ChangeToFolderOf(path); // a folder that cannot be entered stays as it was
    return path;
}
