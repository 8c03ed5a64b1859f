// The shortcut list control: a virtual report list view that draws every row
// from the list model and turns clicks on a check box into model changes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "core/shortcut_list.h"

namespace tsly {

class ShortcutListView {
public:
    ShortcutListView();

    void Create(HWND parent, int controlId, HFONT font);
    HWND hwnd() const { return hwnd_; }
    ShortcutListModel& model() { return model_; }
    const ShortcutListModel& model() const { return model_; }

    // Tells the control how many rows the model holds now.
    void SyncCount();
    void Clear();

    // Column 0 shows the paths, column 1 what the last cut or undo did.
    int ColumnWidth(int column = 0) const;
    void SetColumnWidth(int width, int column = 0);

    // While work runs, rows cannot be edited in place.
    void SetLocked(bool locked) { locked_ = locked; }
    // Redraws every row shown (the outcomes changed).
    void RedrawAll();
    // Looks up the icons of the rows not drawn yet, while their files still
    // have the names they were listed with.
    void LookUpIcons();

    // Row check state, as the user sees it; flips redraw the row at once.
    void SetChecked(int row, bool checked);

    // Handles the control's notifications except custom drawing; sets
    // `handled` when it answered one.
    LRESULT OnNotify(NMHDR* header, bool& handled);

private:
    void FillDisplayInfo(LVITEMW& item);
    int IconOf(std::size_t row);
    void Toggle(int row);
    int FindFrom(const NMLVFINDITEMW& find) const;

    HWND hwnd_ = nullptr;
    ShortcutListModel model_;
    std::size_t shownCount_ = 0;
    int fallbackIcon_ = -1;
    bool locked_ = false;
};

}  // namespace tsly
