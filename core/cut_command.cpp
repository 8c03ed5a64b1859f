#include "core/cut_command.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "core/cut_plan.h"
#include "core/row_cut.h"

namespace tsly {

namespace {

struct FailureText {
    RenameFailure failure;
    const char* text;
};

constexpr FailureText kFailureTexts[] = {
    {RenameFailure::NameTaken, "同じ名前のファイルがあります"},
    {RenameFailure::NotFound, "ファイルが見つかりません"},
    {RenameFailure::InUse, "他のプログラムが使用中です"},
    {RenameFailure::AccessDenied, "アクセスが拒否されました"},
    {RenameFailure::LeavesFolder, "新しい名前がフォルダの外を指します"},
    {RenameFailure::BadCharacter, "名前に使えない文字があります"},
    {RenameFailure::ReservedName, "Windows が予約している名前です"},
    {RenameFailure::TooLong, "名前が長すぎます"},
    {RenameFailure::Replaced, "別のファイルに変わっています"},
    {RenameFailure::SameFile, "同じファイルが前の行にあります"},
    {RenameFailure::RenamedSince, "後で名前が変わっています（後の処理を先に元に戻してください）"},
    {RenameFailure::Gone, "ファイルが見つかりません（元に戻す記録から外しました）"},
    {RenameFailure::Unproven, "同じファイルか確かめられません（履歴から選ぶと名前で戻せます）"},
};

std::string FailureReason(RenameFailure failure, std::uint32_t code) {
    for (const FailureText& f : kFailureTexts) {
        if (f.failure != failure) continue;
        std::string text = f.text;
        if (failure == RenameFailure::BadCharacter && code != 0) {
            text += ": " + CharacterName(code);
        }
        return text;
    }
    return "エラー " + std::to_string(code);
}

}  // namespace

std::string CharacterName(std::uint32_t c) {
    if (c >= 0x20 && c < 0x7F) return std::string(1, static_cast<char>(c));
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

RowCut CutRow(const std::string& path, const CutOptions& options, const StepRename& rename) {
    RowCut cut;
    cut.path = path;
    auto step = [&](std::uint8_t which, std::optional<std::string> target, const NameProblem& problem) {
        RenameResult r;
        if (target) {
            r = rename(which, cut.path, *target);
            if (r.ok()) {
                cut.path = std::move(*target);
                cut.steps |= which;
                return;
            }
        } else if (problem) {
            r = RenameResult{problem.failure, problem.character};
        } else {
            return;  // the name stays
        }
        // The first failure is the one to tell; a failed rename leaves the
        // file where it was, and the second cut works on that path.
        if (cut.outcome.failure == RenameFailure::None) {
            cut.outcome.failure = r.failure;
            cut.outcome.code = r.code;
        }
    };
    NameProblem problem;
    auto first = FirstCutTarget(cut.path, options, &problem);
    step(kFirstStep, std::move(first), problem);
    auto second = SecondCutTarget(cut.path, options, &problem);
    step(kSecondStep, std::move(second), problem);

    // A rename that happened is what the row shows, whatever failed beside it.
    cut.outcome.kind = cut.steps != 0 ? OutcomeKind::Renamed
                       : cut.outcome.failure != RenameFailure::None ? OutcomeKind::Failed
                                                                   : OutcomeKind::Unchanged;
    return cut;
}

bool ReportsFailure(const RowOutcome& outcome) {
    return outcome.kind == OutcomeKind::Failed || outcome.kind == OutcomeKind::UndoFailed ||
           (outcome.kind == OutcomeKind::Renamed && outcome.failure != RenameFailure::None);
}

std::string OutcomeText(const RowOutcome& outcome, std::string_view path) {
    switch (outcome.kind) {
    case OutcomeKind::None: return std::string();
    case OutcomeKind::Renamed: {
        std::string text(PathName(path));
        if (outcome.failure != RenameFailure::None) {
            text += "（失敗: " + FailureReason(outcome.failure, outcome.code) + "）";
        }
        return text;
    }
    case OutcomeKind::Unchanged: return "変更なし";
    case OutcomeKind::Undone: return "元に戻しました";
    case OutcomeKind::Failed:
    case OutcomeKind::UndoFailed: return "失敗: " + FailureReason(outcome.failure, outcome.code);
    }
    return std::string();
}

std::optional<PlannedPaths> PlanPaths(const std::string& path, const CutOptions& options) {
    auto first = FirstCutTarget(path, options);
    auto second = SecondCutTarget(first ? *first : path, options);
    if (!first && !second) return std::nullopt;
    if (!second) return PlannedPaths{{}, std::move(*first)};
    return PlannedPaths{first ? std::move(*first) : std::string(), std::move(*second)};
}

RenameResult RenameIfStill(CutEnvironment& env, const std::optional<FileId>& id,
                           const std::string& from, const std::string& to) {
    if (id) {
        const std::optional<FileId> now = env.Identity(from);
        if (!now) return RenameResult{RenameFailure::NotFound, 0};
        if (*now != *id) return RenameResult{RenameFailure::Replaced, 0};
    }
    return env.Rename(from, to);
}

namespace {

// Carries out a row's plan: the steps planned to rename, each checked first
// against the disk; the steps planned to fail, as planned. Where the disk
// no longer agrees the row stops there with the reason, and nothing the
// plan did not give it is renamed.
RowCut CarryOut(const std::string& path, const RowPlan& plan, const CutOptions& options,
                CutEnvironment& env) {
    const RenameResult plannedFailure{plan.outcome.failure, plan.outcome.code};
    std::optional<RenameResult> stop;
    return CutRow(path, options, [&](std::uint8_t step, const std::string& from,
                                     const std::string& to) {
        if (!(plan.steps & step)) return plannedFailure;
        if (stop) return *stop;
        // The file must be the one planned, also between the two steps. A
        // name taken meanwhile the rename itself refuses.
        const RenameResult r = RenameIfStill(env, plan.id, from, to);
        if (!r.ok()) stop = r;
        return r;
    });
}

}  // namespace

CutResult RunCutCommand(CutListSource& list, CutEnvironment& env, const CutResult* previous) {
    // A settings error escapes from here, before any file is touched.
    const CutOptions options = env.ReadOptions();
    // The start-up's repeated run leaves what the first run renamed: its
    // rows, and its files where another row's path now leads to one (a row
    // whose file was gone, whose name another row's file took).
    std::vector<FileId> renamedBefore;
    if (previous) {
        for (const JournalEntry& entry : previous->journal) {
            if (entry.id) renamedBefore.push_back(*entry.id);
        }
        std::sort(renamedBefore.begin(), renamedBefore.end());
    }
    CutPlan plan(list, options, env, [&list, &env, &renamedBefore, previous](std::size_t row) {
        if (!previous) return false;
        if (list.Outcome(row).kind == OutcomeKind::Renamed) return true;
        if (renamedBefore.empty()) return false;
        const std::optional<FileId> id = env.Identity(list.Caption(row));
        return id && std::binary_search(renamedBefore.begin(), renamedBefore.end(), *id);
    });

    CutResult result;
    const std::size_t count = list.Count();
    // Room for every row at once: a journal that doubled its way up would
    // hold both copies at its last growth, at the cut's busiest moment.
    result.journal.reserve(count + (previous ? previous->journal.size() : 0));
    if (previous) {
        result.journal = previous->journal;
        result.renamed = previous->renamed;
    }
    std::size_t batchSize = kFirstJournalBatch;
    std::vector<PlannedRename> batch;
    for (std::size_t i = 0; i < count && !result.stopped;) {
        const std::size_t end = std::min(count, i + batchSize);
        batchSize = std::min(batchSize * 2, kLongestJournalBatch);
        // Each row is planned once, its tick read then; the journal keeps
        // the renames planned.
        batch.clear();
        for (std::size_t row = i; row < end; ++row) {
            const RowPlan& p = plan.Row(row);
            if (p.steps == 0) continue;
            PlannedPaths paths = plan.Paths(row);
            batch.push_back(PlannedRename{row, p.id, list.Caption(row), std::move(paths.via),
                                          std::move(paths.to)});
        }
        if (!batch.empty()) env.BeforeRenames(batch);
        std::size_t planned = 0;
        for (; i < end; ++i) {
            const RowPlan& p = plan.Row(i);
            if (!p.ticked) {
                list.SetOutcome(i, RowOutcome{});
            } else if (!p.left) {
                RowCut cut = CarryOut(list.Caption(i), p, options, env);
                if (cut.outcome.kind == OutcomeKind::Renamed) {
                    ++result.renamed;
                    env.RenameDone(planned, cut.path);
                    result.journal.push_back(
                        JournalEntry{i, std::string(PathName(list.Caption(i))), p.id});
                    list.SetPath(i, std::move(cut.path));
                } else if (cut.outcome.kind == OutcomeKind::Failed) {
                    ++result.failed;
                }
                list.SetOutcome(i, cut.outcome);
            }
            planned += p.steps != 0;
            if (!env.Continue(i + 1, count) && i + 1 < count) {
                result.stopped = true;
                // Rows the run never reached show nothing; after a repeated
                // run they keep what the first one did to them.
                for (std::size_t j = i + 1; j < count && !previous; ++j) {
                    list.SetOutcome(j, RowOutcome{});
                }
                break;
            }
        }
        if (!batch.empty()) env.AfterRenames();
    }
    env.Completed();
    return result;
}

}  // namespace tsly
