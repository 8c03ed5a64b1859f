// What the main window's source files share: control ids and sizes (in
// pixels at 96 dpi), and two steps more than one of them takes.
#pragma once

#include <windows.h>

namespace tsly {

inline constexpr int kListId = 1;
inline constexpr int kToolBarId = 2;
inline constexpr int kStatusBarId = 3;
inline constexpr int kRebarId = 4;
inline constexpr int kToolBarStripHeight = 26;
inline constexpr int kDefaultColumnWidth = 400;
inline constexpr int kDefaultResultColumnWidth = 160;
inline constexpr int kMinResultColumnWidth = 100;
inline constexpr UINT_PTR kPreviewTimerId = 1;
// The rows' icons are looked up at idle turns of about this long.
inline constexpr UINT_PTR kIconTimerId = 3;
inline constexpr DWORD kIconTurnMs = 15;
// Options saved elsewhere are looked for this often.
inline constexpr UINT_PTR kSettingsWatchTimerId = 2;
inline constexpr UINT kSettingsWatchMs = 250;
inline constexpr int kStatusPanel0Width = 300;
inline constexpr int kStatusBarHeight = 19;
inline constexpr int kMinListHeight = 40;  // its heading and one row

class ShortcutListView;
class UndoHistory;

// The preview's options from the registry (none when they cannot be read).
// `always`: plan again even with the same options (the disk may have
// changed); false when nothing was done.
bool ReloadPreviewOptions(ShortcutListView& list, bool always = true);
// Journals on disk that are no journal at all are set aside, and the user
// told once.
void LookForJournals(UndoHistory& undo);

}  // namespace tsly
