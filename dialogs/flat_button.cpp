#include "dialogs/flat_button.h"

#include <string>

namespace tsly::dialogs {
namespace {

constexpr char kClassName[] = "TsFlatButton";
constexpr int kGlyphSize = 16;
constexpr int kSpacing = 4;  // between picture and caption
constexpr COLORREF kTransparent = RGB(192, 192, 192);

std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(),
                                                        static_cast<int>(text.size()))));
    return text;
}

}  // namespace

void FlatButton::Create(HWND parent, int id, const RECT& bounds, const char* caption,
                        int glyphs, HFONT font) {
    RegisterClass(kClassName, nullptr, GetSysColorBrush(COLOR_BTNFACE), 0);
    if (glyphs != 0) {
        glyphs_.reset(ImageList_LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(glyphs),
                                           kGlyphSize, 0, kTransparent, IMAGE_BITMAP,
                                           LR_CREATEDIBSECTION));
    }
    font_ = font;
    CreateWindowFor(0, kClassName, caption, WS_CHILD | WS_VISIBLE, bounds.left, bounds.top,
                    bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void FlatButton::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT r{};
    GetClientRect(hwnd(), &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool enabled = IsWindowEnabled(hwnd()) != FALSE;
    if (enabled && hot_) {
        RECT edge = r;
        DrawEdge(dc, &edge, pressed_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }

    // Picture and caption are centred together.
    const std::wstring text = TextOf(hwnd());
    HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    const int glyphWidth = glyphs_ ? kGlyphSize + (text.empty() ? 0 : kSpacing) : 0;
    const int shift = pressed_ && hot_ ? 1 : 0;
    int x = (r.right - glyphWidth - extent.cx) / 2 + shift;
    const int height = r.bottom;
    if (glyphs_) {
        const int greyed = ImageList_GetImageCount(glyphs_.get()) > 1 ? 1 : 0;
        ImageList_Draw(glyphs_.get(), enabled ? 0 : greyed, dc, x,
                       (height - kGlyphSize) / 2 + shift, ILD_TRANSPARENT);
        x += glyphWidth;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    TextOutW(dc, x, (height - extent.cy) / 2 + shift, text.c_str(),
             static_cast<int>(text.size()));
    SelectObject(dc, oldFont);
    EndPaint(hwnd(), &ps);
}

void FlatButton::SetHot(bool hot) {
    if (hot_ == hot) return;
    hot_ = hot;
    if (hot) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
        TrackMouseEvent(&track);
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void FlatButton::Click() {
    if (!IsWindowEnabled(hwnd())) return;
    const int id = GetDlgCtrlID(hwnd());
    SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd()));
}

LRESULT FlatButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
        return TRUE;
    case WM_MOUSEMOVE: {
        RECT r{};
        GetClientRect(hwnd(), &r);
        const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        SetHot(PtInRect(&r, pt) != FALSE);
        return 0;
    }
    case WM_MOUSELEAVE:
        SetHot(false);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // No SetFocus: the button leaves the keyboard focus where it is.
        SetCapture(hwnd());
        pressed_ = true;
        SetHot(true);
        InvalidateRect(hwnd(), nullptr, TRUE);
        return 0;
    case WM_LBUTTONUP:
        if (pressed_) {
            const bool inside = hot_;
            ReleaseCapture();  // clears pressed_ through WM_CAPTURECHANGED
            if (inside) Click();
        }
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = false;
        InvalidateRect(hwnd(), nullptr, TRUE);
        return 0;
    case BM_CLICK:
        Click();
        return 0;
    case WM_ENABLE:
        InvalidateRect(hwnd(), nullptr, TRUE);
        return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE:
        return DLGC_STATIC;  // never a tab stop or default button
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

}  // namespace tsly::dialogs
