#include "app/main_window.h"

#include <shellapi.h>
#include <windowsx.h>

#include <optional>
#include <string>

#include "app/find_folder.h"
#include "app/main_commands.h"
#include "app/main_window_parts.h"
#include "app/settings_removal.h"
#include "app/window_placement.h"
#include "core/cut_command.h"
#include "core/long_path.h"
#include "core/undo_journal.h"
#include "core/explorer_naming.h"
#include "dialogs/dialogs.h"
#include "dialogs/setup_dialog.h"
#include "platform/application.h"
#include "platform/dpi.h"
#include "platform/file_system.h"
#include "platform/registry_values.h"
#include "platform/settings_store.h"
#include "platform/text.h"

namespace tsly {
namespace {

constexpr char kClassName[] = "TFrmMain";
constexpr char kCaption[] = "Tessalyne　Ver1.30";

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

}  // namespace

TFrmMain::TFrmMain()
    : undo_(win::UndoJournalFolder()),
      work_(*this, RunningWork::Hooks{
                       [this] {
                           // A count of the preview would tell of rows the work is
                           // changing; its plan is made again afterwards and need
                           // not take room meanwhile.
                           counter_.Pause();
                           folders_.Reset();  // the work's own renames are no news
                           listView_.InvalidatePreview();
                           listView_.SyncCount();
                           listView_.WatchRows();  // redrawn as the work passes them
                           listView_.SetLocked(true);
                           UpdateCommandStates();
                       },
                       [this] {
                           listView_.SetLocked(false);
                           // The preview, held back during the work, at the next
                           // turn of the loop.
                           InvalidateRect(listView_.hwnd(), nullptr, FALSE);
                           UpdateCommandStates();
                       },
                       [this](const std::string& text) {
                           SetStatusText(text);
                           listView_.RedrawChangedRows();
                       },
                       [this](const std::string& text) { SetStatusText(text); },
                       [this] {
                           // The status bar tells how many rows a second cut would
                           // change.
                           listView_.InvalidatePreview();
                           counter_.Start();
                       }}) {}
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
    bars_.CreateMenuBar();
    CreateControls();
    FormCreate(argc, argv);
}

