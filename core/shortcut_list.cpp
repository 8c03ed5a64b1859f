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

bool ShortcutListModel::SameFolded(std::string_view a, std::string_view b) const {
    ++probes_;
    std::u16string wa, wb;
    utf8::AppendUtf16(a, wa);
    utf8::AppendUtf16(b, wb);
    if (wa.size() != wb.size()) return false;
    for (std::size_t i = 0; i < wa.size(); ++i) {
        if (upper_[wa[i]] != upper_[wb[i]]) return false;
    }
    return true;
}

std::size_t ShortcutListModel::Find(std::string_view caption, std::size_t hash) const {
    const auto [first, last] = index_.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        if (SameFolded(entries_[it->second].caption, caption)) return it->second;
    }
    return std::string::npos;
}

bool ShortcutListModel::Contains(std::string_view caption) const {
    return Find(caption, HashOf(caption)) != std::string::npos;
}

bool ShortcutListModel::Register(std::string&& caption) {
    const std::size_t hash = HashOf(caption);
    if (Find(caption, hash) != std::string::npos) return false;
    index_.emplace(hash, entries_.size());
    entries_.push_back(ShortcutEntry{std::move(caption), true, ShortcutEntry::kIconUnknown, {}});
    return true;
}

void ShortcutListModel::SetChecked(std::size_t index, bool checked) {
    entries_.at(index).checked = checked;
}

void ShortcutListModel::SetImageIndex(std::size_t index, int imageIndex) {
    entries_.at(index).imageIndex = imageIndex;
}

void ShortcutListModel::SetCaption(std::size_t index, std::string caption) {
    ShortcutEntry& entry = entries_.at(index);
    Unindex(index);
    index_.emplace(HashOf(caption), index);
    entry.caption = std::move(caption);
    // The icon belongs to the old path.
    entry.imageIndex = ShortcutEntry::kIconUnknown;
}

void ShortcutListModel::Clear() {
    entries_.clear();
    entries_.shrink_to_fit();
    index_.clear();
    index_.rehash(0);
}

void ShortcutListModel::Unindex(std::size_t index) {
    const auto [first, last] = index_.equal_range(HashOf(entries_[index].caption));
    for (auto it = first; it != last; ++it) {
        if (it->second == index) {
            index_.erase(it);
            return;
        }
    }
}

}  // namespace tsly
