// The main window's preview counts, dropped files and help key.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <string>

#include "app/Unit1.h"
#include "app/find_folder.h"
#include "app/main_window_parts.h"
#include "app/stored_options.h"
#include "core/long_path.h"
#include "dialogs/help_topics.h"
#include "dialogs/program_path.h"
#include "platform/file_system.h"
#include "platform/settings_store.h"
#include "platform/text.h"

namespace tsly {

bool TFrmMain::ReloadPreviewOptions(bool always) {
    // Options that cannot be read give no preview; the cut reports them.
    std::optional<CutOptions> options;
    try {
        options = ReadCutOptions(false);
    } catch (const SettingsError&) {
    }
    if (!always && options == listView_.PreviewOptions()) return false;
    listView_.SetPreviewOptions(options);
    return true;
}

void TFrmMain::RefreshPreview() {
    ReloadPreviewOptions();
    StartPreviewCount();
}

void TFrmMain::WatchSettingsTurn() {
    // Work changes the rows under the preview: the change waits for its end.
    if (busy_ || !settingsWatch_.Changed()) return;
    if (ReloadPreviewOptions(false)) StartPreviewCount();
}

void TFrmMain::StartPreviewCount() {
    countRow_ = countRenames_ = countFailures_ = countAgain_ = countOutcomes_ = 0;
    SetTimer(hwnd(), kPreviewTimerId, 0, nullptr);
}

void TFrmMain::PreviewCountTurn() {
    // Work waits; the count starts again after it, as the rows may change.
    if (busy_) return;
    constexpr DWORD kSliceMs = 20;
    const DWORD start = GetTickCount();
    ShortcutListModel& model = listView_.model();
    const bool planned = listView_.PreviewOptions().has_value();
    while (countRow_ < model.Count() && GetTickCount() - start < kSliceMs) {
        if (listView_.ShowsPreview(countRow_)) {
            const OutcomeKind kind = listView_.PreviewOf(countRow_).outcome.kind;
            if (kind == OutcomeKind::Renamed) ++countRenames_;
            if (kind == OutcomeKind::Failed) ++countFailures_;
        } else if (model.Outcome(countRow_).kind != OutcomeKind::None) {
            // The row shows what was done; a cut now may still change it.
            ++countOutcomes_;
            if (model.Checked(countRow_) && planned &&
                listView_.PreviewOf(countRow_).outcome.kind == OutcomeKind::Renamed) {
                ++countAgain_;
            }
        }
        ++countRow_;
    }
    if (countRow_ < model.Count()) return;
    KillTimer(hwnd(), kPreviewTimerId);
    // The part always tells the list as it is now: nothing for no rows.
    std::string text;
    if (countOutcomes_ != 0) {
        // The last work's counts stay, with what a second cut would do.
        text = workCounts_;
        if (countAgain_ != 0) {
            text += "・もう一度カットすると " + std::to_string(countAgain_) + " 件変わります";
        }
    } else if (model.Count() != 0 && !planned) {
        text = "プレビューなし（オプションを読めません）";
    } else if (model.Count() != 0) {
        text = "変更予定 " + std::to_string(countRenames_) + " 件";
        if (countFailures_ != 0) text += "・失敗予定 " + std::to_string(countFailures_) + " 件";
    }
    SetStatusText(text, 1);
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
    if (busy_) {
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
    StartPreviewCount();
}

void TFrmMain::ShowHelpFor(HWND window) {
    // A box belongs to the window it was shown for.
    HWND top = GetAncestor(window, GA_ROOT);
    const char* id = "start";
    for (HWND w = top; w; w = GetWindow(w, GW_OWNER)) {
        wchar_t name[64] = {};
        GetClassNameW(w, name, 64);
        const auto it = std::find_if(std::begin(kHelpSections), std::end(kHelpSections),
                                     [&](const HelpSection& s) { return lstrcmpW(s.windowClass, name) == 0; });
        // A dialog of the system's class is the folder picker only when it
        // holds the folder tree; a message box goes on to its owner.
        const bool picker = lstrcmpW(name, L"#32770") != 0 ||
                            FindWindowExW(w, nullptr, WC_TREEVIEWW, nullptr) != nullptr;
        if (it != std::end(kHelpSections) && picker) {
            id = it->id;
            break;
        }
    }
    ShowHelpSection(top, win::ToWide(ProgramFolder()), id);
}

}  // namespace tsly
