#include "core/cut_command.h"

#include <utility>

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
};

std::string FailureReason(const RowOutcome& outcome) {
    for (const FailureText& f : kFailureTexts) {
        if (f.failure == outcome.failure) return f.text;
    }
    return "エラー " + std::to_string(outcome.code);
}

std::string NameOf(const std::string& path) {
    const auto parts = SplitPath(path);
    return parts ? std::string(parts->name) : path;
}

// One row's way through both cuts.
struct RowRun {
    RowOutcome outcome;
    bool renamed = false;
};

RowRun CutRow(std::size_t row, const std::string& caption, const CutOptions& options,
              CutEnvironment& env, std::vector<JournalEntry>& journal) {
    RowRun run;
    auto fail = [&run](const RenameResult& r) {
        run.outcome.kind = OutcomeKind::Failed;
        run.outcome.failure = r.failure;
        run.outcome.code = r.code;
    };
    auto rename = [&](const std::string& from, std::string to) {
        const RenameResult r = env.Rename(from, to);
        if (!r.ok()) {
            fail(r);
            return false;
        }
        journal.push_back(JournalEntry{row, from, to});
        run.renamed = true;
        return true;
    };

    std::string current = caption;
    bool leaves = false;
    if (auto target = FirstCutTarget(caption, options, &leaves)) {
        // A failed rename leaves the file where it was; the second cut
        // then works on that old path.
        if (rename(caption, *target)) current = std::move(*target);
    } else if (leaves) {
        fail(RenameResult{RenameFailure::LeavesFolder, 0});
    }
    leaves = false;
    if (auto target = SecondCutTarget(current, options, &leaves)) {
        if (rename(current, *target)) current = std::move(*target);
    } else if (leaves) {
        fail(RenameResult{RenameFailure::LeavesFolder, 0});
    }

    if (run.outcome.kind != OutcomeKind::Failed) {
        run.outcome.kind = run.renamed ? OutcomeKind::Renamed : OutcomeKind::Unchanged;
        if (run.renamed) run.outcome.newName = NameOf(current);
    }
    return run;
}

}  // namespace

std::string OutcomeText(const RowOutcome& outcome) {
    switch (outcome.kind) {
    case OutcomeKind::None: return std::string();
    case OutcomeKind::Renamed: return outcome.newName;
    case OutcomeKind::Unchanged: return "変更なし";
    case OutcomeKind::Undone: return "元に戻しました";
    case OutcomeKind::Failed:
    case OutcomeKind::UndoFailed: return "失敗: " + FailureReason(outcome);
    }
    return std::string();
}

CutResult RunCutCommand(CutListSource& list, CutEnvironment& env, const CutResult* previous) {
    // A settings error escapes from here, before any file is touched.
    const CutOptions options = env.ReadOptions();

    CutResult result;
    if (previous) result.journal = previous->journal;
    const std::size_t count = list.Count();
    for (std::size_t i = 0; i < count; ++i) {
        if (!list.Checked(i)) {
            if (!previous) list.SetOutcome(i, RowOutcome{});
        } else {
            RowRun run = CutRow(i, list.Caption(i), options, env, result.journal);
            // The repeated start-up run finds the files it renamed gone:
            // what the first run did is what the row shows.
            const bool keepFirst = previous && !run.renamed &&
                                   list.Outcome(i).kind == OutcomeKind::Renamed;
            if (!keepFirst) {
                if (run.outcome.kind == OutcomeKind::Renamed) ++result.renamed;
                if (run.outcome.kind == OutcomeKind::Failed) ++result.failed;
                list.SetOutcome(i, std::move(run.outcome));
            }
        }
        if (!env.Continue(i + 1, count)) {
            result.stopped = i + 1 < count;
            if (result.stopped) {
                // Rows the run never reached show nothing.
                for (std::size_t j = i + 1; j < count && !previous; ++j) {
                    list.SetOutcome(j, RowOutcome{});
                }
                break;
            }
        }
    }
    if (previous) {
        result.renamed = previous->renamed;
        result.failed = previous->failed;
    }
    env.Completed();
    return result;
}

UndoResult UndoCut(CutListSource& list, CutEnvironment& env, CutResult& last) {
    UndoResult result;
    const std::size_t total = last.journal.size();
    std::size_t done = 0;
    while (!last.journal.empty()) {
        const JournalEntry entry = std::move(last.journal.back());
        last.journal.pop_back();
        const RenameResult r = env.Rename(entry.to, entry.from);
        // A row cut twice is undone in two steps; the first failure stays.
        if (entry.row < list.Count() && list.Outcome(entry.row).kind != OutcomeKind::UndoFailed) {
            list.SetOutcome(entry.row,
                            RowOutcome{r.ok() ? OutcomeKind::Undone : OutcomeKind::UndoFailed,
                                       r.failure, r.code, {}});
        }
        ++(r.ok() ? result.undone : result.failed);
        if (!env.Continue(++done, total) && !last.journal.empty()) {
            result.stopped = true;
            break;
        }
    }
    env.Completed();
    return result;
}

}  // namespace tsly
