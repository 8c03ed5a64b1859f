// The shortcut list: entries in the order they were entered, each with its
// check flag and icon, and an index from the hash of each case-folded
// caption to its entry, so that the duplicate test costs O(1) instead of a
// search of the whole list. The index keeps hashes, not texts: a hash match
// is confirmed against the entry itself, and a large list stays small.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/cut_command.h"

namespace tsly {

struct ShortcutEntry {
    std::string caption;
    bool checked = true;
    int imageIndex = kIconUnknown;  // looked up when the row is first drawn
    RowOutcome outcome;             // what the last cut or undo did to it

    static constexpr int kIconUnknown = -1;
};

class ShortcutListModel final : public CutListSource {
public:
    // Maps a caption to the key under which equal-but-for-case captions
    // collide. The window passes the system's own case folding, so that the
    // answer is the file system's.
    using FoldFunction = std::function<std::string(std::string_view)>;

    explicit ShortcutListModel(FoldFunction fold);

    // Appends a checked entry unless a caption equal without regard to case
    // is listed; false (and no change) for such a duplicate.
    bool Register(std::string caption);
    bool Contains(std::string_view caption) const;

    std::size_t Count() const override { return entries_.size(); }
    const std::string& Caption(std::size_t index) const override {
        return entries_[index].caption;
    }
    bool Checked(std::size_t index) const override {
        return entries_[index].checked;
    }
    const RowOutcome& Outcome(std::size_t index) const override {
        return entries_[index].outcome;
    }
    void SetOutcome(std::size_t index, RowOutcome outcome) override {
        entries_.at(index).outcome = std::move(outcome);
    }
    const ShortcutEntry& At(std::size_t index) const { return entries_[index]; }

    void SetChecked(std::size_t index, bool checked);
    void SetImageIndex(std::size_t index, int imageIndex);
    // In-place editing of a row's text; the index follows the new text.
    void SetCaption(std::size_t index, std::string caption);
    void Clear();

private:
    // The entry whose folded caption is `key`, or npos.
    std::size_t Find(const std::string& key, std::size_t hash) const;
    void Unindex(std::size_t index);

    FoldFunction fold_;
    // A deque grows without copying what it holds: no peak at reallocation.
    std::deque<ShortcutEntry> entries_;
    // Hash of the folded caption -> entry index (edits can make two equal).
    std::unordered_multimap<std::size_t, std::size_t> index_;
};

}  // namespace tsly
