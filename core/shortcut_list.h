// The shortcut list: entries in the order they were entered, each with its
// check flag, icon and last outcome, and an index from the hash of each
// case-folded caption to its entry, so that the duplicate test costs O(1)
// instead of a search of the whole list. The index keeps hashes, not texts,
// in one open-addressed array: a hash match is confirmed against the entry
// itself, a large list stays small, and a registration allocates nothing
// but its caption.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <cstdint>
#include <vector>

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
    // Two captions are equal but for case when their UTF-16 units, each
    // mapped through `upper` (0x10000 entries), are equal. The window passes
    // the system's own upper-case table, so that the answer is the file
    // system's. The table must outlive the model.
    explicit ShortcutListModel(const char16_t* upper);

    // Appends a checked entry unless a caption equal without regard to case
    // is listed; false (and no change, `caption` left as it was) for such a
    // duplicate.
    bool Register(std::string&& caption);
    bool Contains(std::string_view caption) const;
    // The entry whose caption equals `path` but for case, or npos.
    std::size_t IndexOf(std::string_view path) const;

    // The fold the duplicate test uses, for others that compare paths as
    // the file system does: a hash of the folded text, and equality.
    std::uint32_t FoldedHash(std::string_view text) const {
        return static_cast<std::uint32_t>(HashOf(text));
    }
    bool EqualFolded(std::string_view a, std::string_view b) const {
        return Folded(a) == Folded(b);
    }

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
        entries_.at(index).outcome = outcome;
    }
    // The row's file was renamed: the caption and the index follow it; the
    // icon, the file's own, stays.
    void SetPath(std::size_t index, std::string path) override;
    const ShortcutEntry& At(std::size_t index) const { return entries_[index]; }

    void SetChecked(std::size_t index, bool checked);
    // How many entries are checked, kept as they change.
    std::size_t CheckedCount() const { return checkedCount_; }
    void SetImageIndex(std::size_t index, int imageIndex);
    // In-place editing of a row's text; the index follows the new text, and
    // the icon is looked up again.
    void SetCaption(std::size_t index, std::string caption);
    void Clear();

    // Type-to-find: the first entry from `start` whose caption equals `text`,
    // or begins with it when `prefix`, without regard to case; wraps round
    // to the first entry when `wrap`. npos when there is none.
    std::size_t FindCaption(std::string_view text, std::size_t start, bool prefix,
                            bool wrap) const;

    // How many captions the duplicate tests compared in full so far.
    std::size_t Probes() const { return probes_; }
    // Slots of the duplicate index: one a row at most three quarters full,
    // however often rows follow their files.
    std::size_t IndexSlots() const { return slots_.size(); }

private:
    std::size_t HashOf(std::string_view caption) const;
    std::u16string Folded(std::string_view text) const;
    bool SameFolded(std::string_view a, std::string_view b) const;
    // The entry equal to `caption` but for case, or npos.
    std::size_t Find(std::string_view caption, std::size_t hash) const;
    void Index(std::size_t hash, std::size_t row);
    void Unindex(std::size_t row);

    struct Slot {
        std::uint32_t hash;
        std::uint32_t row;  // kFree, kRemoved or an entry
    };
    static constexpr std::uint32_t kFree = 0xFFFFFFFFu;
    static constexpr std::uint32_t kRemoved = 0xFFFFFFFEu;

    const char16_t* upper_;
    mutable std::size_t probes_ = 0;
    std::size_t checkedCount_ = 0;
    // A deque grows without copying what it holds: no peak at reallocation.
    std::deque<ShortcutEntry> entries_;
    // Hash of the folded caption -> entry (edits can make two equal); a
    // power of two in size, at most half of it taken.
    std::vector<Slot> slots_;
    std::size_t taken_ = 0;  // entries and removed marks
};

}  // namespace tsly
