// FLTK windows in a test process on a virtual display. Include after
// GoogleTest: X11's headers define None, which it also uses.
#pragma once

#include "platform/fltk/FltkDialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <chrono>
#include <memory>

// Once per process, as the program does: FLTK keeps its fonts for the
// connection it opened first.
inline bool OpenDisplayOnce()
{
    static const bool opened = FltkOpenDisplay();
    return opened;
}

// Lets the window system catch up: every request done, every event handled.
inline void Settle()
{
    Fl::flush();
    XSync(fl_display, False);
    Fl::check();
}

// Calls done(rgb) with the w x h pixels at x, y of the window (three bytes
// each, row by row) until it returns true or ten seconds have passed: a
// loaded machine may paint late. The test then asserts what done found last.
template <class Check>
void ReadPixelsUntil(Fl_Window& window, int x, int y, int w, int h, Check done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
        Fl::wait(0.05);
        window.make_current();
        const std::unique_ptr<uchar[]> rgb(fl_read_image(nullptr, x, y, w, h));
        if (rgb && done(rgb.get()))
            return;
    } while (std::chrono::steady_clock::now() < deadline);
}
