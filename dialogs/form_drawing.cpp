// The form's drawing: the colours of its labels and memos, and its push
// buttons painted flat with their pictures.
#include "dialogs/form.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "platform/dpi.h"
#include "resources/resource.h"

namespace tsly::dialogs {
namespace {

constexpr COLORREF kDarkBlue = 0xA00000;      // red 0, green 0, blue 160
constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
constexpr COLORREF kGlyphTransparent = RGB(192, 192, 192);

}  // namespace

LRESULT Form::ColourStatic(HDC dc, HWND control) {
    const ControlDef* def = DefOf(control);
    const Look look = def ? def->look : Look::Plain;
    COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
    if (look == Look::DarkBlue) colour = kDarkBlue;
    if (look == Look::Link) colour = kLinkBlue;
    SetTextColor(dc, colour);
    if (def && def->kind == Kind::Memo) {
        SetBkColor(dc, GetSysColor(COLOR_MENU));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_MENU));
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

HIMAGELIST Form::GlyphsOf(const ControlDef& def) const {
    if (def.glyphs == 0) return nullptr;
    // Drawn at 16, 24 and 32 pixels, under the id and the id plus these.
    struct Art {
        int size;
        int idOffset;
    };
    constexpr Art kArt[] = {{32, IDB_GLYPH_32}, {24, IDB_GLYPH_24}, {16, 0}};
    const int size = win::PictureSize(dpi_);
    Glyphs& glyphs = glyphs_[def.id];
    if (!glyphs.images || glyphs.size != size) {
        const Art* art = std::find_if(std::begin(kArt), std::end(kArt),
                                      [size](const Art& a) { return a.size == size; });
        glyphs.images.reset(ImageList_LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(def.glyphs + art->idOffset), size, 0,
            kGlyphTransparent, IMAGE_BITMAP, LR_CREATEDIBSECTION));
        glyphs.size = size;
    }
    return glyphs.images.get();
}

LRESULT Form::DrawButton(const NMCUSTOMDRAW& draw) const {
    if (draw.dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
    const ControlDef* def = DefOf(draw.hdr.hwndFrom);
    if (!def) return CDRF_DODEFAULT;
    HDC dc = draw.hdc;
    RECT r = draw.rc;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool enabled = !(draw.uItemState & CDIS_DISABLED);
    const bool pressed = (draw.uItemState & CDIS_SELECTED) != 0;
    const bool link = def->look == Look::Link;
    if (!link && enabled && (pressed || (draw.uItemState & CDIS_HOT))) {
        RECT edge = r;
        DrawEdge(dc, &edge, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }

    // Picture and caption centred together; a link's text from the left.
    const std::wstring text = TextOf(draw.hdr.hwndFrom);
    HGDIOBJ oldFont = SelectObject(dc, FontOf(*def));
    RECT extent{};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_SINGLELINE);
    HIMAGELIST glyphs = GlyphsOf(*def);
    const int size = win::PictureSize(dpi_);
    const int glyphWidth = glyphs ? size + (text.empty() ? 0 : win::PictureGap(dpi_)) : 0;
    const int shift = pressed && !link ? 1 : 0;
    const int contentWidth = glyphWidth + extent.right;
    int x = link ? r.left : r.left + (r.right - r.left - contentWidth) / 2 + shift;
    const int height = r.bottom - r.top;
    if (glyphs) {
        const int greyed = ImageList_GetImageCount(glyphs) > 1 ? 1 : 0;
        ImageList_Draw(glyphs, enabled ? 0 : greyed, dc, x,
                       r.top + (height - size) / 2 + shift, ILD_TRANSPARENT);
        x += glyphWidth;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, !enabled ? GetSysColor(COLOR_GRAYTEXT)
                     : link   ? kLinkBlue
                              : GetSysColor(COLOR_BTNTEXT));
    RECT textRect{x, r.top + (height - extent.bottom) / 2 + shift, x + extent.right, 0};
    textRect.bottom = textRect.top + extent.bottom;
    const UINT ui = static_cast<UINT>(SendMessageW(draw.hdr.hwndFrom, WM_QUERYUISTATE, 0, 0));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_SINGLELINE | DT_NOCLIP | ((ui & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0));
    SelectObject(dc, oldFont);
    if ((draw.uItemState & CDIS_FOCUS) && !(ui & UISF_HIDEFOCUS)) {
        RECT focus = link ? textRect : r;
        if (!link) InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
    return CDRF_SKIPDEFAULT;
}

}  // namespace tsly::dialogs
