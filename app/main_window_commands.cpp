// Whether the main window's commands may run, from their rules in
// main_commands.h: the menus, the tool bar, the list's keys, clicks and
// drops all ask here.
#include <windows.h>
#include <commctrl.h>

#include "app/Unit1.h"
#include "app/main_commands.h"

namespace tsly {

bool TFrmMain::Holds(When condition) const {
    const ShortcutListModel& rows = listView_.model();
    switch (condition) {
    case When::Always: return true;
    case When::RowsListed: return rows.Count() != 0;
    case When::RowTicked: return rows.CheckedCount() != 0;
    case When::RowFocused: return listView_.FocusedRow() >= 0;
    case When::UndoAvailable: return CanUndo();
    case When::WorkRunning: return busy_;
    }
    return false;
}

void TFrmMain::LookAgain(int id) {
    const CommandRule* rule = FindRule(id);
    if (!rule || rule->enabled != When::UndoAvailable || busy_) return;
    LookForJournals();
    UpdateCommandStates();
}

bool TFrmMain::CommandEnabled(int id) const {
    const CommandRule* rule = FindRule(id);
    if (!rule) return true;
    return !(busy_ && rule->refusedWhileBusy) && Holds(rule->enabled);
}

bool TFrmMain::Refuses(int id) const {
    const CommandRule* rule = FindRule(id);
    if (!busy_ || !rule || !rule->refusedWhileBusy) return false;
    MessageBeep(MB_OK);
    return true;
}

bool TFrmMain::RunKey(UINT key, KeyScope scope, HWND source) {
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const KeyBinding* binding = FindKey(key, control, scope);
    if (!binding) return false;
    // A refused key beeps; one whose command has nothing to act on is left
    // to the window (Escape then still ends an in-place edit).
    if (Refuses(binding->id)) return true;
    LookAgain(binding->id);
    const CommandRule* rule = FindRule(binding->id);
    if (rule && !Holds(rule->enabled)) return false;
    OnCommand(binding->id, source);
    return true;
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
    TrackPopupMenu(popupMenu_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(),
                   nullptr);
}

}  // namespace tsly
