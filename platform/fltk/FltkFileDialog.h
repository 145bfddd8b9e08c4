// The common file dialog on FLTK: Fl_Native_File_Chooser, which shows the
// desktop's own chooser where it can and FLTK's otherwise.
#pragma once

#include "platform/FileDialog.h"

#include <string>

class CFltkFileDialog : public IFileDialog {
public:
    std::string DoModal(const FileDialogOptions& options) override;
};

// "desc|pattern|" pairs as the chooser takes them: "desc\tpattern" lines.
// "*.*" is every file, as on Windows. A pattern in brackets at the end of a
// description goes, as the chooser shows the pattern itself.
std::string ToFltkFilter(const std::string& filter);
// Makes the folder that holds path the process's current folder.
bool ChangeToFolderOf(const std::string& path);
