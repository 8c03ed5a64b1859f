#include "app/shortcut_list_view.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <windowsx.h>

#include "app/main_window_parts.h"
#include "dialogs/form.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace tsly {

ShortcutListView::ShortcutListView()
    // The list control compares captions with the system's case folding;
    // the model keys its index the same way so both give one answer.
    : model_(win::SystemUpperTable()),
      preview_(model_, [] { return std::make_unique<win::DiskLook>(); }) {}

void ShortcutListView::Create(HWND parent, int controlId, HFONT font) {
    // Owner data: the control keeps no copy of the rows. It shares the
    // shell's image list and must never destroy it.
    // Its window text names it for a screen reader that reads window texts;
    // the annotation below names it where the label would be looked for.
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, kAccessibleName,
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT |
                                LVS_OWNERDATA | LVS_EDITLABELS |
                                LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                            GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // Texts cut off by their column show whole in a tip.
    constexpr DWORD kExStyle = LVS_EX_CHECKBOXES | LVS_EX_LABELTIP | LVS_EX_INFOTIP;
    ListView_SetExtendedListViewStyleEx(hwnd_, kExStyle, kExStyle);
    // The check state lives in the model: asked for it (by a screen reader,
    // say), the control asks the model instead of answering "unchecked".
    ListView_SetCallbackMask(hwnd_, LVIS_STATEIMAGEMASK);
    AttachKeys();
    dialogs::SetAccessibleName(hwnd_, kAccessibleName);

    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = kDefaultColumnWidth;
    column.pszText = const_cast<wchar_t*>(L"ショートカットの場所");
    SendMessageW(hwnd_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = kDefaultResultColumnWidth;
    column.pszText = const_cast<wchar_t*>(L"結果");
    SendMessageW(hwnd_, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

    SHFILEINFOW info{};
    auto images = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        L".", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (images) ListView_SetImageList(hwnd_, images, LVSIL_SMALL);
}

void ShortcutListView::SyncCount() {
    if (shownCount_ == model_.Count()) return;
    shownCount_ = model_.Count();
    TextsChanged();
    // A new size makes the control redraw its scroll bars at once, every
    // time (milliseconds apiece under Wine, and a scan or a drop of many
    // files tells it often). Out of sight of drawing meanwhile (the system's
    // own WM_SETREDRAW, which the control does not see), it only takes the
    // new range, and the bars are drawn with the rows at the next paint.
    const bool drawn = IsWindowVisible(hwnd_);
    if (drawn) DefWindowProcW(hwnd_, WM_SETREDRAW, FALSE, 0);
    // Rows are only ever appended: the rows on screen keep their place.
    ListView_SetItemCountEx(hwnd_, static_cast<int>(shownCount_),
                            LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    if (drawn) {
        DefWindowProcW(hwnd_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
}

void ShortcutListView::Clear() {
    model_.Clear();
    preview_.Invalidate();
    TextsChanged();
    shownCount_ = 0;
    ListView_SetItemCountEx(hwnd_, 0, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

int ShortcutListView::ColumnWidth(int column) const {
    return ListView_GetColumnWidth(hwnd_, column);
}

void ShortcutListView::SetColumnWidth(int width, int column) {
    ListView_SetColumnWidth(hwnd_, column, width);
}

void ShortcutListView::RedrawAll() {
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
}

ShortcutListView::RowRange ShortcutListView::RowsInView() const {
    const auto top = static_cast<std::size_t>(std::max(0, ListView_GetTopIndex(hwnd_)));
    // The row cut off at the bottom counts too.
    const auto shown = static_cast<std::size_t>(std::max(0, ListView_GetCountPerPage(hwnd_))) + 1;
    return RowRange{top, std::max(top, std::min(model_.Count(), top + shown))};
}

std::vector<ShortcutListView::RowLook> ShortcutListView::LooksInView(std::size_t& top) const {
    const RowRange view = RowsInView();
    top = view.first;
    std::vector<RowLook> looks;
    looks.reserve(view.end - view.first);
    for (std::size_t row = view.first; row < view.end; ++row) {
        looks.push_back(RowLook{model_.Caption(row), model_.Outcome(row)});
    }
    return looks;
}

void ShortcutListView::WatchRows() { watched_ = LooksInView(watchedTop_); }

void ShortcutListView::RedrawChangedRows() {
    // A whole repaint costs tens of milliseconds under Wine; the rows in
    // view change only while the work passes them.
    std::size_t top = 0;
    std::vector<RowLook> now = LooksInView(top);
    for (std::size_t i = 0; i < now.size(); ++i) {
        const std::size_t row = top + i;
        // A row scrolled into view since the last look is drawn anew.
        const bool same = row >= watchedTop_ && row - watchedTop_ < watched_.size() &&
                          watched_[row - watchedTop_] == now[i];
        if (!same) ListView_RedrawItems(hwnd_, static_cast<int>(row), static_cast<int>(row));
    }
    watched_ = std::move(now);
    watchedTop_ = top;
}

void ShortcutListView::SetChecked(int row, bool checked) {
    if (row < 0 || static_cast<std::size_t>(row) >= model_.Count()) return;
    model_.SetChecked(static_cast<std::size_t>(row), checked);
    NotifyTicked(row, row);
    RowsChanged();
}

void ShortcutListView::SetCheckedSelected(bool checked) {
    for (int row = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(hwnd_, row, LVNI_SELECTED)) {
        model_.SetChecked(static_cast<std::size_t>(row), checked);
        NotifyTicked(row, row);
    }
    RowsChanged();
}

void ShortcutListView::SetCheckedAll(bool checked) {
    for (std::size_t row = 0; row < model_.Count(); ++row) model_.SetChecked(row, checked);
    NotifyTicked(0, static_cast<int>(model_.Count()) - 1);
    RowsChanged();
}

void ShortcutListView::TickFocused() {
    const int row = FocusedRow();
    if (row < 0) return;
    const bool checked = !model_.Checked(static_cast<std::size_t>(row));
    model_.SetChecked(static_cast<std::size_t>(row), checked);
    // A selected row is told of with the others.
    if (!(ListView_GetItemState(hwnd_, row, LVIS_SELECTED) & LVIS_SELECTED)) NotifyTicked(row, row);
    SetCheckedSelected(checked);
}

void ShortcutListView::NotifyTicked(int first, int last) {
    // Each row is an accessible child (its index + 1). Beyond a screenful
    // one event for the whole list says as much, at a fraction of the cost
    // (every event is a call into the window system).
    constexpr int kMostRowEvents = 64;
    if (last < first) return;
    if (last - first >= kMostRowEvents) {
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
        return;
    }
    for (int row = first; row <= last; ++row) {
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd_, OBJID_CLIENT, row + 1);
    }
}

int ShortcutListView::FocusedRow() const {
    const int row = ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED);
    return row >= 0 && static_cast<std::size_t>(row) < model_.Count() ? row : -1;
}

void ShortcutListView::FocusFirstRow() {
    if (model_.Count() == 0) return;
    // A change of every row's state visits every row (under Wine 4 ms a
    // scan of 10,000 files): asked only when a row is selected. The focus
    // needs no clearing, one row has it at a time.
    if (ListView_GetSelectedCount(hwnd_) > 0) ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(hwnd_, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(hwnd_, 0, FALSE);
}

void ShortcutListView::SelectAll() {
    ListView_SetItemState(hwnd_, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void ShortcutListView::EditFocused() {
    const int row = FocusedRow();
    if (row < 0) return;
    SetFocus(hwnd_);  // the list edits only the rows of a focused list
    ListView_EditLabel(hwnd_, row);
}

void ShortcutListView::RowsChanged() {
    preview_.Invalidate();
    TextsChanged();
    RedrawAll();
    if (onRowsChanged_) onRowsChanged_();
}

void ShortcutListView::SetPreviewOptions(const std::optional<CutOptions>& options) {
    previewOn_ = options.has_value();
    if (options) preview_.SetOptions(*options);
    TextsChanged();
    RedrawAll();
}

void ShortcutListView::InvalidatePreview() {
    preview_.Invalidate();
    TextsChanged();
    // Drawn at the next turn of the message loop, not in the middle of the
    // work that changed the rows; an empty list has nothing to draw again
    // (a scan into it would pay milliseconds for a paint of nothing).
    if (model_.Count() != 0) InvalidateRect(hwnd_, nullptr, FALSE);
}

bool ShortcutListView::ShowsPreview(std::size_t row) const {
    // Not while work runs: the rows change under it, and a scan must not
    // wait for it.
    return previewOn_ && !locked_ && row < model_.Count() && model_.Checked(row) &&
           model_.Outcome(row).kind == OutcomeKind::None;
}

bool ShortcutListView::ShowsFailure(std::size_t row) {
    if (row >= model_.Count()) return false;
    return ReportsFailure(ShowsPreview(row) ? preview_.Of(row).outcome : model_.Outcome(row));
}

void ShortcutListView::Toggle(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= model_.Count()) return;
    SetChecked(row, !model_.Checked(static_cast<std::size_t>(row)));
}

int ShortcutListView::IconOf(std::size_t row) {
    const ShortcutEntry& entry = model_.At(row);
    if (entry.imageIndex != ShortcutEntry::kIconUnknown) return entry.imageIndex;
    // The shell's look at a shortcut costs milliseconds under Wine (a link's
    // target on a slow drive far more): the row shows the plain icon now and
    // its own after the window is drawn, never while a cut or undo runs (the
    // list is drawn again when the work ends). Rows never shown cost nothing.
    if (!locked_ && !iconsAsked_ && iconsWanted_) {
        iconsAsked_ = true;
        iconsWanted_();
    }
    return PlainIcon();
}

bool ShortcutListView::LookUpIcons(DWORD budgetMs) {
    iconsAsked_ = false;
    if (locked_) return false;
    const DWORD start = GetTickCount();
    const RowRange view = RowsInView();
    for (std::size_t row = view.first; row < view.end; ++row) {
        const ShortcutEntry& entry = model_.At(row);
        if (entry.imageIndex != ShortcutEntry::kIconUnknown) continue;
        if (GetTickCount() - start >= budgetMs) return true;
        SHFILEINFOW info{};
        // A path the shell cannot read (gone since it was listed) keeps the
        // plain icon, so that the row still looks like one.
        model_.SetImageIndex(row, SHGetFileInfoW(win::ToWide(entry.caption).c_str(), 0, &info,
                                                 sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON)
                                      ? info.iIcon
                                      : PlainIcon());
        ListView_RedrawItems(hwnd_, static_cast<int>(row), static_cast<int>(row));
    }
    return false;
}

int ShortcutListView::PlainIcon() {
    SHFILEINFOW info{};
    if (plainIcon_ < 0 &&
        SHGetFileInfoW(L".lnk", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES)) {
        plainIcon_ = info.iIcon;
    }
    return plainIcon_;
}

std::string ShortcutListView::ResultTextOf(std::size_t row) {
    return ShowsPreview(row) ? PreviewText(preview_.Of(row))
                             : OutcomeText(model_.Outcome(row), model_.Caption(row));
}

void ShortcutListView::FillDisplayInfo(LVITEMW& item) {
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= model_.Count()) return;
    const auto row = static_cast<std::size_t>(item.iItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        std::wstring caption =
            win::ToWide(item.iSubItem == 0 ? model_.Caption(row) : ResultTextOf(row));
        if (pathRoom_ && item.iSubItem == 0) caption = PathToDraw(caption, *pathRoom_);
        const std::size_t n =
            std::min(caption.size(), static_cast<std::size_t>(item.cchTextMax - 1));
        caption.copy(item.pszText, n);
        item.pszText[n] = L'\0';
    }
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) item.iImage = IconOf(row);
    if (item.mask & LVIF_STATE) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) |
                     INDEXTOSTATEIMAGEMASK(model_.Checked(row) ? 2 : 1);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

int ShortcutListView::FindFrom(const NMLVFINDITEMW& find) const {
    // Type-to-find: the first row from the start row whose caption begins
    // with the typed text, without regard to case, wrapping round.
    if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return -1;
    const std::size_t row = model_.FindCaption(
        win::FromWide(find.lvfi.psz), find.iStart < 0 ? 0 : static_cast<std::size_t>(find.iStart),
        (find.lvfi.flags & LVFI_PARTIAL) != 0, (find.lvfi.flags & LVFI_WRAP) != 0);
    return row == std::string::npos ? -1 : static_cast<int>(row);
}

LRESULT ShortcutListView::OnNotify(NMHDR* header, bool& handled) {
    handled = true;
    switch (header->code) {
    case LVN_GETDISPINFOW:
        FillDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(header)->item);
        return 0;
    case LVN_ODFINDITEMW:
        return FindFrom(*reinterpret_cast<NMLVFINDITEMW*>(header));
    case NM_CLICK:
    case NM_DBLCLK: {
        // A virtual list keeps no check state: a click on the box flips the
        // model's flag.
        LVHITTESTINFO hit{};
        hit.pt = reinterpret_cast<NMITEMACTIVATE*>(header)->ptAction;
        ListView_SubItemHitTest(hwnd_, &hit);
        if (hit.iItem >= 0 && (hit.flags & LVHT_ONITEMSTATEICON) &&
            (!gate_ || gate_(kCmdTickRows))) {
            Toggle(hit.iItem);
        }
        return 0;
    }
    case LVN_GETINFOTIPW:
        TipFor(*reinterpret_cast<NMLVGETINFOTIPW*>(header));
        return 0;
    case LVN_ITEMCHANGED: {
        const auto& change = *reinterpret_cast<NMLISTVIEW*>(header);
        if (change.iItem >= 0 && (change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_FOCUSED) &&
            !(change.uOldState & LVIS_FOCUSED)) {
            ShowKeyTip(change.iItem);
        }
        handled = false;  // the window may want it too
        return 0;
    }
    case LVN_BEGINLABELEDITW:
        return gate_ && !gate_(kCmdEditRow) ? TRUE : FALSE;  // TRUE refuses the edit
    case LVN_ENDLABELEDITW: {
        const LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        if (!item.pszText || item.iItem < 0) return FALSE;  // editing cancelled
        model_.SetCaption(static_cast<std::size_t>(item.iItem), win::FromWide(item.pszText));
        RowsChanged();
        return TRUE;
    }
    default:
        handled = false;
        return 0;
    }
}

}  // namespace tsly
