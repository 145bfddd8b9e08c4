#include "platform/win32gui/Win32Control.h"

namespace {

// GetDpiForWindow came with Windows 10 (1607); older systems have one DPI
// for every window, the screen's.
unsigned (WINAPI* DpiForWindowFunction())(HWND)
{
    static const auto function = reinterpret_cast<unsigned(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return function;
}

// The window property that holds the DPI of the last WM_DPICHANGED: the one
// a window is laid out for, even where the system cannot say it (Wine).
constexpr const wchar_t* kDpiProperty = L"SfxDpi";

} // namespace

void SetWindowDpi(HWND topLevel, unsigned dpi)
{
    if (dpi)
        ::SetPropW(topLevel, kDpiProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
    else
        ::RemovePropW(topLevel, kDpiProperty);
}

unsigned WindowDpi(HWND window)
{
    if (const HWND root = ::GetAncestor(window, GA_ROOT)) {
        if (const auto told = reinterpret_cast<UINT_PTR>(::GetPropW(root, kDpiProperty)))
            return static_cast<unsigned>(told);
    }
    if (const auto dpiForWindow = DpiForWindowFunction()) {
        if (const unsigned dpi = dpiForWindow(window))
            return dpi;
    }
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

int ToDevice(HWND window, int pixels)
{
    return ::MulDiv(pixels, static_cast<int>(WindowDpi(window)), USER_DEFAULT_SCREEN_DPI);
}

int ToLogic(HWND window, int pixels)
{
    return ::MulDiv(pixels, USER_DEFAULT_SCREEN_DPI, static_cast<int>(WindowDpi(window)));
}

CRect ToDevice(HWND window, const CRect& rect)
{
    return {ToDevice(window, rect.left), ToDevice(window, rect.top), ToDevice(window, rect.right),
            ToDevice(window, rect.bottom)};
}

CRect ToLogic(HWND window, const CRect& rect)
{
    return {ToLogic(window, rect.left), ToLogic(window, rect.top), ToLogic(window, rect.right),
            ToLogic(window, rect.bottom)};
}

std::string WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return Utf8(text.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}
