// The list's keys and tips for the keyboard: Space, taken before the
// control's own handling, and the tip a row reached by a key shows.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/shortcut_list_view.h"
#include "platform/dpi.h"

namespace tsly {
namespace {

// The one tool of the keyboard tip: the list, its text given at each showing.
TTTOOLINFOW KeyTool(HWND list, const wchar_t* text = L"") {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = list;
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}

}  // namespace

void ShortcutListView::AttachKeys() {
    SetWindowSubclass(hwnd_, &ShortcutListView::KeyFilter, 0, reinterpret_cast<DWORD_PTR>(this));
    // A pop-up made with the list as its parent is owned by the main
    // window, and goes with it.
    keyTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                              0, 0, 0, 0, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (keyTip_) {
        TTTOOLINFOW tool = KeyTool(hwnd_);
        SendMessageW(keyTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

LRESULT CALLBACK ShortcutListView::KeyFilter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<ShortcutListView*>(data);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_KILLFOCUS:
        self->HideKeyTip();
        break;
    default: break;
    }
    // Space ticks the selected rows (through the key's notification) and
    // leaves the selection as it was: the control's own handling of the key
    // and of its character, which would select the focused row alone, never
    // follows.
    if ((message == WM_KEYDOWN && wParam == VK_SPACE) || (message == WM_CHAR && wParam == L' ')) {
        if (message == WM_KEYDOWN) {
            NMLVKEYDOWN key{};
            key.hdr = NMHDR{hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)), LVN_KEYDOWN};
            key.wVKey = VK_SPACE;
            SendMessageW(GetParent(hwnd), WM_NOTIFY, key.hdr.idFrom, reinterpret_cast<LPARAM>(&key));
        }
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &ShortcutListView::KeyFilter, id);
    if (message == kWmTextsChanged) {
        self->textsChangePosted_ = false;
        if (self->onTextsChanged_) self->onTextsChanged_();
        return 0;
    }
    if (message == WM_PAINT) {
        // Texts asked for while painting are drawn (PathToDraw).
        self->pathRoom_ = self->PathRoom();
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        self->pathRoom_.reset();
        return result;
    }
    if (message != WM_KEYDOWN) return DefSubclassProc(hwnd, message, wParam, lParam);
    // The focus a key moves is told while the control handles the key.
    self->inKey_ = true;
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    self->inKey_ = false;
    return result;
}

std::wstring ShortcutListView::CutTexts(int row) const {
    std::wstring text;
    if (row < 0 || static_cast<std::size_t>(row) >= model_.Count()) return text;
    // Each text its column cuts off, whole.
    for (int column = 0; column < 2; ++column) {
        wchar_t shown[1024] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = shown;
        item.cchTextMax = 1024;
        SendMessageW(hwnd_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        constexpr int kMargins = 12;  // the cell's padding on both sides
        const int needed =
            static_cast<int>(SendMessageW(hwnd_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(shown)));
        if (shown[0] && needed + kMargins > ColumnWidth(column)) {
            if (!text.empty()) text += L"\r\n";
            text += shown;
        }
    }
    return text;
}

void ShortcutListView::TipFor(NMLVGETINFOTIPW& tip) {
    if (!tip.pszText || tip.cchTextMax <= 0) return;
    const std::wstring text = CutTexts(tip.iItem);
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(tip.cchTextMax - 1));
    text.copy(tip.pszText, n);
    tip.pszText[n] = L'\0';
}

void ShortcutListView::ShowKeyTip(int row) {
    // A row reached by the keyboard shows what its columns cut off, as the
    // mouse's hover tip would, below its "結果".
    const std::wstring text = keyTip_ && inKey_ ? CutTexts(row) : std::wstring();
    if (text.empty()) {
        HideKeyTip();
        return;
    }
    TTTOOLINFOW tool = KeyTool(hwnd_, text.c_str());
    // In the list's font, whatever the DPI is now.
    SendMessageW(keyTip_, WM_SETFONT, SendMessageW(hwnd_, WM_GETFONT, 0, 0), FALSE);
    SendMessageW(keyTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    RECT cell{};
    ListView_GetSubItemRect(hwnd_, row, 1, LVIR_LABEL, &cell);
    POINT at{cell.left, cell.bottom};
    ClientToScreen(hwnd_, &at);
    // Lines as the texts break them: 800 pixels at 96 dpi, at most the
    // monitor's work area.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    int widest = win::Scale(kKeyTipWidth, win::DpiOf(hwnd_));
    if (GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor)) {
        widest = std::min<int>(widest, monitor.rcWork.right - monitor.rcWork.left);
    }
    SendMessageW(keyTip_, TTM_SETMAXTIPWIDTH, 0, widest);
    SendMessageW(keyTip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(keyTip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void ShortcutListView::HideKeyTip() {
    if (!keyTip_) return;
    TTTOOLINFOW tool = KeyTool(hwnd_);
    SendMessageW(keyTip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace tsly
