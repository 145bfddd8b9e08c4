// sfxpack: the editor of installer scripts, and the setup screen of every
// installer built with it. Wires the application to FLTK and Linux.
#include "app/SfxApp.h"
#include "app/Version.h"
#include "platform/fltk/FltkChoiceList.h"
#include "platform/fltk/FltkDialog.h"
#include "platform/fltk/FltkFileDialog.h"
#include "platform/fltk/FltkMessageBox.h"
#include "platform/posix/PosixFolders.h"
#include "platform/posix/PosixShell.h"
#include "platform/posix/RegStore.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "Usage: sfxpack [--help | --version]\n"
    "\n"
    "Without a package appended, sfxpack is the editor of installer scripts;\n"
    "with one, it is that package's setup screen. It needs a graphical desktop.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "See sfxpack(1) and sfxtool(1).\n";

// The options that answer on the terminal, before any display or package
// is looked at: true, with the exit status, when one was given. Other
// arguments are left alone.
bool AnswerOption(int argc, char** argv, int& status)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("sfxpack %s\n", kSfxVersion);
            status = 0;
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            status = 0;
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (int status = 0; AnswerOption(argc, argv, status))
        return status;
    // Dates in the compile line follow the user's locale.
    std::setlocale(LC_TIME, "");
    if (!FltkOpenDisplay()) {
        const char* display = std::getenv("DISPLAY");
        if (display && *display)
            std::fprintf(stderr, "sfxpack: cannot open the X display \"%s\"; sfxpack needs a graphical desktop\n",
                         display);
        else
            std::fprintf(stderr, "sfxpack: no X display (DISPLAY is not set); sfxpack needs a graphical desktop\n");
        return 1;
    }
    CFltkDialog window;
    CFltkMessageBox box(window);
    CFltkChoiceList choiceList(window);
    CFltkFileDialog fileDialog;
    CPosixShell shell;
    CPosixFolders folders;
    CRegStore registry = CRegStore::Default();
    CSfxApp app({window, box, choiceList, fileDialog, shell, folders, registry});
    app.InitInstance();
    return 0;
}
