// The main window: the shortcut list with its tool bar, menus and status
// bar, and the commands that collect and rename shortcuts.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/shortcut_list_view.h"
#include "core/cut_command.h"
#include "app/undo_history.h"
#include "platform/handles.h"
#include "platform/registry_watch.h"
#include "platform/settings_store.h"
#include "platform/window.h"

namespace tsly {

enum class When : std::uint8_t;
enum class KeyScope : std::uint8_t;

class TFrmMain final : public win::Window {
public:
    TFrmMain();
    ~TFrmMain() override;

    // Creates the window hidden and runs FormCreate, which shows it.
    void Create(int argc, char** argv);

    // Commands, callable from tests as the menu would call them.
    void RegisterShortcut(std::string path);
    // False when the scan did not run through (work was running, or it
    // was stopped or the window closed).
    bool ScanFolder(const std::string& folder);
    void Action_cutshoutExecute();
    void Action_undoExecute();
    void N3Click();
    void N6Click();
    void Close();

    // A cut, an undo or a scan is running; commands that would change the
    // list are refused meanwhile.
    bool Busy() const { return busy_; }
    // A cut can be undone: this window's, or one of an earlier run or a
    // window since closed, from its journal on disk.
    bool CanUndo() const { return !busy_ && undo_.Available(); }
    // Asks the running work to stop after the current file (Escape).
    void StopWork() { if (busy_) stopRequested_ = true; }

    ShortcutListView& ListView_main() { return listView_; }
    const ShortcutListView& ListView_main() const { return listView_; }
    // Whether a command's menu item, tool button and keys act now: its rule
    // in main_commands.h holds and, while work runs, it is not refused.
    bool CommandEnabled(int id) const;
    HWND StatusBar1() const { return statusBar_; }
    std::string StatusText(int part = 0) const;
    bool SettingsDeleted() const { return settingsDeleted_; }

    // Where the main window's dialogs open: 25 px right of and 20 px below
    // its top-left corner (at 96 dpi).
    POINT DialogPosition() const;
    UINT Dpi() const { return dpi_; }

    std::string SelectedFolder;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void CreateControls();
    void CreateToolBar();
    void CreateMenus();
    void LayoutChildren();
    // A size at 96 dpi, at the window's DPI.
    int Scaled(int size96) const;
    // Fonts, images, bar and column sizes for the window's DPI; `fromDpi` is
    // the DPI the present sizes were made for.
    // The fonts, icons and pictures of the window's DPI.
    void LoadDpiResources();
    // Scales the layout from `fromDpi` to the window's DPI.
    void ApplyDpi(UINT fromDpi);
    void LoadToolImages();
    void SizeToolBar();

    void FormCreate(int argc, char** argv);
    void FormActivate();
    void FormClose();
    void RestoreGeometry();
    // The least window size at which the tool bar, the list and the status
    // bar all show.
    SIZE MinimumSize() const;
    // At least that size, with the whole caption bar on the nearest work area.
    void MakeReachable();
    void MinimizeApplication();
    static void RestoreApplication();
    bool ApplicationMessageFilter(MSG& msg);

    // `source`: the window a key was pressed in, for the help's section.
    void OnCommand(int id, HWND source = nullptr);
    bool Holds(When condition) const;
    // A condition the disk changes behind the window's back (another
    // window closed and left its journals) is looked at again when the
    // user asks for a command that depends on it.
    void LookAgain(int id);
    // True, with a beep, when `id` is refused because work runs.
    bool Refuses(int id) const;
    // Runs the command bound to a key pressed in `scope`; false when the
    // key is not bound there or its command is not enabled.
    bool RunKey(UINT key, KeyScope scope, HWND source);
    // The list's pop-up menu at a screen point; from the keyboard (-1, -1)
    // at the focused row.
    void ShowPopupMenu(POINT at);
    LRESULT OnNotify(NMHDR* header);
    LRESULT ListView_mainCustomDrawItem(NMLVCUSTOMDRAW* draw);
    // The colour of a row's "結果" when it differs from the window text's.
    std::optional<COLORREF> ResultTextColor(std::size_t row);
    void OnMeasureMenuItem(MEASUREITEMSTRUCT* measure);
    void OnDrawMenuItem(const DRAWITEMSTRUCT* draw);

