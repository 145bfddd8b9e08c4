// sfxpack: the editor of installer scripts, and the setup screen of every
// installer built with it. Wires the application to FLTK and Linux.
#include "app/SfxApp.h"
#include "platform/fltk/FltkDialog.h"
#include "platform/fltk/FltkFileDialog.h"
#include "platform/fltk/FltkMessageBox.h"
#include "platform/posix/PosixFolders.h"
#include "platform/posix/PosixShell.h"
#include "platform/posix/RegStore.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

int main()
{
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
    CFltkFileDialog fileDialog;
    CPosixShell shell;
    CPosixFolders folders;
    CRegStore registry = CRegStore::Default();
    CSfxApp app({window, box, fileDialog, shell, folders, registry});
    app.InitInstance();
    return 0;
}
