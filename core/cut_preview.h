// What a cut would do to each row before it runs. The cut's own row
// function decides, with renames that only look: at the disk, and at the
// names that earlier rows would take first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>

#include "core/row_cut.h"
#include "core/shortcut_list.h"

namespace tsly {

// The text of a preview: "→ " and the new name, "変更なし", or the reason the
// cut would fail; nothing for a row that is not checked.
std::string PreviewText(const RowCut& preview);

class CutPreview {
public:
    // Whether a file or folder has `path` on disk.
    using Exists = std::function<bool(const std::string& path)>;

    CutPreview(const ShortcutListModel& list, Exists exists);

    const CutOptions& options() const { return options_; }
    void SetOptions(CutOptions options);
    // Rows were added, edited or renamed: the names they would take are
    // worked out again when next needed. (Ticks need no call: they are read
    // as the rows are asked for.)
    void Invalidate() {
        claims_.clear();
        claimedRows_ = 0;
    }

    // What the cut would do to `row`: Renamed (to `path`), Unchanged or
    // Failed; None for an unchecked row.
    RowCut Of(std::size_t row);

private:
    // The name the rule gives a row's file, if it gives one.
    std::optional<std::string> FinalTarget(std::size_t row) const;
    // The names rows before `row` would take, worked out as far as asked:
    // drawing the first rows of a long list costs no more than they do.
    void ClaimUpTo(std::size_t row);
    // True when a checked row before `row` would take `path` first.
    bool ClaimedBefore(const std::string& path, std::size_t row);
    // True when the file at `path` is a row's before `row` that the cut
    // would rename away first.
    bool MovesAwayBefore(const std::string& path, std::size_t row);

    const ShortcutListModel& list_;
    Exists exists_;
    CutOptions options_;
    // Hash of the folded new path -> row, for rows before claimedRows_.
    std::unordered_multimap<std::uint32_t, std::uint32_t> claims_;
    std::size_t claimedRows_ = 0;
};

}  // namespace tsly
