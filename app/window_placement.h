// Where the main window is: its place and sizes kept in the registry
// between runs (sizes at the DPI they were stored at), a place on a screen
// where it can be reached, and minimizing and restoring through the
// application window, which carries the task-bar button.
#pragma once

#include <windows.h>

#include <functional>

namespace tsly {

// The stored geometry values, in the order they are read and written.
// Sizes are pixels at the stored DPI; positions are screen pixels.
// Position and size are the window's normal ones, also while it is
// maximized; Maximized (1 or 0) says whether it opens so.
enum class Geometry {
    Height, Left, Top, Width, ListHeight, ListWidth, Panel0, Column, ResultColumn, Maximized, Dpi
};

// Hands `apply` each stored value but the DPI, in order, sizes scaled to
// `dpi`; a missing one is its design value at `dpi`. Throws SettingsError
// at a value that cannot be read, after applying those before it.
void ReadGeometry(UINT dpi, const std::function<void(Geometry what, int value)>& apply);
// Stores the value `valueOf` gives for each of them.
void WriteGeometry(const std::function<int(Geometry what)>& valueOf);

// The least size of `window` at which its tool bar whole, the list's
// heading and a row, and the status bar's counts (WidestCounts) all show.
SIZE LeastWindowSize(HWND window, HWND toolBar, UINT dpi);
// At least `least`, with the whole caption bar on the nearest work area.
void MakeReachable(HWND window, SIZE least);
// The window's normal rectangle to store (where Restore puts a maximized
// one): a window off every monitor is stored where the next start shows it.
RECT PlaceToStore(HWND window);

void MinimizeApplication(HWND window);
void RestoreApplication();

}  // namespace tsly
