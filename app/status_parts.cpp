#include "app/status_parts.h"

#include <commctrl.h>

#include <string>

#include "core/status_split.h"
#include "platform/dpi.h"
#include "platform/ui_font.h"

namespace tsly {
namespace {

// The width a text takes in the bar's font.
int TextWidth(HWND bar, const std::wstring& text) { return win::TextExtent(win::FontOf(bar), text).cx; }

// Each part's text sits between margins.
int Margins(UINT dpi) { return win::Scale(8, dpi); }

}  // namespace

int RightPartNeed(HWND bar, const std::wstring& text, UINT dpi) {
    // The right part's text sits beside the size grip.
    return TextWidth(bar, text) + Margins(dpi) + GetSystemMetrics(SM_CXVSCROLL);
}

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
    const int left = TextWidth(bar_, StatusBarText(bar_, 0)) + Margins(dpi);
    const int right = RightPartNeed(bar_, StatusBarText(bar_, 1), dpi);
    int parts[2] = {LeftPartWidth(client.right, preferred_, left, right), -1};
    int now[2] = {};
    SendMessageW(bar_, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(now));
    if (now[0] != parts[0]) SendMessageW(bar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

}  // namespace tsly
