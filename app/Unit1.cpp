#include "app/Unit1.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "app/find_folder.h"
#include "app/main_commands.h"
#include "app/main_window_parts.h"
#include "app/settings_removal.h"
#include "app/stored_options.h"
#include "core/cut_command.h"
#include "core/folder_scan.h"
#include "core/long_path.h"
#include "core/text_colour.h"
#include "core/explorer_naming.h"
#include "core/undo_journal.h"
#include "dialogs/dialogs.h"
#include "dialogs/Unit6.h"
#include "platform/application.h"
#include "platform/dpi.h"
#include "platform/file_system.h"
#include "platform/registry_values.h"
#include "platform/settings_store.h"
#include "platform/text.h"
#include "resources/resource.h"

namespace tsly {
namespace {

constexpr char kClassName[] = "TFrmMain";
constexpr char kCaption[] = "Tessalyne　Ver1.30";
constexpr COLORREF kUncheckedTextColor = 0xC0C0C0;  // silver

constexpr char kDuplicateSuffix[] = " は既に登録されてます。";
constexpr char kFoundSuffix[] = " 個のファイルが見つかりました。";
constexpr char kCutFinished[] = "処理は終了しました。";
constexpr char kCutStopped[] = "処理を中止しました。";
constexpr char kUndoFinished[] = "元に戻しました。";
constexpr char kUndoStopped[] = "元に戻す処理を中止しました。";
constexpr char kSettingsDeleted[] = "レジストリ設定を削除しました。";
constexpr char kSettingsNotDeleted[] = "レジストリ設定を削除できませんでした。";
constexpr char kDeleteQuestion[] =
    "レジストリの設定（HKEY_CURRENT_USER\\Software\\moravend の Tessaly と Tessalyne）と、"
    "元に戻すための記録を削除します。よろしいですか？";
constexpr char kDeleteQuestionNaming[] =
    "\r\n新しいショートカットの名前の付け方も、エクスプローラの元の設定に戻します。";

// The cutting command's surroundings: the options from the registry, the
// file system's rename, the window's turns between files, the beep and
// status text at the end, and the undo history's journal.
class MainCutEnvironment final : public CutEnvironment {
public:
    MainCutEnvironment(std::function<bool(std::size_t, std::size_t)> turn,
                       std::function<void()> completed, UndoHistory* history)
        : turn_(std::move(turn)), completed_(std::move(completed)), history_(history) {}

    CutOptions ReadOptions() override { return ReadCutOptions(); }
    void BeforeRenames(const std::vector<PlannedRename>& batch) override {
        if (history_) history_->Planned(batch);
    }
    void RenameDone(std::size_t index, const std::string& now) override {
        if (history_) history_->Renamed(index, now);
    }
    void AfterRenames() override {
        if (history_) history_->BatchDone();
    }
    RenameResult Rename(const std::string& from, const std::string& to) override {
        return win::RenameFile(from, to);
    }
    std::optional<FileId> Identity(const std::string& path) override { return disk_.Identity(path); }
    bool Exists(const std::string& path) override { return disk_.Exists(path); }
    std::uint64_t EntryKey(const std::string& path) override { return disk_.EntryKey(path); }
    bool Continue(std::size_t done, std::size_t total) override { return turn_(done, total); }
    void Completed() override { completed_(); }

private:
    std::function<bool(std::size_t, std::size_t)> turn_;
    std::function<void()> completed_;
    win::DiskLook disk_;
    UndoHistory* history_;  // none for an undo
};

}  // namespace

TFrmMain::TFrmMain() : undo_(win::UndoJournalFolder()) {}
TFrmMain::~TFrmMain() = default;

void TFrmMain::Create(int argc, char** argv) {
    // The icons are set per window (LoadDpiResources): a class icon would outlive
    // the window that owns it.
    RegisterClass(kClassName, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));

    // Owned by the application window, which carries the task-bar button.
    // That window is shown (at no size) first, so that a task bar that looks
    // at windows as they are created sees it visible.
    HWND app = win::Application::Instance().Handle();
    ShowWindow(app, SW_SHOWNA);
    CreateWindowFor(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    CW_USEDEFAULT, CW_USEDEFAULT, 528, 327, app, nullptr);
    if (!hwnd()) throw std::runtime_error("メインウィンドウを作成できませんでした");
    dpi_ = win::DpiOf(hwnd());
    CreateMenus();
    CreateControls();
    FormCreate(argc, argv);
}

