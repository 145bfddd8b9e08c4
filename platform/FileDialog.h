// The common file dialog: the user picks a file to open or names one to
// save.
#pragma once

#include <string>
#include <vector>

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

struct FileFilter {
    std::string description;
    std::string pattern;
};

// The description and pattern pairs of a filter, in order; the last pattern
// may lack its '|', and a description without a pattern is left out.
inline std::vector<FileFilter> FilterPairs(const std::string& filter)
{
    std::vector<FileFilter> pairs;
    std::size_t pos = 0;
    while (pos < filter.size()) {
        const std::size_t descEnd = filter.find('|', pos);
        if (descEnd == std::string::npos)
            break;
        std::size_t patternEnd = filter.find('|', descEnd + 1);
        if (patternEnd == std::string::npos)
            patternEnd = filter.size();
        pairs.push_back({filter.substr(pos, descEnd - pos), filter.substr(descEnd + 1, patternEnd - descEnd - 1)});
        pos = patternEnd + 1;
    }
    return pairs;
}
