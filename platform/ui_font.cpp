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

HDC MeasuringDc(HFONT font) {
    static HDC dc = CreateCompatibleDC(nullptr);
    // No font: the system's, as a window without one draws in.
    SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    return dc;
}

SIZE TextExtent(HFONT font, std::wstring_view text) {
    SIZE size{};
    GetTextExtentPoint32W(MeasuringDc(font), text.data(), static_cast<int>(text.size()), &size);
    return size;
}

HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); }

}  // namespace tsly::win
