#include "core/shortcut_list.h"

#include "core/cp932.h"

namespace tsly {

ShortcutListModel::ShortcutListModel()
    : fold_([](std::string_view text) { return cp932::FoldCase(text); }) {}

ShortcutListModel::ShortcutListModel(FoldFunction fold) : fold_(std::move(fold)) {}

bool ShortcutListModel::Contains(std::string_view caption) const {
    return keys_.count(fold_(caption)) != 0;
}

bool ShortcutListModel::Register(std::string caption) {
    std::string key = fold_(caption);
    auto [it, inserted] = keys_.try_emplace(std::move(key), 0);
    if (!inserted && it->second != 0) return false;
    it->second = 1;
    entries_.push_back(ShortcutEntry{std::move(caption), true,
                                     ShortcutEntry::kIconUnknown});
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
    RemoveKey(entry.caption);
    AddKey(caption);
    entry.caption = std::move(caption);
    // The icon belongs to the old path.
    entry.imageIndex = ShortcutEntry::kIconUnknown;
}

void ShortcutListModel::Clear() {
    entries_.clear();
    keys_.clear();
}

void ShortcutListModel::AddKey(std::string_view caption) {
    ++keys_[fold_(caption)];
}

void ShortcutListModel::RemoveKey(std::string_view caption) {
    auto it = keys_.find(fold_(caption));
    if (it != keys_.end() && --it->second == 0) keys_.erase(it);
}

}  // namespace tsly
