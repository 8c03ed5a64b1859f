#include "app/history_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "core/cut_rule.h"
#include "platform/application.h"
#include "platform/dpi.h"
#include "platform/text.h"

namespace tsly {
namespace {

using dialogs::Kind;
using dialogs::Look;

constexpr UINT_PTR kWorkTimer = 1;

struct Column {
    const wchar_t* heading;
    int width;  // at 96 dpi
};
constexpr Column kCutColumns[] = {
    {L"日時", 86}, {L"場所", 160}, {L"変えた数", 62}, {L"いま戻せる数", 84}, {L"記録", 238}};
constexpr Column kRowColumns[] = {{L"付けた名前", 190}, {L"元の名前", 200}, {L"元に戻すと", 240}};

const std::vector<dialogs::ControlDef>& Layout() {
    using F = TFrmHistory;
    // Virtual lists: the window gives each cell as it is drawn.
    static const std::vector<dialogs::ControlDef> layout{
        {F::LabelCuts, Kind::Label, 0, 8, 8, 300, 12, "記録している処理（新しい順）(&L):", 0, Look::Plain, 0},
        {F::ListCuts, Kind::List, 0, 8, 24, 648, 132, "", LVS_OWNERDATA, Look::Plain, 0},
        {F::LabelRows, Kind::Label, 0, 8, 166, 300, 12, "選んだ処理で名前を変えたファイル(&R):", 0, Look::Plain, 0},
        {F::ListRows, Kind::List, 0, 8, 182, 648, 180, "", LVS_OWNERDATA, Look::Plain, 0},
        {F::ButtonUndo, Kind::PushButton, 0, 8, 372, 100, 24, "元に戻す(&U)", 0, Look::Plain, 0},
        {F::ButtonDelete, Kind::PushButton, 0, 116, 372, 100, 24, "削除(&D)", 0, Look::Plain, 0},
        {F::ButtonClose, Kind::PushButton, 0, 556, 372, 100, 24, "閉じる", 0, Look::Plain, 0},
    };
    return layout;
}

std::wstring When(const UndoHistory::Kept& cut) {
    if (!cut.when) return L"—";
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d %02d:%02d", cut.when->month, cut.when->day,
                  cut.when->hour, cut.when->minute);
    return win::ToWide(text);
}

std::wstring Where(const UndoHistory::Kept& cut) {
    if (cut.folders.size() == 1) return win::ToWide(cut.folders.front());
    return std::to_wstring(cut.folders.size()) + L" か所のフォルダ";
}

const wchar_t* Whose(UndoHistory::Owner owner) {
    switch (owner) {
    case UndoHistory::Owner::ThisWindow: return L"このウィンドウ";
    case UndoHistory::Owner::EarlierRun: return L"前回の実行・閉じたウィンドウ";
    case UndoHistory::Owner::OtherWindow: return L"ほかのウィンドウが使用中（ここでは戻せません）";
    }
    return L"";
}

std::wstring NameOf(const std::string& path) { return win::ToWide(PathName(path)); }

// How many of a cut's rows, in the undo's order, an undo would put back now.
std::size_t BackNow(const std::vector<UndoRow>& rows) {
    win::DiskLook disk;
    UndoForecast forecast(disk, true);
    std::size_t back = 0;
    for (const UndoRow& row : rows) back += forecast.Next(row) == UndoAction::PutBack;
    return back;
}

}  // namespace

TFrmHistory::TFrmHistory(POINT position, UndoHistory& undo, const ShortcutListModel& list)
    : undo_(undo), list_(list) {
    // Enter undoes the chosen cut, as the window is for; Escape closes it.
    CreateForm({"TFrmHistory", "履歴", 664, 404, ButtonUndo, ButtonClose}, position, Layout());
    for (int id : {ListCuts, ListRows}) {
        ListView_SetExtendedListViewStyle(Control(id), LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    }
    AddColumns();
    FillCuts(0);
}

void TFrmHistory::AddColumns() {
    const auto add = [this](int id, const auto& columns) {
        HWND list = Control(id);
        while (ListView_DeleteColumn(list, 0)) {
        }
        int i = 0;
        for (const Column& c : columns) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = const_cast<wchar_t*>(c.heading);
            column.cx = MulDiv(c.width, static_cast<int>(Dpi()), 96);
            SendMessageW(list, LVM_INSERTCOLUMNW, i++, reinterpret_cast<LPARAM>(&column));
        }
    };
    add(ListCuts, kCutColumns);
    add(ListRows, kRowColumns);
}

