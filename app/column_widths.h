// The list's column widths: the file column's that the user chose (by
// dragging its divider), stored as "Column(3)", and the widths shown, which
// fill the list's width and give "結果" what its texts need before a path
// loses its middle. The window tells it when the list's size or DPI
// changes; the list, when what its rows show changed.
#pragma once

#include <windows.h>

#include "app/main_window_parts.h"
#include "app/shortcut_list_view.h"

namespace tsly {

class ColumnWidths {
public:
    explicit ColumnWidths(ShortcutListView& list);

    // A stored width of the file column; anything below -2 (-1 fits the
    // texts, -2 the heading) is no width at all, and `designed` stands in.
    void Restore(int width, int designed);
    // The file column's chosen width, a drag since the last fit taken in.
    int Chosen();
    // The columns share the list's width by what the rows in view need
    // (PathColumnWidth); "結果" is at least kMinResultColumnWidth wide and
    // neither is narrower than its heading. Room is kept for a vertical
    // scroll bar, so that one appearing with more rows brings no other.
    void Fit();
    // Every column keeps its share of the list at a new DPI.
    void Scale(UINT dpi, UINT fromDpi);

private:
    // A file column width other than the one last shown was given by the
    // user: it becomes the chosen one.
    void TakeUsers();
    // The rows' texts changed: fitted again, unless the user dragged a
    // divider since the last fit (that stands until the size changes).
    void Refit();

    ShortcutListView& list_;
    int chosen_ = kDefaultColumnWidth;
    int shown_ = -1;    // the width last given to the file column; -1 none yet
};

}  // namespace tsly