void TFrmMain::FormCreate(int argc, char** argv) {
    win::Application& app = win::Application::Instance();
    app.SetMessageFilter([this](MSG& msg) { return ApplicationMessageFilter(msg); });
    app.SetRestoreHandler(&TFrmMain::RestoreApplication);

    // A broken stored value must not keep the program from showing itself:
    // the error is reported and start-up goes on with what was applied.
    try {
        RestoreGeometry();
    } catch (const SettingsError& e) {
        app.ReportError(e.what());
    }
    FitColumns();
    LookForJournals();
    listView_.SetOnRowsChanged([this] {
        StartPreviewCount();
        UpdateCommandStates();  // what there is to cut changed
    });
    listView_.SetCommandGate([this](CommandId id) { return !Refuses(id); });
    // A timer's turn comes after input and painting: the window shows first.
    listView_.SetOnIconsWanted([this] { SetTimer(hwnd(), kIconTimerId, 0, nullptr); });
    ReloadPreviewOptions();
    SetTimer(hwnd(), kSettingsWatchTimerId, kSettingsWatchMs, nullptr);

    startedWithoutParameters_ = true;
    if (argc > 1) {
        startedWithoutParameters_ = false;
        win::Win32PathLookup disk;
        RememberingPathLookup lookup(disk);
        // As in a scan, the list learns its rows once, at the end (below).
        scanning_ = true;
        for (int i = 1; i < argc; ++i) RegisterShortcut(ExpandLongPath(argv[i], lookup));
        scanning_ = false;
        // Icons are looked up for the rows in view once the window is drawn
        // and the cut has renamed them: a thousand paths cost no thousand
        // lookups before the window shows.
    }
    DragAcceptFiles(hwnd(), TRUE);

    listView_.SyncCount();
    listView_.FocusFirstRow();  // Space ticks at once, no arrow key first
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
    UpdateCommandStates();
    // The activation ran the cut once already: this run repeats it, and for
    // the outcomes and the undo both are one cut. A first run the user
    // stopped, or a window closed during it, ends the start-up's cutting.
    if (!startedWithoutParameters_ && hwnd() && !closePending_ && !lastCutStopped_) {
        try {
            RunCut(cutDone_);
        } catch (const std::exception& e) {
            app.ReportError(e.what());
        }
    }
}

void TFrmMain::FormActivate() {
    if (!startedWithoutParameters_) Action_cutshoutExecute();
}

void TFrmMain::Close() { PostMessageW(hwnd(), WM_CLOSE, 0, 0); }

POINT TFrmMain::DialogPosition() const {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    return POINT{r.left + Scaled(25), r.top + Scaled(20)};
}

void TFrmMain::SetStatusText(const std::string& text, int part) {
    const std::wstring wide = win::ToWide(text);
    SendMessageW(statusBar_, SB_SETTEXTW, static_cast<WPARAM>(part) | SBT_NOBORDERS,
                 reinterpret_cast<LPARAM>(wide.c_str()));
    // The second part holds the counts of a cut, an undo or the preview,
    // set once each when they are known: a screen reader is told (each part
    // is a child, its index + 1).
    if (part == 1) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, statusBar_, OBJID_CLIENT, part + 1);
}

std::string TFrmMain::StatusText(int part) const {
    const auto length = LOWORD(SendMessageW(statusBar_, SB_GETTEXTLENGTHW, part, 0));
    std::wstring text(length + 1u, L'\0');
    SendMessageW(statusBar_, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::char_traits<wchar_t>::length(text.c_str()));
    return win::FromWide(text);
}

void TFrmMain::RegisterShortcut(std::string path) {
    if (listView_.model().Register(std::move(path))) {
        // A scan tells the control its rows when it ends (FlushScanView).
        if (!scanning_) listView_.SyncCount();
        return;
    }
    FlushScanView(true);  // the list behind the message is the current one
    MessageBeep(MB_ICONQUESTION);
    win::Application::Instance().ShowMessage(path + kDuplicateSuffix);
}

