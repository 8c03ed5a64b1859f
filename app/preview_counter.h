// The preview's counts, for the status bar's right part: how many rows a
// cut would rename and how many would fail, or, once work has run, that
// work's counts and how many rows a second cut would change. A long list is
// counted a slice at a time at the window's idle turns, so that it does not
// hold the window; the window only draws the text it hands back.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "app/shortcut_list_view.h"
#include "platform/window.h"

namespace tsly {

// The widest counts the status bar is made wide enough for at the
// window's least size: an undo's of 99,999 rows.
std::string WidestCounts();

class PreviewCounter {
public:
    // `window`: whose timer brings the turns (kPreviewTimerId).
    PreviewCounter(const win::Window& window, ShortcutListView& list)
        : window_(window), list_(list) {}

    // Counts again from the first row, at the window's next idle turns.
    void Start();
    // Holds the count back (work changes the rows); Start begins it again.
    void Pause();
    // Counts rows for a slice of time; the text once the last is counted.
    std::optional<std::string> Turn();
    // The last work's counts, kept while rows show outcomes; returns them
    // as the part shows them.
    const std::string& WorkDone(const char* doneWord, std::size_t done, std::size_t failed);

private:
    std::string Text() const;

    const win::Window& window_;
    ShortcutListView& list_;
    std::size_t row_ = 0;  // the next row to count
    std::size_t renames_ = 0, failures_ = 0;
    std::size_t again_ = 0;     // rows with an outcome that a cut would change again
    std::size_t outcomes_ = 0;  // rows that show what the last work did
    std::string workCounts_;
};

}  // namespace tsly
