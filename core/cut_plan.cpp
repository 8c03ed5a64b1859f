#include "core/cut_plan.h"

#include <algorithm>
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

const std::uint32_t* ValuesByKey::Find(std::uint64_t key) const {
    if (slots_.empty()) return nullptr;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = Home(key); slots_[i].value != kFree; i = (i + 1) & mask) {
        if (slots_[i].key == key) return &slots_[i].value;
    }
    return nullptr;
}

void ValuesByKey::Set(std::uint64_t key, std::uint32_t value) {
    // Up to seven eighths full: linear probes stay a few slots long with
    // the keys spread over the whole array, and 200,000 keys fit 2^18 slots.
    if ((used_ + 1) * 8 > slots_.size() * 7) {
        std::vector<Slot> old(std::max<std::size_t>(16, slots_.size() * 2), Slot{0, kFree});
        old.swap(slots_);
        shift_ = 64;
        for (std::size_t size = slots_.size(); size > 1; size /= 2) --shift_;
        used_ = 0;
        for (const Slot& slot : old) {
            if (slot.value != kFree) Set(slot.key, slot.value);
        }
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = Home(key);
    while (slots_[i].value != kFree && slots_[i].key != key) i = (i + 1) & mask;
    if (slots_[i].value == kFree) ++used_;
    slots_[i] = Slot{key, value};
}

// The key's top bits after a multiplication by 2^64 / golden ratio: the
// low bits of FNV-1a depend on the low bits of the bytes alone.
std::size_t ValuesByKey::Home(std::uint64_t key) const {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
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
    if (const std::uint32_t* entry = entries_.Find(key)) {
        return Now{(*entry & 1) != 0, rows_[*entry / 2].id};
    }
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
    entries_.Set(fromKey, row * 2);  // free, and whose file left
    entries_.Set(toKey, row * 2 + 1);
    return RenameResult{};
}

std::uint64_t CutPlan::IdKey(const FileId& id) {
    const std::uint64_t file = id.file;  // a copy: the member is packed
    return HashBytes(&file, sizeof file, HashBytes(&id.volume, sizeof id.volume));
}

bool CutPlan::Tried(const FileId& id) const {
    const std::uint32_t* row = files_.Find(IdKey(id));
    return row && rows_[*row].id == id;
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
        if (plan.id) files_.Set(IdKey(*plan.id), row);
    }
    const RowCut cut = CutRow(path, options_, [&](std::uint8_t, const std::string& from,
                                                  const std::string& to) {
        return Look(from, to, row);
    });
    plan.outcome = cut.outcome;
    plan.steps = cut.steps;
}

}  // namespace tsly
