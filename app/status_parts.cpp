#include "app/status_parts.h"

#include <commctrl.h>

#include <string>

#include "core/status_split.h"
#include "platform/dpi.h"

namespace tsly {
namespace {

// The width a part's text takes in the bar's font.
int TextWidth(HWND bar, HDC dc, int part) {
    const std::wstring text = StatusBarText(bar, part);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

std::wstring StatusBarText(HWND bar, int part) {
    const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0));
    std::wstring text(length + 1u, L'\0');
    SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::char_traits<wchar_t>::length(text.c_str()));
    return text;
}

void StatusParts::Fit(UINT dpi) const {
    if (!bar_) return;
    RECT client{};
    GetClientRect(bar_, &client);
    HDC dc = GetDC(bar_);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(bar_, WM_GETFONT, 0, 0)));
    // Each part's text sits between margins; the right one beside the grip.
    const int margins = win::Scale(8, dpi);
    const int left = TextWidth(bar_, dc, 0) + margins;
    const int right = TextWidth(bar_, dc, 1) + margins + GetSystemMetrics(SM_CXVSCROLL);
    SelectObject(dc, old);
    ReleaseDC(bar_, dc);
    int parts[2] = {LeftPartWidth(client.right, preferred_, left, right), -1};
    int now[2] = {};
    SendMessageW(bar_, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(now));
    if (now[0] != parts[0]) SendMessageW(bar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

}  // namespace tsly
