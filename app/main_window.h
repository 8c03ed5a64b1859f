// The main window: the shortcut list with its tool bar, menus and status
// bar, and the commands that collect and rename shortcuts.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "app/column_widths.h"
#include "app/command_bars.h"
#include "app/folder_watch.h"
#include "app/preview_counter.h"
#include "app/running_work.h"
#include "app/status_parts.h"
#include "app/shortcut_list_view.h"
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

    // A cut can be undone: this window's, or one of an earlier run or a
    // window since closed, from its journal on disk.
    bool CanUndo() const { return !work_.Busy() && undo_.Available(); }

    ShortcutListView& ListView_main() { return listView_; }
    const ShortcutListView& ListView_main() const { return listView_; }
    // Whether a command's menu item, tool button and keys act now: its rule
    // in main_commands.h holds and, while work runs, it is not refused.
    bool CommandEnabled(int id) const;
    HWND StatusBar1() const { return statusBar_; }
    const FolderWatch& WatchedFolders() const { return folders_; }
    std::string StatusText(int part = 0) const;
    bool SettingsDeleted() const { return settingsDeleted_; }

    // Where the main window's dialogs open: 25 px right of and 20 px below
    // its top-left corner (at 96 dpi).
    POINT DialogPosition() const;
    UINT Dpi() const { return dpi_; }

    std::string SelectedFolder;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The window's controls and their layout (main_window_controls.cpp).
    void CreateControls();
    void LayoutChildren();
    // A size at 96 dpi, at the window's DPI.
    int Scaled(int size96) const;
    // The fonts, icons and pictures of the window's DPI.
    void LoadDpiResources();
    // Scales the layout from `fromDpi` to the window's DPI.
    void ApplyDpi(UINT fromDpi);
    void RestoreGeometry();
    void FormClose();

    void FormCreate(int argc, char** argv);
    void FormActivate();

    // Whether and how commands run (main_window_commands.cpp).
    // `source`: the window a key was pressed in, for the help's section.
    void OnCommand(int id, HWND source = nullptr);
    bool Holds(When condition) const;
    // A condition the disk changes behind the window's back (another
    // window closed and left its journals) is looked at again when the
    // user asks for a command that depends on it.
    void LookAgain(int id);
    // Runs the command bound to a key pressed in `scope`; false when the
    // key is not bound there or its command is not enabled.
    bool RunKey(UINT key, KeyScope scope, HWND source);
    bool ApplicationMessageFilter(MSG& msg);
    void UpdateCommandStates();
    // The list's pop-up menu at a screen point; from the keyboard (-1, -1)
    // at the focused row.
    void ShowPopupMenu(POINT at);

    void Action_find_folderExecute();
    void Action_open_optionExecute();
    void S1Click();
    void SearchforHelpOn1Click();
    void About1Click();
    // `repeatsLast`: the start-up's second run, one cut with the first.
    void RunCut(bool repeatsLast);

    // The rows: how they come and how they are drawn (main_window_list.cpp).
    // Shows a scan's counts when they are due; `force`: now, and the list
    // learns its rows.
    void FlushScanView(bool force);
    void OnDropFiles(HDROP drop);
    LRESULT OnNotify(NMHDR* header);
    LRESULT ListView_mainCustomDrawItem(NMLVCUSTOMDRAW* draw);
    // The plan follows its inputs: options saved anywhere, files changed in
    // the rows' folders, and the disk as it is when the window comes back.
    void WatchTurn();
    void RefreshPreview();

    void SetStatusText(const std::string& text, int part = 0);

    ShortcutListView listView_;
    CommandBars bars_{*this};
    HWND statusBar_ = nullptr;  // StatusBar1
    StatusParts statusParts_;   // where its two parts meet
    ColumnWidths columns_{listView_};
    win::UniqueFont font_;
    win::UniqueFont strikeFont_;
    win::UniqueIcon icon_;
    win::UniqueIcon smallIcon_;
    UINT dpi_ = 96;

    bool startedWithoutParameters_ = true;
    bool settingsDeleted_ = false;
    bool activated_ = false;
    bool menuOpen_ = false;  // a menu of the window's takes the keys
    int showCommand_ = SW_SHOW;  // maximized when it was closed so
    UndoHistory undo_;  // what 元に戻す puts back, newest first
    RunningWork work_;
    PreviewCounter counter_{*this, listView_};  // the status bar's right part
    FolderWatch folders_{listView_};  // the rows' folders, for the preview
    win::RegistryWatch settingsWatch_{kSettingsKey};
};

}  // namespace tsly
