// Whether the main window's commands may run, from their rules in
// main_commands.h, and which handler each runs: the menus, the tool bar,
// the list's keys, clicks and drops all ask here.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string_view>

#include "app/main_window.h"
#include "app/find_folder.h"
#include "app/history_window.h"
#include "app/main_commands.h"
#include "app/main_window_parts.h"
#include "app/window_placement.h"
#include "dialogs/dialogs.h"
#include "dialogs/help_topics.h"
#include "dialogs/program_path.h"
#include "platform/application.h"
#include "platform/sliced_work.h"
#include "platform/text.h"

namespace tsly {
namespace {

bool IsMessageBox(HWND hwnd) {
    wchar_t name[16] = {};
    GetClassNameW(GetAncestor(hwnd, GA_ROOT), name, 16);
    return std::wstring_view(name) == L"#32770";
}

// Opens the help at the section of the window that `window` belongs to.
void ShowHelpFor(HWND window) {
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

}  // namespace

void LookForJournals(UndoHistory& undo) {
    for (const std::string& path : undo.LookAtDisk()) {
        win::Application::Instance().ShowMessage("元に戻すための記録を読めませんでした。\n" + path +
                                                 " として残しました。");
    }
}

bool TFrmMain::Holds(When condition) const {
    const ShortcutListModel& rows = listView_.model();
    switch (condition) {
    case When::Always: return true;
    case When::RowsListed: return rows.Count() != 0;
    case When::RowTicked: return rows.CheckedCount() != 0;
    case When::RowFocused: return listView_.FocusedRow() >= 0;
    case When::UndoAvailable: return CanUndo();
    case When::WorkRunning: return work_.Busy();
    }
    return false;
}

void TFrmMain::LookAgain(int id) {
    const CommandRule* rule = FindRule(id);
    if (!rule || rule->enabled != When::UndoAvailable || work_.Busy()) return;
    LookForJournals(undo_);
    UpdateCommandStates();
}

bool TFrmMain::CommandEnabled(int id) const {
    const CommandRule* rule = FindRule(id);
    if (!rule) return true;
    return !work_.Refuses(id) && Holds(rule->enabled);
}

void TFrmMain::UpdateCommandStates() {
    for (const CommandRule& rule : kCommandRules) bars_.Enable(rule.id, CommandEnabled(rule.id));
}

bool TFrmMain::RunKey(UINT key, KeyScope scope, HWND source) {
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const KeyBinding* binding = FindKey(key, control, scope);
    if (!binding) return false;
    listView_.HideKeyTip();
    // A refused key beeps; one whose command has nothing to act on is left
    // to the window (Escape then still ends an in-place edit).
    if (work_.RefuseWithBeep(binding->id)) return true;
    LookAgain(binding->id);
    const CommandRule* rule = FindRule(binding->id);
    if (rule && !Holds(rule->enabled)) {
        if (binding->id != kCmdUndo) return false;
        // Ctrl+Z past the oldest cut kept: the undo itself says so.
        Action_undoExecute();
        return true;
    }
    OnCommand(binding->id, source);
    return true;
}

bool TFrmMain::ApplicationMessageFilter(MSG& msg) {
    // Whatever window it is addressed to, and only the exact command, but
    // only while the application is minimized: a maximized window's own
    // Restore (Alt+Space, R) is the window's.
    if (msg.message == WM_SYSCOMMAND && msg.wParam == SC_RESTORE &&
        IsIconic(win::Application::Instance().Handle())) {
        RestoreApplication();
        return true;
    }
    if (msg.message != WM_KEYDOWN || !hwnd() || bars_.MenuOpen()) return false;
    const bool inMainWindow = msg.hwnd == hwnd() || IsChild(hwnd(), msg.hwnd);
    // A scan's duplicate boxes can come one after another: Escape in one
    // closes it and ends the scan too (not in a box the user opened while
    // the scan goes on).
    if (msg.wParam == VK_ESCAPE && work_.Scanning() && !win::WorkWaits() && !inMainWindow &&
        IsMessageBox(msg.hwnd)) {
        work_.Stop();
        return false;
    }
    // The keys of the program and of the main window (main_commands.h); the
    // list's own come as its notifications.
    const auto key = static_cast<UINT>(msg.wParam);
    return RunKey(key, KeyScope::Program, msg.hwnd) ||
           (inMainWindow && RunKey(key, KeyScope::MainWindow, msg.hwnd));
}

void TFrmMain::OnCommand(int id, HWND source) {
    listView_.HideKeyTip();  // the command may change the row it tells of
    if (work_.RefuseWithBeep(id)) return;
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
    case kCmdHelpTopics: ShowHelpTopics(hwnd()); break;  // SearchforHelpOn1
    case kCmdAbout: About1Click(); break;
    case kCmdClearList: N6Click(); break;
    case kCmdUndo: Action_undoExecute(); break;
    case kCmdHistory: History1Click(); break;
    case kCmdCheckAll: listView_.SetCheckedAll(true); break;
    case kCmdUncheckAll: listView_.SetCheckedAll(false); break;
    case kCmdTickRows: listView_.TickFocused(); break;
    case kCmdEditRow: listView_.EditFocused(); break;
    case kCmdSelectAllRows: listView_.SelectAll(); break;
    case kCmdStopWork: work_.Stop(); break;
    case kCmdContextHelp: ShowHelpFor(source ? source : hwnd()); break;
    default: break;
    }
}

void TFrmMain::ShowPopupMenu(POINT at) {
    if (at.x == -1 && at.y == -1) {
        // From the keyboard (Shift+F10, the menu key): at the focused row,
        // else at the list's corner.
        RECT row{8, 8, 8, 8};
        const int focused = listView_.FocusedRow();
        if (focused >= 0) {
            ListView_EnsureVisible(listView_.hwnd(), focused, FALSE);
            ListView_GetItemRect(listView_.hwnd(), focused, &row, LVIR_LABEL);
        }
        at = POINT{row.left, (row.top + row.bottom) / 2};
        ClientToScreen(listView_.hwnd(), &at);
    }
    UpdateCommandStates();
    bars_.ShowPopupMenu(at);
}

// The commands that open a dialog, and the find-folder picker.
void TFrmMain::Action_find_folderExecute() {
    std::string folder;
    if (!ChooseFolderToScan(*this, SelectedFolder, folder)) return;
    ScanFolder(folder);
}

void TFrmMain::Action_open_optionExecute() {
    ShowOptionDialog(DialogPosition());
    RefreshPreview();
}

void TFrmMain::History1Click() {
    LookForJournals(undo_);
    // The window undoes a chosen cut as Ctrl+Z does: the list and the status
    // tell what came back.
    if (const auto chosen = ShowHistoryWindow(DialogPosition(), undo_, listView_.model())) {
        Action_undoExecute(&*chosen);
    }
    UpdateCommandStates();
}

void TFrmMain::S1Click() { ShowSetupDialog(DialogPosition()); }
void TFrmMain::About1Click() { ShowAboutBox(DialogPosition()); }

}  // namespace tsly