void TFrmMain::FormCreate(int argc, char** argv) {
    win::Application& app = win::Application::Instance();
    app.SetMessageFilter([this](MSG& msg) { return ApplicationMessageFilter(msg); });
    app.SetRestoreHandler(&RestoreApplication);

    // A broken stored value must not keep the program from showing itself:
    // the error is reported and start-up goes on with what was applied.
    int showCommand = SW_SHOW;
    try {
        RestoreGeometry(showCommand);
    } catch (const SettingsError& e) {
        app.ReportError(e.what());
    }
    columns_.Fit();
    LookForJournals(undo_);
    listView_.SetOnRowsChanged([this] {
        counter_.Start();
        folders_.Reset();  // an edited row may be in another folder
        UpdateCommandStates();  // what there is to cut changed
    });
    listView_.SetCommandGate([this](CommandId id) { return !work_.RefuseWithBeep(id); });
    // A timer's turn comes after input and painting: the window shows first.
    listView_.SetOnIconsWanted([this] { SetTimer(hwnd(), kIconTimerId, 0, nullptr); });
    ReloadPreviewOptions(listView_);
    SetTimer(hwnd(), kSettingsWatchTimerId, kSettingsWatchMs, nullptr);

    startedWithoutParameters_ = true;
    if (argc > 1) {
        startedWithoutParameters_ = false;
        win::Win32PathLookup disk;
        RememberingPathLookup lookup(disk);
        // As in a scan, the list learns its rows once, at the end (below).
        work_.RegisterAsScan([&] {
            for (int i = 1; i < argc; ++i) RegisterShortcut(ExpandLongPath(argv[i], lookup));
        });
        // Icons are looked up for the rows in view once the window is drawn
        // and the cut has renamed them: a thousand paths cost no thousand
        // lookups before the window shows.
    }
    DragAcceptFiles(hwnd(), TRUE);

    listView_.SyncCount();
    listView_.FocusFirstRow();  // Space ticks at once, no arrow key first
    ShowWindow(hwnd(), showCommand);
    UpdateWindow(hwnd());
    UpdateCommandStates();
    // The activation ran the cut once already: this run repeats it, and for
    // the outcomes and the undo both are one cut. A first run the user
    // stopped, or a window closed during it, ends the start-up's cutting.
    if (!startedWithoutParameters_ && hwnd() && work_.CuttingGoesOn()) {
        try {
            RunCut(work_.CutRan());
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
    return POINT{r.left + win::Scale(25, dpi_), r.top + win::Scale(20, dpi_)};
}

void TFrmMain::SetStatusText(const std::string& text, int part) {
    const std::wstring wide = win::ToWide(text);
    SendMessageW(statusBar_, SB_SETTEXTW, static_cast<WPARAM>(part) | SBT_NOBORDERS,
                 reinterpret_cast<LPARAM>(wide.c_str()));
    statusParts_.Fit(dpi_);
    // The second part holds the counts of a cut, an undo or the preview,
    // set once each when they are known: a screen reader is told (each part
    // is a child, its index + 1).
    if (part == 1) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, statusBar_, OBJID_CLIENT, part + 1);
}

std::string TFrmMain::StatusText(int part) const {
    return win::FromWide(StatusBarText(statusBar_, part));
}

void TFrmMain::Action_cutshoutExecute() { RunCut(false); }

void TFrmMain::RunCut(bool repeatsLast) {
    if (work_.Busy()) return;
    work_.RunOverList(kCutFinished, kCutStopped, &undo_, [this, repeatsLast](CutEnvironment& env) {
        const CutResult* previous = undo_.BeginCut(repeatsLast);
        CutResult result = RunCutCommand(listView_.model(), env, previous);
        work_.CutEnded(result.stopped);
        if (hwnd()) SetStatusText(counter_.WorkDone("変更", result.renamed, result.failed), 1);
        undo_.EndCut(std::move(result));
    });
}

void TFrmMain::Action_undoExecute(const UndoHistory::Kept* chosen) {
    // The history looks at the disk itself: another window may have closed
    // and left its journal since the menu was last enabled.
    if (work_.Busy()) return;
    std::optional<UndoHistory::Step> step =
        chosen ? undo_.Take(*chosen, listView_.model()) : undo_.BeginUndo(listView_.model());
    LookForJournals(undo_);  // tells of journals set aside on the way
    if (!step) {  // every file of the journals on disk was back already
        MessageBeep(MB_OK);
        SetStatusText(NothingToUndoText());
        UpdateCommandStates();
        return;
    }
    listView_.SyncCount();  // files the list did not hold became rows
    const std::string finished = step->whose.empty() ? std::string(kUndoFinished) : step->whose;
    work_.RunOverList(finished, kUndoStopped, nullptr, [this, &step, &finished, chosen](CutEnvironment& env) {
        const UndoResult result = UndoCut(listView_.model(), env, step->cut, chosen != nullptr);
        if (!hwnd()) return;
        // What came back, not what was meant to: set before anything is
        // drawn again.
        if (!result.stopped) SetStatusText(UndoEndText(result, finished));
        SetStatusText(counter_.WorkDone("元に戻した", result.undone, result.failed), 1);
        undo_.EndUndo(std::move(*step), listView_.model());
    });
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
    folders_.Reset();
    // The journals stay: the undo finds the files again from them.
    undo_.RowsCleared();
    counter_.Start();  // the counts of rows that are gone go too
    UpdateCommandStates();
}

LRESULT TFrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        LayoutChildren();
        columns_.Fit();
        return 0;
    case WM_GETMINMAXINFO: {
        if (!bars_.ToolBar()) break;  // not made yet
        const SIZE least = LeastWindowSize(hwnd(), bars_.ToolBar(), dpi_);
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{least.cx, least.cy};
        return 0;
    }
    case WM_TIMER:
        // Work waits; the count starts again after it, as the rows may change.
        if (wParam == kPreviewTimerId && !work_.Busy()) {
            if (const std::optional<std::string> text = counter_.Turn()) SetStatusText(*text, 1);
        }
        if (wParam == kSettingsWatchTimerId) {
            WatchTurn();
        }
        if (wParam == kIconTimerId && !listView_.LookUpIcons(kIconTurnMs)) {
            KillTimer(hwnd(), kIconTimerId);
        }
        return 0;
    case WM_DROPFILES:
        if (work_.RefuseWithBeep(kCmdDropFiles)) {
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
        if (LOWORD(wParam) != WA_INACTIVE && !work_.Busy()) RefreshPreview();
        if (LOWORD(wParam) != WA_INACTIVE) LookAgain(kCmdUndo);
        break;
    case WM_INITMENUPOPUP:
        LookAgain(kCmdUndo);
        break;
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        // An open menu takes the keys (its Escape stops no work), and the
        // row's tip goes: the menu's command may change the row.
        bars_.SetMenuOpen(message == WM_ENTERMENULOOP);
        listView_.HideKeyTip();
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_MINIMIZE) {  // exactly: the low bits are not masked
            MinimizeApplication(hwnd());
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
            bars_.MeasureMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), dpi_);
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (wParam == 0) {
            bars_.DrawMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        // Running work stops first; the close comes again when it has.
        if (work_.PutOffClose()) return 0;
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
