#include "platform/ui_font.h"

#include "platform/dpi.h"

namespace tsly::win {

UniqueFont MakeUiFont(UINT dpi, FontLook look) {
    LOGFONTW lf{};
    lf.lfHeight = -Scale(12, dpi);
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfWeight = look == FontLook::Link ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = look == FontLook::Link ? TRUE : FALSE;
    lf.lfStrikeOut = look == FontLook::StruckOut ? TRUE : FALSE;
    lstrcpynW(lf.lfFaceName, L"ＭＳ Ｐゴシック", LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&lf));
}

}  // namespace tsly::win
