#include "core/undo_plan.h"

#include <utility>

#include "core/cut_rule.h"

namespace tsly {
namespace {

RenameFailure FailureOf(UndoAction action) {
    switch (action) {
    case UndoAction::Gone: return RenameFailure::Gone;
    case UndoAction::RenamedSince: return RenameFailure::RenamedSince;
    case UndoAction::NameTaken: return RenameFailure::NameTaken;
    case UndoAction::Unproven: return RenameFailure::Unproven;
    default: return RenameFailure::None;
    }
}

}  // namespace

UndoAction PlanUndoRow(const UndoRow& row, PlanDisk& disk, bool chosen) {
    if (!row.proven && !chosen) return UndoAction::Unproven;
    // The old name is free when nothing has it, or only the file itself
    // (a name that differs in letter case alone).
    const auto nameTaken = [&] {
        return disk.EntryKey(row.current) != disk.EntryKey(row.original) && disk.Exists(row.original);
    };
    if (!row.id) {  // the names are all there is to go by
        if (disk.Exists(row.current)) return nameTaken() ? UndoAction::NameTaken : UndoAction::PutBack;
        return disk.Exists(row.original) ? UndoAction::AlreadyBack : UndoAction::Gone;
    }
    // The listing answers for a name that is not there; only a file that is
    // there is asked for its identity.
    if (disk.Exists(row.original) && disk.Identity(row.original) == row.id) return UndoAction::AlreadyBack;
    if (disk.Identity(row.current) == row.id) {
        return nameTaken() ? UndoAction::NameTaken : UndoAction::PutBack;
    }
    // A file is renamed within its folder: one that is nowhere in it is gone.
    return disk.MayHold(std::string(PathFolder(row.current)), *row.id) ? UndoAction::RenamedSince
                                                                     : UndoAction::Gone;
}

bool UndoKeepsRow(UndoAction action) {
    return action == UndoAction::RenamedSince || action == UndoAction::NameTaken ||
           action == UndoAction::Unproven;
}

std::string UndoPlanText(UndoAction action, const UndoRow& row) {
    switch (action) {
    case UndoAction::PutBack: return "→ " + std::string(PathName(row.original));
    case UndoAction::AlreadyBack: return "元の名前に戻っています";
    case UndoAction::Gone: return "ファイルがありません（記録から外します）";
    case UndoAction::RenamedSince: return "後で名前が変わっています（後の処理を先に元に戻すと戻せます）";
    case UndoAction::NameTaken: return "元の名前のファイルがあります";
    case UndoAction::Unproven: return "同じファイルか確かめられません";
    }
    return std::string();
}

std::optional<FileId> UndoForecast::Overlay::Identity(const std::string& path) {
    const auto it = entries_.find(disk_.EntryKey(path));
    return it != entries_.end() ? it->second.id : disk_.Identity(path);
}

bool UndoForecast::Overlay::Exists(const std::string& path) {
    const auto it = entries_.find(disk_.EntryKey(path));
    return it != entries_.end() ? it->second.present : disk_.Exists(path);
}

bool UndoForecast::Overlay::MayHold(const std::string& folder, const FileId& id) {
    // A file is put back in its own folder.
    return moved_.count(id) != 0 || disk_.MayHold(folder, id);
}

void UndoForecast::Overlay::Move(const UndoRow& row) {
    entries_[disk_.EntryKey(row.current)] = Entry{false, std::nullopt};
    entries_[disk_.EntryKey(row.original)] = Entry{true, row.id};
    if (row.id) moved_.insert(*row.id);
}

UndoAction UndoForecast::Next(const UndoRow& row) {
    const UndoAction action = Plan(row);
    if (action == UndoAction::PutBack) PutBack(row);
    return action;
}

std::string UndoEndText(const UndoResult& result, std::string_view allBack) {
    if (result.failed == 0) return std::string(allBack);
    std::string text = result.undone == 0 ? "元に戻せませんでした" : "一部のファイルを元に戻せませんでした";
    if (result.waiting != 0) {
        text += "（" + std::to_string(result.waiting) + " 件は、もう一度「元に戻す」で再試行します）";
    }
    return text + "。";
}

UndoRow UndoRowOf(const JournalEntry& entry, const CutListSource& list) {
    UndoRow row{list.Caption(entry.row), std::string(PathFolder(list.Caption(entry.row))), entry.id,
                entry.proven};
    row.original += entry.originalName;
    return row;
}

UndoResult UndoCut(CutListSource& list, CutEnvironment& env, CutResult& last, bool chosen) {
    UndoResult result;
    UndoForecast forecast(env, chosen);
    std::vector<JournalEntry> kept;  // last renamed first
    const std::size_t total = last.journal.size();
    std::size_t done = 0;
    while (!last.journal.empty()) {
        JournalEntry entry = std::move(last.journal.back());
        last.journal.pop_back();
        if (entry.row < list.Count()) {
            UndoRow row = UndoRowOf(entry, list);
            const UndoAction action = forecast.Plan(row);
            RowOutcome outcome{OutcomeKind::UndoFailed, FailureOf(action), 0};
            bool keep = UndoKeepsRow(action);
            if (action == UndoAction::PutBack) {
                // Only the file the cut renamed goes back, never one that
                // took its name since; one that cannot go now is tried again.
                const RenameResult r = RenameIfStill(env, entry.id, row.current, row.original);
                outcome = r.ok() ? RowOutcome{OutcomeKind::Undone} : RowOutcome{OutcomeKind::UndoFailed, r.failure, r.code};
                keep = !r.ok();
                if (r.ok()) forecast.PutBack(row);
            } else if (action == UndoAction::AlreadyBack) {
                outcome = RowOutcome{OutcomeKind::Undone};
            }
            if (outcome.kind == OutcomeKind::Undone) {
                list.SetPath(entry.row, std::move(row.original));
                result.undone += action == UndoAction::PutBack;
            } else {
                ++result.failed;
            }
            // Rows without proof wait for the history, not for the next Ctrl+Z.
            result.waiting += keep && action != UndoAction::Unproven;
            list.SetOutcome(entry.row, outcome);
            if (keep) kept.push_back(std::move(entry));
        }
        if (!env.Continue(++done, total) && !last.journal.empty()) {
            result.stopped = true;
            break;
        }
    }
    last.journal.insert(last.journal.end(), std::make_move_iterator(kept.rbegin()),
                        std::make_move_iterator(kept.rend()));
    env.Completed();
    return result;
}

}  // namespace tsly
