#include "core/cut_preview.h"

namespace tsly {

std::string PreviewText(const RowCut& preview) {
    const RowOutcome& o = preview.outcome;
    switch (o.kind) {
    case OutcomeKind::Renamed: {
        // The outcome's text, with the arrow of a name still to come.
        return "→ " + OutcomeText(o, preview.path);
    }
    case OutcomeKind::Unchanged: return OutcomeText(o, preview.path);
    case OutcomeKind::Failed: {
        const std::string text = OutcomeText(o, preview.path);
        constexpr std::string_view kFailed = "失敗: ";
        return text.rfind(kFailed, 0) == 0 ? text.substr(kFailed.size()) : text;
    }
    default: return std::string();
    }
}

CutPreview::CutPreview(const ShortcutListModel& list, Exists exists)
    : list_(list), exists_(std::move(exists)) {}

void CutPreview::SetOptions(CutOptions options) {
    options_ = std::move(options);
    Invalidate();
}

std::optional<std::string> CutPreview::FinalTarget(std::size_t row) const {
    auto paths = PlanPaths(list_.Caption(row), options_);
    if (!paths) return std::nullopt;
    return std::move(paths->to);
}

void CutPreview::ClaimUpTo(std::size_t row) {
    for (; claimedRows_ < row && claimedRows_ < list_.Count(); ++claimedRows_) {
        if (auto target = FinalTarget(claimedRows_)) {
            claims_.emplace(list_.FoldedHash(*target), static_cast<std::uint32_t>(claimedRows_));
        }
    }
}

bool CutPreview::ClaimedBefore(const std::string& path, std::size_t row) {
    ClaimUpTo(row);
    const auto [first, last] = claims_.equal_range(list_.FoldedHash(path));
    for (auto it = first; it != last; ++it) {
        if (it->second >= row || !list_.Checked(it->second)) continue;
        const auto target = FinalTarget(it->second);
        if (target && list_.EqualFolded(*target, path)) return true;
    }
    return false;
}

bool CutPreview::MovesAwayBefore(const std::string& path, std::size_t row) {
    const std::size_t owner = list_.IndexOf(path);
    if (owner >= row || !list_.Checked(owner)) return false;
    const auto target = FinalTarget(owner);
    return target && !ClaimedBefore(*target, owner);
}

RowCut CutPreview::Of(std::size_t row) {
    if (row >= list_.Count() || !list_.Checked(row)) return RowCut{};
    const std::string& caption = list_.Caption(row);
    const auto look = [&](const std::string& from, const std::string& to) {
        // A file that is gone cannot be renamed (only the listed path is on
        // disk yet; a second step starts from the first one's new name).
        if (from == caption && !exists_(from)) return RenameResult{RenameFailure::NotFound, 0};
        const bool taken = ClaimedBefore(to, row) ||
                           (!list_.EqualFolded(from, to) && exists_(to) && !MovesAwayBefore(to, row));
        return taken ? RenameResult{RenameFailure::NameTaken, 0} : RenameResult{};
    };
    return CutRow(caption, options_, look);
}

}  // namespace tsly
