#include "core/shortcut_list.h"

namespace tsly {
namespace {

std::size_t HashOf(const std::string& key) { return std::hash<std::string>{}(key); }

}  // namespace

ShortcutListModel::ShortcutListModel(FoldFunction fold) : fold_(std::move(fold)) {}

std::size_t ShortcutListModel::Find(const std::string& key, std::size_t hash) const {
    const auto [first, last] = index_.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        if (fold_(entries_[it->second].caption) == key) return it->second;
    }
    return std::string::npos;
}

bool ShortcutListModel::Contains(std::string_view caption) const {
    const std::string key = fold_(caption);
    return Find(key, HashOf(key)) != std::string::npos;
}

bool ShortcutListModel::Register(std::string caption) {
    const std::string key = fold_(caption);
    const std::size_t hash = HashOf(key);
    if (Find(key, hash) != std::string::npos) return false;
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
    index_.emplace(HashOf(fold_(caption)), index);
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
    const auto [first, last] = index_.equal_range(HashOf(fold_(entries_[index].caption)));
    for (auto it = first; it != last; ++it) {
        if (it->second == index) {
            index_.erase(it);
            return;
        }
    }
}

}  // namespace tsly
