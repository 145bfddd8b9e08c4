// The common file dialog: the user picks a file to open or names one to
// save.
#pragma once

#include <string>

struct FileDialogOptions {
    enum class Kind { Open, Save };

    Kind kind = Kind::Open;
    std::string title;
    // Description and pattern pairs, each ended by '|':
    // "Ini File (*.ini)|*.ini|All Files (*.*)|*.*|".
    std::string filter;
};

class IFileDialog {
public:
    virtual ~IFileDialog() = default;
    // Runs the dialog modally and returns the chosen file's full path, or an
    // empty text when the user cancelled. A save dialog accepts any name,
    // also that of a file that does not exist, and does not ask before an
    // existing one is chosen. Once a file is chosen, its folder becomes the
    // process's current folder (when it can be entered), so a bare file name
    // names the chosen file.
    virtual std::string DoModal(const FileDialogOptions& options) = 0;
};
