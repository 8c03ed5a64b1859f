#include "platform/dpi.h"

namespace tsly::win {
namespace {

// Looked up at run time: older systems have neither function.
template <typename F>
F User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

UINT DpiOf(HWND hwnd) {
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && hwnd) {
        if (const UINT dpi = getDpiForWindow(hwnd)) return dpi;
    }
    return SystemDpi();
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi) {
    static const auto adjust = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (adjust && adjust(&rect, style, menu ? TRUE : FALSE, exStyle, dpi)) return;
    AdjustWindowRectEx(&rect, style, menu ? TRUE : FALSE, exStyle);
}

}  // namespace tsly::win