void TFrmMain::FlushScanView(bool force) {
    // While a scan runs, the status bar counts the files it finds: after
    // half a second, then ever less often, up to every four seconds (each
    // repaint costs milliseconds under Wine). The list learns its rows when
    // the scan ends, or before a duplicate box: each new count redraws its
    // scroll bars, and the rows in view would not change afterwards anyway.
    constexpr DWORD kLongestFlushIntervalMs = 4000;
    const DWORD now = GetTickCount();
    if (!force && now - lastFlush_ < flushInterval_) return;
    lastFlush_ = now;
    if (force) listView_.SyncCount();
    else flushInterval_ = std::min<DWORD>(flushInterval_ * 2, kLongestFlushIntervalMs);
    // The status bar takes its text at once but draws it at the next turn
    // of the message loop, not in the middle of the scan.
    SendMessageW(statusBar_, WM_SETREDRAW, FALSE, 0);
    if (countPending_ || skippedTooDeep_ != 0) {
        countPending_ = false;
        std::string text = std::to_string(listView_.model().Count()) + kFoundSuffix;
        if (skippedTooDeep_ != 0) {
            text += "（深すぎて調べなかったフォルダ " + std::to_string(skippedTooDeep_) + " 個）";
        }
        SetStatusText(text);
    }
    SendMessageW(statusBar_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(statusBar_, nullptr, TRUE);
}

bool TFrmMain::ScanFolder(const std::string& folder) {
    if (busy_) return false;
    // The picker starts there next time; after レジストリ設定削除 nothing
    // is written again.
    if (!settingsDeleted_) RememberScannedFolder(folder);
    // Between two turns of the message loop nothing is drawn: the running
    // count reaches the status bar at some of those turns and the rows
    // reach the list at the end, so that a scan of many files stays close
    // to the speed of a bare walk of the folders.
    win::Win32DirEnumerator dirs;
    ScanCallbacks callbacks;
    callbacks.registerShortcut = [this](std::string&& path) { RegisterShortcut(std::move(path)); };
    const auto turn = [this] {
        // Pending messages run before a subfolder is entered, though not
        // more often than every 50 ms: the window still answers at once, and
        // a tree of many small folders is not slowed down by the queue.
        constexpr DWORD kTurnIntervalMs = 50;
        const DWORD now = GetTickCount();
        if (now - lastTurn_ < kTurnIntervalMs) return;
        lastTurn_ = now;
        FlushScanView(false);
        win::Application::Instance().ProcessMessages();
    };
    // Turns come between any two files too, so that a flat folder of many
    // files can be stopped.
    callbacks.afterRegister = [this, turn] {
        countPending_ = true;
        turn();
    };
    callbacks.beforeSubfolder = turn;
    callbacks.skippedTooDeep = [this](const std::string&) { ++skippedTooDeep_; };
    callbacks.cancelled = [this] { return hwnd() == nullptr || stopRequested_; };

    const WorkScope work(*this);
    lastFlush_ = GetTickCount();  // the first counts show after a while
    lastTurn_ = lastFlush_ - 1000;  // what is pending runs at the first subfolder
    // The controls learn the last counts however the scan ends.
    struct ScanEnd {
        TFrmMain& main;
        ~ScanEnd() {
            main.scanning_ = false;
            if (!main.hwnd()) return;
            main.FlushScanView(true);
            main.listView_.FocusFirstRow();
            main.listView_.InvalidatePreview();
            main.StartPreviewCount();
        }
    } end{*this};
    scanning_ = true;
    skippedTooDeep_ = 0;
    flushInterval_ = 500;
    return tsly::ScanFolder(folder, dirs, callbacks);
}

void TFrmMain::BeginWork() {
    // A count of the preview would tell of rows the work is changing; its
    // plan is made again afterwards and need not take room meanwhile.
    KillTimer(hwnd(), kPreviewTimerId);
    listView_.InvalidatePreview();
    listView_.SyncCount();
    listView_.WatchRows();  // the rows in view are redrawn as the work passes them
    busy_ = true;
    stopRequested_ = false;
    lastTurn_ = lastFlush_ = GetTickCount();
    listView_.SetLocked(true);
    UpdateCommandStates();
}

void TFrmMain::EndWork() {
    busy_ = false;
    stopRequested_ = false;
    if (!hwnd()) return;
    listView_.SetLocked(false);
    // The preview, held back during the work, at the next turn of the loop.
    InvalidateRect(listView_.hwnd(), nullptr, FALSE);
    UpdateCommandStates();
    // A close that came during the work happens now.
    if (closePending_) PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

bool TFrmMain::WorkTurn(std::size_t done, std::size_t total) {
    // Twenty turns a second keep the window answering; the progress text,
    // which repaints at once (about 2 ms under Wine), and the rows in view
    // change twice a second.
    constexpr DWORD kTurnIntervalMs = 50;
    constexpr DWORD kProgressIntervalMs = 500;
    const DWORD now = GetTickCount();
    if (now - lastTurn_ >= kTurnIntervalMs) {
        lastTurn_ = now;
        if (now - lastFlush_ >= kProgressIntervalMs) {
            lastFlush_ = now;
            SetStatusText(std::to_string(done) + " / " + std::to_string(total));
            listView_.RedrawChangedRows();
        }
        win::Application::Instance().ProcessMessages();
    }
    return !stopRequested_ && hwnd() != nullptr;
}

void TFrmMain::ShowCounts(const char* doneWord, std::size_t done, std::size_t failed) {
    if (!hwnd()) return;
    workCounts_ = std::string(doneWord) + " " + std::to_string(done) + " 件・失敗 " +
                  std::to_string(failed) + " 件";
    SetStatusText(workCounts_, 1);
}

void TFrmMain::RunListWork(const std::string& finished, const char* stopped,
                           const std::function<void(CutEnvironment&)>& work, bool journaled) {
    MainCutEnvironment env([this](std::size_t done, std::size_t total) { return WorkTurn(done, total); },
                           [this, finished, stopped] {
                               if (!hwnd()) return;
                               MessageBeep(MB_OK);
                               SetStatusText(stopRequested_ ? stopped : finished);
                           },
                           journaled ? &undo_ : nullptr);
    const WorkScope scope(*this);
    work(env);
    // Renamed rows follow their files: what a cut would do now is new, and
    // the status bar tells how many rows a second cut would change.
    if (hwnd()) {
        listView_.InvalidatePreview();
        StartPreviewCount();
    }
}

void TFrmMain::LookForJournals() {
    for (const std::string& path : undo_.LookAtDisk()) {
        win::Application::Instance().ShowMessage("元に戻すための記録を読めませんでした。\n" + path +
                                                 " として残しました。");
    }
}

void TFrmMain::Action_cutshoutExecute() { RunCut(false); }

void TFrmMain::RunCut(bool repeatsLast) {
    if (busy_) return;
    RunListWork(kCutFinished, kCutStopped, [this, repeatsLast](CutEnvironment& env) {
        const CutResult* previous = undo_.BeginCut(repeatsLast);
        CutResult result = RunCutCommand(listView_.model(), env, previous);
        cutDone_ = true;
        lastCutStopped_ = result.stopped;
        ShowCounts("変更", result.renamed, result.failed);
        undo_.EndCut(std::move(result));
    }, true);
}

void TFrmMain::Action_undoExecute() {
    // The history looks at the disk itself: another window may have closed
    // and left its journal since the menu was last enabled.
    if (busy_) return;
    std::optional<UndoHistory::Step> step = undo_.BeginUndo(listView_.model());
    if (!step) {  // every file of the journals on disk was back already
        MessageBeep(MB_OK);
        UpdateCommandStates();
        return;
    }
    listView_.SyncCount();  // files the list did not hold became rows
    const std::string finished = step->whose.empty() ? std::string(kUndoFinished) : step->whose;
    RunListWork(finished, kUndoStopped, [this, &step](CutEnvironment& env) {
        const UndoResult result = UndoCut(listView_.model(), env, step->cut);
        ShowCounts("元に戻した", result.undone, result.failed);
        undo_.EndUndo(std::move(*step), listView_.model());
    }, false);
}

void TFrmMain::UpdateCommandStates() {
    HMENU bar = GetMenu(hwnd());
    for (const CommandRule& rule : kCommandRules) {
        const bool enabled = CommandEnabled(rule.id);
        for (HMENU menu : {bar, popupMenu_.get()}) {
            if (menu) EnableMenuItem(menu, rule.id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        }
        if (SendMessageW(toolBar_, TB_COMMANDTOINDEX, rule.id, 0) >= 0) {
            SendMessageW(toolBar_, TB_ENABLEBUTTON, rule.id, MAKELPARAM(enabled, 0));
        }
    }
}

void TFrmMain::N3Click() {
    win::Application& app = win::Application::Instance();
    // Asked first: it takes both keys, the undo journal and, when the
    // program changed it, Explorer's naming of new shortcuts.
    win::CurrentUserValues registry;
    const bool naming = ShortcutMarkerStopRecorded(registry);
    if (!app.Confirm(std::string(kDeleteQuestion) + (naming ? kDeleteQuestionNaming : "") +
                     ShortcutsStaySentence(ChosenShortcutFolders()))) {
        return;
    }
    // Once the settings are deleted, the program leaves nothing behind: this
    // window's journals go with the rest, and its undo works from memory.
    undo_.StopJournals();
    const SettingsRemoval removal = RemoveAllSettings();
    if (!removal.error.empty()) app.ReportError(removal.error);
    MessageBeep(MB_ICONQUESTION);
    // Only claim the deletion when it happened.
    app.ShowMessage(std::string(removal.deleted ? kSettingsDeleted : kSettingsNotDeleted) +
                    (removal.copiesLost      ? kNamingCopiesLost
                     : removal.namingPutBack ? kNamingPutBack
                                             : ""));
    settingsDeleted_ = true;
    UpdateCommandStates();
    RefreshPreview();  // the options are the defaults now
}

void TFrmMain::N6Click() {
    listView_.Clear();
    // The journals stay: the undo finds the files again from them.
    undo_.RowsCleared();
    StartPreviewCount();  // the counts of rows that are gone go too
    UpdateCommandStates();
}

void TFrmMain::Action_find_folderExecute() {
    std::string folder;
    if (!ChooseFolderToScan(*this, folder)) return;
    ScanFolder(folder);
}

void TFrmMain::Action_open_optionExecute() {
    ShowOptionDialog(DialogPosition());
    RefreshPreview();
}
void TFrmMain::S1Click() { ShowSetupDialog(DialogPosition()); }
void TFrmMain::About1Click() { ShowAboutBox(DialogPosition()); }
void TFrmMain::SearchforHelpOn1Click() { ShowHelpTopics(hwnd()); }

void TFrmMain::OnCommand(int id, HWND source) {
    if (Refuses(id)) return;
    LookAgain(id);
    const CommandRule* rule = FindRule(id);
    if (rule && !Holds(rule->enabled)) return;
    switch (id) {
    case kCmdFindFolder: Action_find_folderExecute(); break;
    case kCmdCutShortcut: Action_cutshoutExecute(); break;
    case kCmdOpenOption: Action_open_optionExecute(); break;
    case kCmdExit:
    case kCmdToolExit: Close(); break;
    case kCmdDeleteSettings: N3Click(); break;
    case kCmdSetup: S1Click(); break;
    case kCmdHelpTopics: SearchforHelpOn1Click(); break;
    case kCmdAbout: About1Click(); break;
    case kCmdClearList: N6Click(); break;
    case kCmdUndo: Action_undoExecute(); break;
    case kCmdCheckAll: listView_.SetCheckedAll(true); break;
    case kCmdUncheckAll: listView_.SetCheckedAll(false); break;
    case kCmdTickRows: listView_.TickFocused(); break;
    case kCmdEditRow: listView_.EditFocused(); break;
    case kCmdSelectAllRows: listView_.SelectAll(); break;
    case kCmdStopWork: StopWork(); break;
    case kCmdContextHelp: ShowHelpFor(source ? source : hwnd()); break;
    default: break;
    }
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
            draw->clrText = kUncheckedTextColor;
            return CDRF_NEWFONT;
        }
        return ResultTextColor(row) ? CDRF_NOTIFYSUBITEMDRAW : CDRF_DODEFAULT;
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const auto colour = draw->iSubItem == 1
                                ? ResultTextColor(static_cast<std::size_t>(draw->nmcd.dwItemSpec))
                                : std::nullopt;
        draw->clrText = colour ? *colour : GetSysColor(COLOR_WINDOWTEXT);
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

std::optional<COLORREF> TFrmMain::ResultTextColor(std::size_t row) {
    // A failure, foreseen or done, in a red that reads on the window colour
    // at a glance; a preview in grey: it is what a cut would do, not what
    // one did.
    if (listView_.ShowsFailure(row)) {
        // Worked out again only when the window colour changes.
        static COLORREF background = GetSysColor(COLOR_WINDOW), red = ReadableRedOn(background);
        if (GetSysColor(COLOR_WINDOW) != background) {
            background = GetSysColor(COLOR_WINDOW);
            red = ReadableRedOn(background);
        }
        return red;
    }
    if (listView_.ShowsPreview(row)) return GetSysColor(COLOR_GRAYTEXT);
    return std::nullopt;
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

LRESULT TFrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        LayoutChildren();
        FitColumns();
        return 0;
    case WM_GETMINMAXINFO: {
        if (!toolBar_) break;  // not made yet
        const SIZE least = MinimumSize();
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{least.cx, least.cy};
        return 0;
    }
    case WM_TIMER:
        if (wParam == kPreviewTimerId) PreviewCountTurn();
        if (wParam == kSettingsWatchTimerId) WatchSettingsTurn();
        if (wParam == kIconTimerId && !listView_.LookUpIcons(kIconTurnMs)) {
            KillTimer(hwnd(), kIconTimerId);
        }
        return 0;
    case WM_DROPFILES:
        if (Refuses(kCmdDropFiles)) {
            DragFinish(reinterpret_cast<HDROP>(wParam));
            return 0;
        }
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        listView_.FocusFirstRow();
        UpdateCommandStates();
        return 0;
    case win::kWmDpiChanged: {
        // Moved to a monitor of another DPI: the system's rectangle keeps
        // the window's size in the new DPI's pixels.
        const UINT old = dpi_;
        dpi_ = HIWORD(wParam);
        const RECT& r = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        LoadDpiResources();
        ApplyDpi(old);
        return 0;
    }
    case WM_SETFOCUS:
        SetFocus(listView_.hwnd());
        return 0;
    case WM_ACTIVATE:
        // Every other window of the program is a modal dialog, so the main
        // window becomes the program's active window once: when it is first
        // shown. Coming back from a dialog or another program is no new
        // activation.
        if (LOWORD(wParam) != WA_INACTIVE && !activated_) {
            activated_ = true;
            SetFocus(listView_.hwnd());
            FormActivate();
            return 0;
        }
        // Files may have changed while the window was away: the plan is
        // made again from the disk as it is; another window may have closed
        // meanwhile and left its journals.
        if (LOWORD(wParam) != WA_INACTIVE && !busy_) RefreshPreview();
        if (LOWORD(wParam) != WA_INACTIVE) LookAgain(kCmdUndo);
        break;
    case WM_INITMENUPOPUP:
        LookAgain(kCmdUndo);
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_MINIMIZE) {  // exactly: the low bits are not masked
            MinimizeApplication();
            return 0;
        }
        break;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == listView_.hwnd()) {
            ShowPopupMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        }
        break;
    case WM_MEASUREITEM:
        if (wParam == 0) {  // menu items
            OnMeasureMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (wParam == 0) {
            OnDrawMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        // Running work stops first; the close comes again when it has.
        if (busy_) {
            closePending_ = true;
            stopRequested_ = true;
            return 0;
        }
        // A registry that cannot be written must not keep the user from
        // leaving: the error is reported and the window closes all the same.
        try {
            FormClose();
        } catch (const std::exception& e) {
            win::Application::Instance().ReportError(e.what());
        }
        DestroyWindow(hwnd());
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace tsly
