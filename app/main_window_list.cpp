// The main window's rows: how they come (registered, scanned, dropped), how
// they are drawn, and the preview that follows the options.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/find_folder.h"
#include "app/main_commands.h"
#include "app/main_window_parts.h"
#include "app/stored_options.h"
#include "core/long_path.h"
#include "core/text_colour.h"
#include "platform/application.h"
#include "platform/file_system.h"
#include "platform/settings_store.h"
#include "platform/text.h"

namespace tsly {
namespace {

constexpr char kDuplicateSuffix[] = " は既に登録されてます。";

// The list's text colours that read on the window colour at a glance,
// worked out again only when the system's colours change.
struct ListColours {
    COLORREF red, grey, unticked;
};
const ListColours& Colours() {
    static COLORREF background = CLR_INVALID, greyText = CLR_INVALID;
    static ListColours colours{};
    if (GetSysColor(COLOR_WINDOW) != background || GetSysColor(COLOR_GRAYTEXT) != greyText) {
        background = GetSysColor(COLOR_WINDOW);
        greyText = GetSysColor(COLOR_GRAYTEXT);
        colours = ListColours{ReadableRedOn(background), ReadableOn(greyText, background),
                              UntickedTextOn(background)};
    }
    return colours;
}

// The colour of a row's "結果" when it differs from the window text's.
std::optional<COLORREF> ResultTextColor(ShortcutListView& list, std::size_t row) {
    // A failure, foreseen or done, in red; a preview in grey: it is what a
    // cut would do, not what one did.
    if (list.ShowsFailure(row)) return Colours().red;
    if (list.ShowsPreview(row)) return Colours().grey;
    return std::nullopt;
}

}  // namespace

bool ReloadPreviewOptions(ShortcutListView& list, bool always) {
    // Options that cannot be read give no preview; the cut reports them.
    std::optional<CutOptions> options;
    try {
        options = ReadCutOptions(false);
    } catch (const SettingsError&) {
    }
    if (!always && options == list.PreviewOptions()) return false;
    list.SetPreviewOptions(options);
    return true;
}

void TFrmMain::RefreshPreview() {
    ReloadPreviewOptions(listView_);
    counter_.Start();
}

void TFrmMain::WatchTurn() {
    // Work changes the rows under the preview and renames in their folders
    // itself: a change waits for its end, and the watches are set up after.
    if (work_.Busy()) return;
    if (settingsWatch_.Changed() && ReloadPreviewOptions(listView_, false)) counter_.Start();
    // A hidden window plans nothing: the change waits until it shows.
    if (!IsWindowVisible(hwnd()) || IsIconic(hwnd())) return;
    if (folders_.Turn()) RefreshPreview();
}

void TFrmMain::RegisterShortcut(std::string path) {
    if (listView_.model().Register(std::move(path))) {
        // A scan tells the control its rows when it ends (FlushScanView).
        if (!work_.Scanning()) listView_.SyncCount();
        return;
    }
    FlushScanView(true);  // the list behind the message is the current one
    MessageBeep(MB_ICONQUESTION);
    win::Application::Instance().ShowMessage(path + kDuplicateSuffix);
}

bool TFrmMain::ScanFolder(const std::string& folder) {
    if (work_.Busy()) return false;
    // The picker starts there next time; after レジストリ設定削除 nothing
    // is written again.
    if (!settingsDeleted_) RememberScannedFolder(folder);
    win::Win32DirEnumerator dirs;
    return work_.Scan(folder, dirs, RunningWork::ScanView{
                                  [this](std::string&& path) { RegisterShortcut(std::move(path)); },
                                  [this](bool force) { FlushScanView(force); },
                                  [this] {
                                      FlushScanView(true);
                                      listView_.FocusFirstRow();
                                      listView_.InvalidatePreview();
                                      counter_.Start();
                                  }});
}

void TFrmMain::FlushScanView(bool force) {
    // The list learns its rows when the scan ends, or before a duplicate
    // box: each new count redraws its scroll bars, and the rows in view
    // would not change afterwards anyway.
    if (!work_.ScanCountsDue(force)) return;
    if (force) listView_.SyncCount();
    // The status bar takes its text at once but draws it at the next turn
    // of the message loop, not in the middle of the scan.
    SendMessageW(statusBar_, WM_SETREDRAW, FALSE, 0);
    if (const auto text = work_.ScanCountText(listView_.model().Count())) SetStatusText(*text);
    SendMessageW(statusBar_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(statusBar_, nullptr, TRUE);
}

void TFrmMain::OnDropFiles(HDROP drop) {
    // Files as Send To hands them over, without the cut: the preview shows
    // what a cut would do. A folder is scanned as the picker's would be.
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> paths;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(length);
        paths.push_back(win::FromWide(path));
    }
    DragFinish(drop);
    if (work_.Busy()) {
        MessageBeep(MB_OK);
        return;
    }
    win::Win32PathLookup disk;
    RememberingPathLookup lookup(disk);
    for (const std::string& path : paths) {
        std::string expanded = ExpandLongPath(path, lookup);
        if (!lookup.IsFolder(expanded)) {
            RegisterShortcut(std::move(expanded));
            continue;
        }
        // A scan stopped (Escape) or a window closed meanwhile ends the drop.
        if (!ScanFolder(FolderToScan(expanded))) break;
    }
    if (!hwnd()) return;
    listView_.SyncCount();
    listView_.InvalidatePreview();
    counter_.Start();
}

LRESULT TFrmMain::ListView_mainCustomDrawItem(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const auto row = static_cast<std::size_t>(draw->nmcd.dwItemSpec);
        const ShortcutListModel& model = listView_.model();
        if (row < model.Count() && !model.Checked(row)) {
            SelectObject(draw->nmcd.hdc, strikeFont_.get());
            draw->clrText = Colours().unticked;
            return CDRF_NEWFONT;
        }
        return ResultTextColor(listView_, row) ? CDRF_NOTIFYSUBITEMDRAW : CDRF_DODEFAULT;
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const auto colour =
            draw->iSubItem == 1
                ? ResultTextColor(listView_, static_cast<std::size_t>(draw->nmcd.dwItemSpec))
                : std::nullopt;
        draw->clrText = colour ? *colour : GetSysColor(COLOR_WINDOWTEXT);
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

LRESULT TFrmMain::OnNotify(NMHDR* header) {
    if (header->hwndFrom == listView_.hwnd()) {
        if (header->code == NM_CUSTOMDRAW) {
            return ListView_mainCustomDrawItem(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        }
        if (header->code == LVN_KEYDOWN) {
            RunKey(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey, KeyScope::List, listView_.hwnd());
            return 0;
        }
        bool handled = false;
        const LRESULT result = listView_.OnNotify(header, handled);
        if (handled) return result;
    }
    if (header->code == TTN_GETDISPINFOW) {
        // Tool tips: the action's hint; the exit button has none.
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        const ActionDef* action = FindAction(static_cast<int>(header->idFrom));
        info->lpszText = const_cast<wchar_t*>(action ? action->hint : L"");
        return 0;
    }
    return DefaultHandling(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(header));
}

}  // namespace tsly
