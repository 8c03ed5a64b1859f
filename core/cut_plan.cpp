#include "core/cut_plan.h"

#include <utility>

namespace tsly {

std::uint64_t HashBytes(const void* bytes, std::size_t size, std::uint64_t hash) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
    return hash;
}

std::uint64_t PlanDisk::EntryKey(const std::string& path) {
    return HashBytes(path.data(), path.size());
}

CutPlan::CutPlan(const CutListSource& list, CutOptions options, PlanDisk& disk,
                 std::function<bool(std::size_t)> leave)
    : list_(list), options_(std::move(options)), disk_(disk), leave_(std::move(leave)) {
    rows_.reserve(list_.Count());
}

const RowPlan& CutPlan::Row(std::size_t row) {
    while (rows_.size() <= row) PlanNext();
    return rows_[row];
}

RowCut CutPlan::Of(std::size_t row) {
    if (row >= list_.Count()) return RowCut{};
    const RowPlan& plan = Row(row);
    return RowCut{plan.outcome, Paths(row).to, plan.steps};
}

PlannedPaths CutPlan::Paths(std::size_t row) {
    const std::uint8_t steps = Row(row).steps;
    PlannedPaths paths;
    paths.to = list_.Caption(row);
    if (steps & kFirstStep) paths.to = *FirstCutTarget(paths.to, options_);
    if (steps & kSecondStep) {
        if (steps & kFirstStep) paths.via = paths.to;
        paths.to = *SecondCutTarget(paths.to, options_);
    }
    return paths;
}

CutPlan::Now CutPlan::At(std::uint64_t key, const std::string& path, bool needId) {
    const auto it = entries_.find(key);
    if (it != entries_.end()) return Now{it->second.taken, rows_[it->second.row].id};
    if (!needId) return Now{disk_.Exists(path), std::nullopt};
    std::optional<FileId> id = disk_.Identity(path);
    const bool taken = id || disk_.Exists(path);
    return Now{taken, std::move(id)};
}

RenameResult CutPlan::Look(const std::string& from, const std::string& to, std::uint32_t row) {
    const std::uint64_t fromKey = disk_.EntryKey(from);
    if (!At(fromKey, from, false).taken) return RenameResult{RenameFailure::NotFound, 0};
    const std::uint64_t toKey = disk_.EntryKey(to);
    // A new name that differs only in case names the file itself.
    if (toKey != fromKey && At(toKey, to, false).taken) {
        return RenameResult{RenameFailure::NameTaken, 0};
    }
    entries_[fromKey] = Entry{false, row};  // free, and whose file left
    entries_[toKey] = Entry{true, row};
    return RenameResult{};
}

std::uint64_t CutPlan::IdKey(const FileId& id) {
    return HashBytes(&id.file, sizeof id.file, HashBytes(&id.volume, sizeof id.volume));
}

bool CutPlan::Tried(const FileId& id) const {
    const auto it = files_.find(IdKey(id));
    return it != files_.end() && rows_[it->second.row].id == id;
}

void CutPlan::PlanNext() {
    const auto row = static_cast<std::uint32_t>(rows_.size());
    rows_.emplace_back();
    RowPlan& plan = rows_.back();
    plan.ticked = list_.Checked(row);
    plan.left = plan.ticked && leave_ && leave_(row);
    if (!plan.ticked || plan.left) return;
    const std::string& path = list_.Caption(row);
    // A row that would rename is the only one of its file: a second path to
    // a file an earlier row moves would rename it again, or find it gone.
    if (PlanPaths(path, options_)) {
        // The file here, or the one an earlier row moved away from here.
        const Now now = At(disk_.EntryKey(path), path, true);
        if (now.id && Tried(*now.id)) {
            plan.outcome = RowOutcome{OutcomeKind::Failed, RenameFailure::SameFile, 0};
            return;
        }
        if (now.taken) plan.id = now.id;
        if (plan.id) files_.emplace(IdKey(*plan.id), Entry{true, row});
    }
    const RowCut cut = CutRow(path, options_, [&](std::uint8_t, const std::string& from,
                                                  const std::string& to) {
        return Look(from, to, row);
    });
    plan.outcome = cut.outcome;
    plan.steps = cut.steps;
}

}  // namespace tsly