void TFrmHistory::FillCuts(int select) {
    cuts_ = undo_.Cuts(list_);
    backNow_.assign(cuts_.size(), std::wstring());
    HWND list = Control(ListCuts);
    ListView_SetItemCountEx(list, static_cast<int>(cuts_.size()), 0);
    select = cuts_.empty() ? -1 : std::min(select, static_cast<int>(cuts_.size()) - 1);
    if (select >= 0) {
        filling_ = true;
        ListView_SetItemState(list, select, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        filling_ = false;
        ListView_EnsureVisible(list, select, FALSE);
    }
    // The rows and the counts read the journals and the disk: they come a
    // cut a turn, between the user's messages, so that the window opens at
    // once whatever it holds.
    rowsOf_ = -1;
    const bool ours = select >= 0 && cuts_[select].owner != UndoHistory::Owner::OtherWindow;
    EnableWindow(Control(ButtonUndo), ours);
    EnableWindow(Control(ButtonDelete), ours);
    SetTimer(hwnd(), kWorkTimer, 0, nullptr);
    InvalidateRect(list, nullptr, FALSE);
}

std::vector<UndoRow> TFrmHistory::RowsInUndoOrder(UndoHistory::Kept& cut) const {
    std::vector<UndoRow> rows = undo_.RowsOf(cut, list_);
    std::reverse(rows.begin(), rows.end());  // last renamed first
    return rows;
}

int TFrmHistory::SelectedCut() const {
    return ListView_GetNextItem(Control(ListCuts), -1, LVNI_SELECTED);
}

void TFrmHistory::ShowRows() {
    const int cut = SelectedCut();
    rows_.clear();
    plans_.clear();
    rowsOf_ = cut;
    if (cut >= 0) {
        rows_ = RowsInUndoOrder(cuts_[cut]);
        ListView_RedrawItems(Control(ListCuts), cut, cut);  // its summary is known now
    }
    disk_ = std::make_unique<win::DiskLook>();
    forecast_ = std::make_unique<UndoForecast>(*disk_, true);
    ListView_SetItemCountEx(Control(ListRows), static_cast<int>(rows_.size()), 0);
    InvalidateRect(Control(ListRows), nullptr, FALSE);
    const bool ours = cut >= 0 && cuts_[cut].owner != UndoHistory::Owner::OtherWindow;
    EnableWindow(Control(ButtonUndo), ours);
    EnableWindow(Control(ButtonDelete), ours);
}

bool TFrmHistory::WorkTurn() {
    if (rowsOf_ != SelectedCut()) {
        ShowRows();
        return true;
    }
    for (std::size_t i = 0; i < cuts_.size(); ++i) {
        if (!backNow_[i].empty()) continue;
        // The chosen cut's rows are read already.
        const std::size_t back =
            static_cast<int>(i) == rowsOf_ ? BackNow(rows_) : BackNow(RowsInUndoOrder(cuts_[i]));
        backNow_[i] = std::to_wstring(back);
        ListView_RedrawItems(Control(ListCuts), static_cast<int>(i), static_cast<int>(i));
        return true;
    }
    return false;
}

std::wstring TFrmHistory::CellText(int listId, int row, int column) {
    if (listId == ListCuts) {
        if (row < 0 || static_cast<std::size_t>(row) >= cuts_.size()) return std::wstring();
        const UndoHistory::Kept& cut = cuts_[row];
        switch (column) {
        case 0: return When(cut);
        case 1: return cut.summarized ? Where(cut) : L"…";
        case 2: return cut.summarized ? std::to_wstring(cut.renames) : L"…";
        case 3: return backNow_[row].empty() ? L"…" : backNow_[row];
        default: return Whose(cut.owner);
        }
    }
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return std::wstring();
    // Each row is planned on the disk as the undo of the rows before it
    // would leave it.
    while (plans_.size() <= static_cast<std::size_t>(row)) plans_.push_back(forecast_->Next(rows_[plans_.size()]));
    const UndoRow& r = rows_[row];
    switch (column) {
    case 0: return NameOf(r.current);
    case 1: return NameOf(r.original);
    default: return win::ToWide(UndoPlanText(plans_[row], r));
    }
}

void TFrmHistory::OnCommand(int id) {
    const int cut = SelectedCut();
    switch (id) {
    case ButtonUndo:
        if (cut < 0 || cuts_[cut].owner == UndoHistory::Owner::OtherWindow) return;
        chosen_ = cuts_[cut];
        Close();
        break;
    case ButtonDelete:
        if (cut < 0 || !win::Application::Instance().Confirm(
                           "選んだ処理の記録を削除します。削除すると、この処理は元に戻せなくなります。\nよろしいですか？")) {
            return;
        }
        undo_.Forget(cuts_[cut]);
        FillCuts(cut);
        SetFocus(Control(ListCuts));
        break;
    case ButtonClose: Close(); break;
    default: break;
    }
}

LRESULT TFrmHistory::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        const int id = static_cast<int>(header->idFrom);
        if (header->code == LVN_GETDISPINFOW && (id == ListCuts || id == ListRows)) {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
            if (info->item.mask & LVIF_TEXT) {
                const std::wstring text = CellText(id, info->item.iItem, info->item.iSubItem);
                lstrcpynW(info->item.pszText, text.c_str(), info->item.cchTextMax);
            }
            return 0;
        }
        if (header->code == LVN_ITEMCHANGED && id == ListCuts) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if (((change->uNewState ^ change->uOldState) & LVIS_SELECTED) && !filling_) ShowRows();
            return 0;
        }
        break;
    }
    case WM_TIMER:
        if (wParam == kWorkTimer && !WorkTurn()) KillTimer(hwnd(), kWorkTimer);
        return 0;
    case win::kWmDpiChanged: {
        const LRESULT result = Form::HandleMessage(message, wParam, lParam);
        AddColumns();
        return result;
    }
    default:
        break;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

std::optional<UndoHistory::Kept> ShowHistoryWindow(POINT position, UndoHistory& undo,
                                                   const ShortcutListModel& list) {
    TFrmHistory form(position, undo, list);
    form.ShowModal();
    return form.Chosen();
}

}  // namespace tsly
