// Sizes for the screen a window is on. Layouts are written in pixels at
// 96 dpi and scaled to the window's DPI when they are applied.
#pragma once

#include <windows.h>

namespace tsly::win {

inline constexpr UINT kDesignDpi = 96;
inline constexpr UINT kWmDpiChanged = 0x02E0;  // WM_DPICHANGED, newer than the headers' target

// A size at 96 dpi, at `dpi`.
inline int Scale(int size96, UINT dpi) {
    return MulDiv(size96, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

// The pictures are drawn at 16, 24 and 32 pixels: the largest that fits 16
// pixels at `dpi`, never a stretched one.
inline int PictureSize(UINT dpi) {
    const int room = Scale(16, dpi);
    return room >= 32 ? 32 : room >= 24 ? 24 : 16;
}

// The room between a picture and its caption, in menus and on buttons.
inline int PictureGap(UINT dpi) { return Scale(4, dpi); }

// The DPI of the window's monitor (GetDpiForWindow where the system has it,
// otherwise the system DPI).
UINT DpiOf(HWND hwnd);
// The DPI every window had before per-monitor DPI: the screen's LOGPIXELSY.
UINT SystemDpi();

// The outer rectangle around a client rectangle at `dpi`, with the frame
// metrics of that DPI where the system can give them.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi);

}  // namespace tsly::win
