// The folders the list's rows come from, watched while the window shows
// them, so that the preview follows files other programs add, remove or
// rename without the window being activated again. It owns the system's
// change notifications; the window asks it at idle turns whether one
// fired, and plans the preview again.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "app/shortcut_list_view.h"
#include "platform/handles.h"

namespace tsly {

class FolderWatch {
public:
    // At most this many folders are watched: one wait asks them all.
    static constexpr std::size_t kMaxFolders = MAXIMUM_WAIT_OBJECTS;

    explicit FolderWatch(const ShortcutListView& list) : list_(list) {}

    // Work is about to change the rows, or they changed: the watches close
    // (the work's own renames are no news) and are set up at later turns.
    void Reset();
    // An idle turn, no work running: learns the rows' folders a slice at a
    // time and then watches them; past kMaxFolders, only the folders of the
    // rows in view, taken again as the view moves. True when the preview is
    // to be planned again: a watched folder changed, or rows of folders
    // not watched until now came into view.
    bool Turn();
    std::size_t Watched() const { return watches_.size(); }

private:
    // False while rows are left to look at.
    bool Gather();
    void Arm(const std::vector<std::string>& folders);
    bool ViewMoved();
    bool Fired();

    const ShortcutListView& list_;
    std::size_t rows_ = 0;  // the rows' count when gathering began
    std::size_t row_ = 0;   // the next row to look at
    bool gathered_ = false;
    bool pastLimit_ = false;
    std::vector<std::string> folders_;  // watched, or being gathered
    ShortcutListView::RowRange view_{0, 0};
    std::vector<win::UniqueChangeNotification> watches_;
};

}  // namespace tsly
