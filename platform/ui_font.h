// The program's font: ＭＳ Ｐゴシック (Shift-JIS), 12 pixels at 96 dpi.
#pragma once

#include <windows.h>

#include "platform/handles.h"

namespace tsly::win {

enum class FontLook { Plain, StruckOut, Link };  // Link: bold and underlined

UniqueFont MakeUiFont(UINT dpi, FontLook look = FontLook::Plain);

}  // namespace tsly::win
