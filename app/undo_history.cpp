#include "app/undo_history.h"

#include <algorithm>
#include <functional>

#include "core/cut_rule.h"
#include "core/undo_journal.h"
#include "platform/file_system.h"

namespace tsly {
namespace {

// A journal's renames as rows to undo: each file it finds again by its
// identity becomes a row of the list, or is the row that lists it already.
// `others`: the files the other cuts' journals say they renamed.
bool RowsFromJournal(UndoHistory::Step& step, ShortcutListModel& list,
                     const std::function<const std::vector<FileId>&()>& others) {
    const auto renames = ParseJournal(step.file->Read());
    if (!renames) return false;
    win::FileIdentities ids;  // as the cut took them
    step.cut.journal.clear();
    for (JournalUndo& undo : FindJournalFiles(
             *renames, [&ids](const std::string& path) { return ids.Of(path); },
             [&others](const FileId& id) {
                 return std::binary_search(others().begin(), others().end(), id);
             })) {
        std::size_t row = list.IndexOf(undo.current);
        if (row == std::string::npos) {
            row = list.Count();
            list.Register(std::string(undo.current));
        }
        step.cut.journal.push_back(
            JournalEntry{row, std::string(SplitPath(undo.original)->name), undo.id});
    }
    step.rowsKnown = true;
    return !step.cut.journal.empty();
}

// What is left to undo, every rename of it done: the files are where the
// rows are.
std::string JournalOfWhatIsLeft(const CutResult& cut, const ShortcutListModel& list) {
    std::string text, done;
    std::size_t n = 0;
    for (const JournalEntry& entry : cut.journal) {
        if (entry.row >= list.Count()) continue;
        const std::string& now = list.Caption(entry.row);
        text += JournalRenameLine(JournalRename{
            entry.id, std::string(SplitPath(now)->folder) + entry.originalName, {}, now, false, {}});
        done += JournalDoneLine(n++, now);
    }
    return text + done;
}

std::string EarlierRun(const win::UndoJournalFile& file) {
    const JournalStamp& s = file.stamp();
    return EarlierRunUndoneText(s.month, s.day, s.hour, s.minute);
}

}  // namespace

UndoHistory::UndoHistory(std::string folder) : folder_(std::move(folder)) {}
UndoHistory::~UndoHistory() = default;

std::vector<std::string> UndoHistory::LookAtDisk() {
    std::vector<std::string> setAside;
    onDisk_ = false;
    for (const std::string& path : win::ListJournals(folder_)) {
        auto file = win::UndoJournalFile::Claim(path);
        if (!file) continue;  // a running window's
        // The first line tells; the rest is read when it is undone.
        if (LooksLikeJournal(file->Read(64))) {
            onDisk_ = true;
        } else {
            // Told only when it happened: one that stays is told of again
            // when it can be moved.
            if (file->SetAside()) setAside.push_back(path + ".bad");
        }
    }
    return setAside;
}

const CutResult* UndoHistory::BeginCut(bool goOn) {
    done_.clear();
    writing_.reset();
    goingOn_ = goOn && !own_.empty() && own_.back().whose.empty();
    return goingOn_ ? &own_.back().cut : nullptr;
}

void UndoHistory::Planned(const std::vector<PlannedRename>& batch) {
    if (!goingOn_ && !writing_) writing_ = win::UndoJournalFile::CreateNew(folder_);
    win::UndoJournalFile* file = Writing();
    // Without a journal on disk the undo still works from memory.
    if (!file) return;
    std::string text;
    for (const PlannedRename& p : batch) {
        text += JournalRenameLine(JournalRename{p.id, p.from, p.via, p.to, false, {}});
    }
    base_ = file->renames;
    file->renames += batch.size();
    // Flushed before the renames: a journal that reached the disk after
    // them would miss them, which only a power cut shows; no test does.
    file->Append(text, true);
}

win::UndoJournalFile* UndoHistory::Writing() const {
    return goingOn_ ? own_.back().file.get() : writing_.get();
}

void UndoHistory::Renamed(std::size_t index, const std::string& now) {
    done_ += JournalDoneLine(base_ + index, now);
}

void UndoHistory::BatchDone() {
    if (win::UndoJournalFile* file = Writing()) file->Append(done_, false);
    done_.clear();
}

void UndoHistory::EndCut(CutResult result) {
    result.journal.shrink_to_fit();  // the cut made room for every row
    if (goingOn_) {
        own_.back().cut = std::move(result);
        return;
    }
    if (result.journal.empty()) {
        if (writing_) writing_->Delete();
        return;
    }
    own_.push_back(Step{std::move(result), {}, std::move(writing_), true});
    if (own_.size() > kJournalsKept) {
        if (own_.front().file) own_.front().file->Delete();
        own_.erase(own_.begin());
    }
    // The folder keeps the newest journals; those a running window holds
    // stay whatever their age.
    const std::vector<std::string> journals = win::ListJournals(folder_);
    for (std::size_t i = kJournalsKept; i < journals.size(); ++i) {
        if (auto old = win::UndoJournalFile::Claim(journals[i])) old->Delete();
    }
}

std::vector<FileId> UndoHistory::RenamedByOthers(const std::string& journal) const {
    // Only cuts after this one: it planned its renames from the names the
    // earlier ones had left.
    std::vector<std::string> newer = win::ListJournals(folder_);
    newer.erase(std::find(newer.begin(), newer.end(), journal), newer.end());
    std::vector<FileId> renamed;
    for (const Step& step : own_) {
        if (step.file && std::find(newer.begin(), newer.end(), step.file->path()) == newer.end()) continue;
        for (const JournalEntry& entry : step.cut.journal) {
            if (entry.id) renamed.push_back(*entry.id);
        }
    }
    for (const std::string& path : newer) {
        const auto renames = ParseJournal(win::ReadJournal(path));
        for (const JournalRename& r : renames.value_or(std::vector<JournalRename>{})) {
            if (r.done && r.id) renamed.push_back(*r.id);
        }
    }
    std::sort(renamed.begin(), renamed.end());
    return renamed;
}

std::optional<UndoHistory::Step> UndoHistory::BeginUndo(ShortcutListModel& list) {
    // Read only when a rename may never have happened: the other journals
    // tell whether another cut renamed its file instead.
    std::optional<std::vector<FileId>> others;
    std::string undoing;
    const auto renamedByOthers = [&]() -> const std::vector<FileId>& {
        if (!others) others = RenamedByOthers(undoing);
        return *others;
    };
    // Whether the step has something left to undo; one that has not goes.
    const auto leftToUndo = [&](Step& step) {
        undoing = step.file ? step.file->path() : std::string();
        others.reset();
        if (step.rowsKnown || (step.file && RowsFromJournal(step, list, renamedByOthers))) return true;
        if (step.file) step.file->Delete();
        return false;
    };
    while (!own_.empty()) {
        Step step = std::move(own_.back());
        own_.pop_back();
        if (leftToUndo(step)) return step;
    }
    for (const std::string& path : win::ListJournals(folder_)) {
        Step step;
        step.file = win::UndoJournalFile::Claim(path, true);
        if (!step.file) continue;
        // Another program's file is set aside, never deleted.
        if (!LooksLikeJournal(step.file->Read(64))) {
            step.file->SetAside();
            continue;
        }
        step.whose = EarlierRun(*step.file);
        step.rowsKnown = false;
        if (leftToUndo(step)) return step;
    }
    onDisk_ = false;
    return std::nullopt;
}

void UndoHistory::EndUndo(Step step, const ShortcutListModel& list) {
    if (step.cut.journal.empty()) {
        if (step.file) step.file->Delete();
    } else {
        // Stopped: a journal of what is left replaces the cut's, so that
        // what was put back is not undone twice.
        if (step.file) {
            if (auto left = win::UndoJournalFile::CreateNew(folder_, step.file->stamp())) {
                left->Append(JournalOfWhatIsLeft(step.cut, list), true);
                step.file->Delete();
                step.file = std::move(left);
            }
        }
        own_.push_back(std::move(step));
    }
    LookAtDisk();
}

void UndoHistory::RowsCleared() {
    std::vector<Step> kept;
    for (Step& step : own_) {
        step.rowsKnown = false;
        // One without a journal cannot be found again.
        if (step.file) kept.push_back(std::move(step));
    }
    own_ = std::move(kept);
}

void UndoHistory::StopJournals() {
    for (Step& step : own_) {
        if (step.file) step.file->Delete();
        step.file.reset();
    }
    if (writing_) writing_->Delete();
    writing_.reset();
    folder_.clear();
    onDisk_ = false;
}

}  // namespace tsly
