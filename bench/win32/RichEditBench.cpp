// How colouring a whole script grows with its size on the RichEdit widget:
// the built-in sample repeated to 2,500, 5,000, 10,000 and 20,000 lines,
// loaded and coloured as the editor does, with the time per 1,000 lines and
// each size's time against the size before (linear work keeps that near 2).
// Beside it, the least a colouring can ask of the control itself: the same
// text put in, then each line selected and given a colour once, with
// messages straight to the control. Plain timing: there is no Google
// Benchmark for Windows here.
// Run on a display: xvfb-run -a wine build-win/bench/win32/bench_richedit.exe
#include "bench/LargeScript.h"
#include "editor/ColorEditCtrl.h"
#include "platform/win32gui/Win32TextWidget.h"
#include "tests/fakes/FakePlatform.h"

#include <windows.h>
#include <richedit.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    auto* widget = reinterpret_cast<CWin32TextWidget*>(::GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && widget)
        widget->OnChangeNotification();
    return FALSE;
}

// Seconds to load and colour a script of this many lines in a new editor
// (raw: one format per line, straight to the control).
double LoadAndColour(int lines, bool raw)
{
    struct alignas(4) {
        DLGTEMPLATE head{WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 0, 0, 400, 300};
        WORD menuClassTitle[3] = {};
    } dialog;
    const HWND window = ::CreateDialogIndirectParamW(nullptr, &dialog.head, nullptr, DialogProc, 0);
    const HWND edit = ::CreateWindowW(L"RICHEDIT50W", L"",
                                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                          ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
                                      0, 0, 600, 450, window, nullptr, nullptr, nullptr);
    const HFONT font = ::CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FF_MODERN, L"Courier New");
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    double seconds = 0;
    if (raw) {
        std::wstring text;
        for (char c : LargeScript(lines))
            text += static_cast<wchar_t>(c);
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_COLOR;
        format.crTextColor = RGB(0, 0, 255);
        const auto start = std::chrono::steady_clock::now();
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        ::SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(edit, EM_HIDESELECTION, TRUE, 0);
        const int count = static_cast<int>(::SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
        for (int line = 0; line < count; ++line) {
            const LONG first = static_cast<LONG>(::SendMessageW(edit, EM_LINEINDEX, line, 0));
            CHARRANGE range{first, first + static_cast<LONG>(::SendMessageW(edit, EM_LINELENGTH, first, 0))};
            ::SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
            ::SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        }
        ::SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } else {
        CWin32TextWidget widget(edit);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&widget));
        CFakeControl caption;
        CFakeMessageBox boxes;
        CColorEditCtrl editor;
        editor.Attach(widget, caption, boxes);
        const std::string text = LargeScript(lines);
        const auto start = std::chrono::steady_clock::now();
        editor.SetText(text);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    ::DestroyWindow(window);
    ::DeleteObject(font);
    return seconds;
}

} // namespace

int main()
{
    if (!::LoadLibraryW(L"Msftedit.dll")) {
        std::fprintf(stderr, "bench_richedit: no Msftedit.dll\n");
        return 1;
    }
    for (const bool raw : {false, true}) {
        std::printf("%s\n%8s %10s %16s %12s\n", raw ? "one format per line, straight to the control:" : "the editor:",
                    "lines", "seconds", "ms/1000 lines", "vs half");
        double previous = 0;
        for (int lines = 2500; lines <= 20000; lines *= 2) {
            const double seconds = LoadAndColour(lines, raw);
            std::printf("%8d %10.3f %16.1f", lines, seconds, seconds * 1e6 / lines);
            if (previous > 0)
                std::printf(" %12.2f", seconds / previous);
            std::printf("\n");
            std::fflush(stdout);
            previous = seconds;
        }
    }
    return 0;
}
