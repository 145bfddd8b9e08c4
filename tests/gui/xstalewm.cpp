// xstalewm: leaves on the root window what a crashed window manager leaves
// behind, a _NET_SUPPORTING_WM_CHECK that names a window that is gone, so
// the next client that follows it gets a BadWindow error.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xstalewm: cannot open the display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    Window gone = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    XChangeProperty(display, root, XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False), XA_WINDOW, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&gone), 1);
    XDestroyWindow(display, gone);
    XCloseDisplay(display);
    return 0;
}
