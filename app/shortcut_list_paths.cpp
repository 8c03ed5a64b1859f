// What the list's rows need of its columns, and paths shortened in their
// middle where their cell is too narrow, as the shell shortens paths: the
// root, "..." and the whole file name, the one part the user needs.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>

#include "app/shortcut_list_view.h"
#include "core/column_split.h"
#include "platform/text.h"
#include "platform/ui_font.h"

namespace tsly {
namespace {

constexpr int kMargins = 12;  // a cell's padding on both sides

}  // namespace

int ShortcutListView::StringWidth(const std::wstring& text) const {
    return win::TextExtent(win::FontOf(hwnd_), text).cx;
}

void ShortcutListView::TextsChanged() {
    // A row's tip would tell of texts the row no longer shows.
    HideKeyTip();
    // Once, after the change: a scan or a cut changes many rows in a row.
    if (textsChangePosted_ || !hwnd_) return;
    textsChangePosted_ = PostMessageW(hwnd_, kWmTextsChanged, 0, 0) != FALSE;
}

ShortcutListView::Needs ShortcutListView::NeedsInView() {
    Needs needs{0, 0};
    const RowRange view = RowsInView();
    if (view.first == view.end) return needs;
    RECT bounds{}, label{};
    const int first = static_cast<int>(view.first);
    ListView_GetItemRect(hwnd_, first, &bounds, LVIR_BOUNDS);
    ListView_GetSubItemRect(hwnd_, first, 0, LVIR_LABEL, &label);
    for (std::size_t row = view.first; row < view.end; ++row) {
        needs.path = std::max(needs.path, StringWidth(win::ToWide(PathAtShortest(model_.Caption(row)))));
        needs.result = std::max(needs.result, StringWidth(win::ToWide(ResultTextOf(row))));
    }
    // The check box and the icon come before the path.
    needs.path += label.left - bounds.left + kMargins;
    needs.result += kMargins;
    return needs;
}

int ShortcutListView::PathRoom() const {
    const RowRange view = RowsInView();
    RECT label{};
    if (view.first == view.end ||
        !ListView_GetSubItemRect(hwnd_, static_cast<int>(view.first), 0, LVIR_LABEL, &label)) {
        return INT_MAX;  // no row to draw
    }
    return label.right - label.left - kMargins;
}

std::wstring ShortcutListView::PathToDraw(const std::wstring& path, int room) const {
    if (StringWidth(path) <= room) return path;
    const std::size_t name = path.rfind(L'\\');
    const std::size_t root = win::ToWide(PathAtShortest(win::FromWide(path))).find(L"\\...\\");
    if (name == std::wstring::npos || root == std::wstring::npos) return path;
    // The longest start of the path that fits before "...\" and the name;
    // at least its root (the control cuts off the rest at the end).
    const std::wstring tail = L"..." + path.substr(name);
    int fits = 0;
    SIZE size{};
    GetTextExtentExPointW(win::MeasuringDc(win::FontOf(hwnd_)), path.c_str(), static_cast<int>(name),
                          std::max(0, room - StringWidth(tail)), &fits, nullptr, &size);
    std::size_t start = std::max<std::size_t>(root + 1, static_cast<std::size_t>(fits));
    if (start < name && IS_HIGH_SURROGATE(path[start - 1])) --start;  // never half a character
    return path.substr(0, start) + tail;
}

}  // namespace tsly