    void Action_find_folderExecute();
    void Action_open_optionExecute();
    void S1Click();
    void SearchforHelpOn1Click();
    void About1Click();
    void SetStatusText(const std::string& text, int part = 0);
    void FlushScanView(bool force);
    // Runs a cut or an undo: the message loop turns a few times a second,
    // the status bar shows the progress, Escape stops it.
    bool WorkTurn(std::size_t done, std::size_t total);
    void BeginWork();
    void EndWork();
    void ShowCounts(const char* doneWord, std::size_t done, std::size_t failed);
    // A cut or an undo over the list as one piece of work; the status text
    // tells at the end whether it ran through or was stopped. A cut hands
    // its renames to the undo history as they happen.
    void RunListWork(const std::string& finished, const char* stopped,
                     const std::function<void(CutEnvironment&)>& work, bool journaled);
    // Journals on disk that are no journal at all are set aside, and the
    // user told once.
    void LookForJournals();
    // `repeatsLast`: the start-up's second run, one cut with the first.
    void RunCut(bool repeatsLast);

    // Marks the window busy for as long as it lives.
    class WorkScope {
    public:
        explicit WorkScope(TFrmMain& main) : main_(main) { main_.BeginWork(); }
        ~WorkScope() { main_.EndWork(); }
        WorkScope(const WorkScope&) = delete;
        WorkScope& operator=(const WorkScope&) = delete;

    private:
        TFrmMain& main_;
    };
    void UpdateCommandStates();

    // The preview's options from the registry (none when they cannot be
    // read), and its counts in the status bar, worked out a slice at a
    // time between messages so that a long list does not hold the window.
    // `always`: plan again even with the same options (the disk may have
    // changed); false when nothing was done.
    bool ReloadPreviewOptions(bool always = true);
    void StartPreviewCount();
    void PreviewCountTurn();
    // The plan follows its inputs: options saved anywhere, and the disk as
    // it is when the window comes back.
    void WatchSettingsTurn();
    void RefreshPreview();
    // The list's columns fill its width: the file column shows the chosen
    // width where there is room, "結果" takes the rest.
    void FitColumns();
    // A file column width other than the one the program last showed was
    // given by the user (a drag of the divider): it becomes the chosen one.
    void TakeUsersColumnWidth();
    void OnDropFiles(HDROP drop);
    // Opens the help at the section of the window that `window` belongs to.
    static void ShowHelpFor(HWND window);

    ShortcutListView listView_;
    HWND rebar_ = nullptr;      // CBar1
    HWND toolBar_ = nullptr;    // TBar1
    HWND statusBar_ = nullptr;  // StatusBar1
    win::UniqueMenu popupMenu_;  // PopupMenu2 (MainMenu1 belongs to the window)
    win::UniqueImageList imageList_;  // ImageList1
    win::UniqueFont font_;
    win::UniqueFont strikeFont_;
    win::UniqueIcon icon_;
    win::UniqueIcon smallIcon_;
    UINT dpi_ = 96;
    int columnWidth_ = 400;      // the file column's chosen width, stored as "Column(3)"
    int shownColumnWidth_ = -1;  // the width the program last gave it

    bool startedWithoutParameters_ = true;
    bool settingsDeleted_ = false;
    bool activated_ = false;
    bool scanning_ = false;
    bool busy_ = false;
    bool stopRequested_ = false;
    bool closePending_ = false;   // closing waits until the work has stopped
    bool cutDone_ = false;        // a cut ran since the window was made
    bool lastCutStopped_ = false; // the last cut was stopped before its end
    UndoHistory undo_;            // what 元に戻す puts back, newest first
    DWORD lastTurn_ = 0;
    bool countPending_ = false;  // the status bar's running count is stale
    std::size_t skippedTooDeep_ = 0;  // folders the scan left out
    DWORD lastFlush_ = 0;
    DWORD flushInterval_ = 500;  // a scan's time between two flushes of its counts
    std::size_t countRow_ = 0, countRenames_ = 0, countFailures_ = 0;
    std::size_t countAgain_ = 0;   // rows with an outcome that a cut would change again
    std::size_t countOutcomes_ = 0;  // rows that show what the last work did
    std::string workCounts_;       // the last work's counts, for the status bar
    win::RegistryWatch settingsWatch_{kSettingsKey};
};

}  // namespace tsly
