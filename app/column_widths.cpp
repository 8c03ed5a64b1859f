#include "app/column_widths.h"

#include <commctrl.h>

#include <algorithm>

#include "core/column_split.h"
#include "platform/dpi.h"

namespace tsly {

ColumnWidths::ColumnWidths(ShortcutListView& list) : list_(list) {
    list_.SetOnTextsChanged([this] { Refit(); });
}

void ColumnWidths::Restore(int width, int designed) {
    chosen_ = width < -2 ? designed : width;
    shown_ = -1;  // not shown yet: nothing the user did
    list_.SetColumnWidth(chosen_);
}

int ColumnWidths::Chosen() {
    TakeUsers();
    return chosen_;
}

void ColumnWidths::TakeUsers() {
    const int now = list_.ColumnWidth(0);
    if (shown_ >= 0 && now != shown_) chosen_ = now;
}

void ColumnWidths::Refit() {
    if (shown_ >= 0 && list_.ColumnWidth(0) != shown_) return;
    Fit();
}

void ColumnWidths::Fit() {
    TakeUsers();
    HWND list = list_.hwnd();
    if (!list) return;
    RECT client{};
    GetClientRect(list, &client);
    const int width = std::max<int>(0, client.right - GetSystemMetrics(SM_CXVSCROLL));
    // The width the user chose is shown as far as it fits, and kept.
    int chosen = chosen_;
    if (chosen < 0) {
        list_.SetColumnWidth(chosen, 0);
        chosen = list_.ColumnWidth(0);
    }
    // Neither column is narrower than its heading.
    const auto heading = [list](int column) {
        wchar_t text[64] = {};
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT;
        info.pszText = text;
        info.cchTextMax = 64;
        SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
        constexpr int kMargins = 12;  // the heading's padding on both sides
        return static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0,
                                             reinterpret_cast<LPARAM>(text))) + kMargins;
    };
    const int minResult = std::max(win::Scale(kMinResultColumnWidth, win::DpiOf(list)), heading(1));
    const ShortcutListView::Needs needs = list_.NeedsInView();
    const int file = std::max(
        heading(0), PathColumnWidth(width, chosen, needs.path, std::max(minResult, needs.result)));
    list_.SetColumnWidth(file, 0);
    list_.SetColumnWidth(std::max(minResult, width - file), 1);
    shown_ = list_.ColumnWidth(0);
}

void ColumnWidths::Scale(UINT dpi, UINT fromDpi) {
    TakeUsers();
    if (chosen_ > 0) chosen_ = MulDiv(chosen_, static_cast<int>(dpi), static_cast<int>(fromDpi));
    HWND list = list_.hwnd();
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int i = 0; i < columns; ++i) {
        const int width = ListView_GetColumnWidth(list, i);
        ListView_SetColumnWidth(list, i, MulDiv(width, static_cast<int>(dpi),
                                                static_cast<int>(fromDpi)));
    }
    shown_ = ListView_GetColumnWidth(list, 0);
}

}  // namespace tsly
