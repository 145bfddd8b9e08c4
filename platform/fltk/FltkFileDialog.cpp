#include "platform/fltk/FltkFileDialog.h"

#include "platform/fltk/FltkDialog.h"

#include <FL/Fl_Native_File_Chooser.H>

#include <unistd.h>

std::string ToFltkFilter(const std::string& filter)
{
    std::string out;
    for (FileFilter pair : FilterPairs(filter)) {
        if (!out.empty())
            out += '\n';
        if (pair.pattern == "*.*")
            pair.pattern = "*"; // every file, as on Windows, not only names with a dot
        // The choosers show the pattern after the description themselves.
        const std::size_t shown = pair.description.rfind(" (");
        if (shown != std::string::npos && pair.description.back() == ')')
            pair.description.erase(shown);
        out += pair.description + '\t' + pair.pattern;
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
