#include "core/shortcut_list.h"

#include "core/utf8.h"

namespace tsly {

ShortcutListModel::ShortcutListModel(const char16_t* upper) : upper_(upper) {}

std::size_t ShortcutListModel::HashOf(std::string_view caption) const {
    // FNV-1a over the folded units, with no folded copy made: this runs for
    // every file a scan lists.
    std::uint32_t hash = 2166136261u;
    utf8::ForEachUtf16Unit(caption, [this, &hash](char16_t unit) {
        const char16_t folded = upper_[unit];
        hash = (hash ^ (folded & 0xFFu)) * 16777619u;
        hash = (hash ^ (folded >> 8)) * 16777619u;
    });
    return hash;
}

std::u16string ShortcutListModel::Folded(std::string_view text) const {
    std::u16string folded;
    folded.reserve(text.size());
    utf8::ForEachUtf16Unit(text, [this, &folded](char16_t unit) { folded.push_back(upper_[unit]); });
    return folded;
}

bool ShortcutListModel::SameFolded(std::string_view a, std::string_view b) const {
    ++probes_;
    return Folded(a) == Folded(b);
}

std::size_t ShortcutListModel::FindCaption(std::string_view text, std::size_t start,
                                           bool prefix, bool wrap) const {
    const std::size_t count = entries_.size();
    const std::u16string key = Folded(text);
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t row = (start + k) % count;
        if (k > 0 && row == 0 && !wrap) break;
        const std::u16string caption = Folded(entries_[row].caption);
        if (prefix ? caption.compare(0, key.size(), key) == 0 : caption == key) return row;
    }
    return std::string::npos;
}

std::size_t ShortcutListModel::Find(std::string_view caption, std::size_t hash) const {
    if (slots_.empty()) return std::string::npos;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.row == kFree) return std::string::npos;
        if (slot.row != kRemoved && slot.hash == static_cast<std::uint32_t>(hash) &&
            SameFolded(entries_[slot.row].caption, caption)) {
            return slot.row;
        }
    }
}

void ShortcutListModel::Index(std::size_t hash, std::size_t row) {
    // Up to three quarters full, half full after growing: linear probes
    // stay short, and a hundred thousand rows take 2 MB of slots.
    if ((taken_ + 1) * 4 > slots_.size() * 3) {
        // Grow (or, with many removed marks, only tidy up) and put every
        // entry back.
        std::size_t live = 0;
        for (const Slot& slot : slots_) live += slot.row < kRemoved;
        std::size_t size = 16;
        while (size < (live + 1) * 2) size *= 2;
        std::vector<Slot> old(size, Slot{0, kFree});
        old.swap(slots_);
        taken_ = 0;
        for (const Slot& slot : old) {
            if (slot.row < kRemoved) Index(slot.hash, slot.row);
        }
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].row < kRemoved) i = (i + 1) & mask;
    if (slots_[i].row == kFree) ++taken_;
    slots_[i] = Slot{static_cast<std::uint32_t>(hash), static_cast<std::uint32_t>(row)};
}

bool ShortcutListModel::Contains(std::string_view caption) const {
    return Find(caption, HashOf(caption)) != std::string::npos;
}

std::size_t ShortcutListModel::IndexOf(std::string_view path) const {
    return Find(path, HashOf(path));
}

bool ShortcutListModel::Register(std::string&& caption) {
    const std::size_t hash = HashOf(caption);
    if (Find(caption, hash) != std::string::npos) return false;
    Index(hash, entries_.size());
    entries_.push_back(ShortcutEntry{std::move(caption), true, ShortcutEntry::kIconUnknown, {}});
    ++checkedCount_;
    return true;
}

void ShortcutListModel::SetChecked(std::size_t index, bool checked) {
    bool& flag = entries_.at(index).checked;
    if (flag != checked) checked ? ++checkedCount_ : --checkedCount_;
    flag = checked;
}

void ShortcutListModel::SetImageIndex(std::size_t index, int imageIndex) {
    entries_.at(index).imageIndex = imageIndex;
}

void ShortcutListModel::SetPath(std::size_t index, std::string path) {
    ShortcutEntry& entry = entries_.at(index);
    Unindex(index);
    Index(HashOf(path), index);
    entry.caption = std::move(path);
}

void ShortcutListModel::SetCaption(std::size_t index, std::string caption) {
    SetPath(index, std::move(caption));
    // The icon belongs to the old path.
    entries_[index].imageIndex = ShortcutEntry::kIconUnknown;
}

void ShortcutListModel::Clear() {
    decltype(entries_)().swap(entries_);  // gives the memory back, too
    checkedCount_ = 0;
    std::vector<Slot>().swap(slots_);
    taken_ = 0;
}

void ShortcutListModel::Unindex(std::size_t row) {
    if (slots_.empty()) return;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = HashOf(entries_[row].caption) & mask; slots_[i].row != kFree;
         i = (i + 1) & mask) {
        if (slots_[i].row == row) {
            slots_[i].row = kRemoved;
            return;
        }
    }
}

}  // namespace tsly
