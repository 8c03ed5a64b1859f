// The program's font: ＭＳ Ｐゴシック (Shift-JIS), 12 pixels at 96 dpi.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/handles.h"

namespace tsly::win {

enum class FontLook { Plain, StruckOut, Link };  // Link: bold and underlined

UniqueFont MakeUiFont(UINT dpi, FontLook look = FontLook::Plain);

// A device context for measuring text in `font`, kept for the program's
// life: a window's own costs a trip to the window system each time, and
// painting a list measures many texts.
HDC MeasuringDc(HFONT font);
// The size `text` takes in `font`.
SIZE TextExtent(HFONT font, std::wstring_view text);
// A window's font (WM_GETFONT).
HFONT FontOf(HWND window);

}  // namespace tsly::win
