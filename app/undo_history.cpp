#include "app/undo_history.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "core/cut_rule.h"
#include "core/undo_journal.h"
#include "app/journal_reading.h"
#include "platform/file_system.h"

namespace tsly {
namespace {

// The journal's rows made rows of the list, or the rows that list them
// already.
void RowsFromJournal(UndoHistory::Step& step, ShortcutListModel& list,
                     const std::vector<JournalUndo>& files) {
    step.cut.journal.clear();
    for (const JournalUndo& undo : files) {
        std::size_t row = list.IndexOf(undo.current);
        if (row == std::string::npos) {
            row = list.Count();
            list.Register(std::string(undo.current));
        }
        step.cut.journal.push_back(
            JournalEntry{row, std::string(PathName(undo.original)), undo.id, undo.proven});
    }
    step.rowsKnown = true;
}

// What is left to undo, every rename of it done: the files are where the
// rows are.
std::string JournalOfWhatIsLeft(const CutResult& cut, const ShortcutListModel& list) {
    std::string text, done;
    std::size_t n = 0;
    for (const JournalEntry& entry : cut.journal) {
        if (entry.row >= list.Count()) continue;
        const std::string& now = list.Caption(entry.row);
        // An identity nothing proved is not written: read back it would.
        text += JournalRenameLine(JournalRename{entry.proven ? entry.id : std::nullopt,
                                                std::string(PathFolder(now)) + entry.originalName,
                                                {}, now, false, {}});
        done += JournalDoneLine(n++, now);
    }
    return text + done;
}

}  // namespace

UndoHistory::UndoHistory(std::string folder) : folder_(std::move(folder)) {}
UndoHistory::~UndoHistory() = default;

std::vector<std::string> UndoHistory::KeptJournals() const {
    std::vector<std::string> journals = win::ListJournals(folder_);
    if (journals.size() > kJournalsKept) journals.resize(kJournalsKept);
    return journals;
}

UndoHistory::Step UndoHistory::EarlierStep(const std::string& journal) {
    Step step;
    step.file = win::UndoJournalFile::Claim(journal, true);
    if (step.file) step.whose = EarlierRun(*step.file);
    step.rowsKnown = false;
    return step;
}

std::vector<JournalUndo> UndoHistory::FilesOfJournal(const std::vector<JournalRename>& renames,
                                                     const std::string& journal) const {
    std::optional<RenamedFiles> others;
    return FilesOf(renames, [&]() -> const RenamedFiles& {
        if (!others) others = RenamedByOthers(journal);
        return *others;
    });
}

void UndoHistory::Look() {
    onDisk_ = false;
    for (const std::string& journal : KeptJournals()) {
        auto file = win::UndoJournalFile::Claim(journal);
        if (!file) continue;  // a running window's
        // The first line tells; the rest is read when it is undone.
        if (LooksLikeJournal(file->Read(64))) {
            onDisk_ = true;
        } else if (file->SetAside()) {
            // Told only when it happened: one that stays is told of again
            // when it can be moved.
            setAside_.push_back(journal + ".bad");
        }
    }
}

std::vector<std::string> UndoHistory::LookAtDisk() {
    Look();
    return std::exchange(setAside_, {});
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

RenamedFiles UndoHistory::RenamedByOthers(const std::string& journal) const {
    // Only cuts after this one: it planned its renames from the names the
    // earlier ones had left.
    std::vector<std::string> newer = win::ListJournals(folder_);
    newer.erase(std::find(newer.begin(), newer.end(), journal), newer.end());
    RenamedFiles renamed;
    for (const Step& step : own_) {
        // Those with a journal are read from it below, with their paths.
        if (step.file) continue;
        for (const JournalEntry& entry : step.cut.journal) {
            if (entry.id) renamed.emplace_back(*entry.id, std::string());
        }
    }
    for (const std::string& path : newer) {
        const auto renames = ParseJournal(win::ReadJournal(path));
        for (const JournalRename& r : renames.value_or(std::vector<JournalRename>{})) {
            if (r.done && r.id) renamed.emplace_back(*r.id, r.from);
        }
    }
    std::sort(renamed.begin(), renamed.end());
    return renamed;
}

UndoHistory::Left UndoHistory::Prepare(Step& step, ShortcutListModel& list, bool ctrlZ) {
    const auto proven = [](const auto& rows) {
        return std::any_of(rows.begin(), rows.end(), [](const auto& row) { return row.proven; });
    };
    if (step.rowsKnown && !step.cut.journal.empty()) {
        return ctrlZ && !proven(step.cut.journal) ? Left::OnlyUnproven : Left::Rows;
    }
    if (!step.file) return Left::Nothing;
    std::optional<std::vector<JournalRename>> renames;
    if (!step.rowsKnown) {
        renames = ReadRenames(step.file->Read());
        if (!renames) {
            // Another program's file, or one no cut wrote: set aside, never
            // deleted.
            if (step.file->SetAside()) setAside_.push_back(step.file->path() + ".bad");
            return Left::Nothing;
        }
    }
    const std::vector<JournalUndo> files =
        renames ? FilesOfJournal(*renames, step.file->path()) : std::vector<JournalUndo>();
    if (files.empty()) {  // every file is back
        step.file->Delete();
        return Left::Nothing;
    }
    if (ctrlZ && !proven(files)) return Left::OnlyUnproven;
    RowsFromJournal(step, list, files);
    return Left::Rows;
}

std::optional<UndoHistory::Step> UndoHistory::BeginUndo(ShortcutListModel& list) {
    for (std::size_t i = own_.size(); i > 0; --i) {
        const Left left = Prepare(own_[i - 1], list, true);
        if (left == Left::OnlyUnproven) continue;  // the history's to undo
        Step step = std::move(own_[i - 1]);
        own_.erase(own_.begin() + static_cast<std::ptrdiff_t>(i - 1));
        takenFrom_ = i - 1;
        if (left == Left::Rows) return step;
    }
    takenFrom_ = own_.size();
    for (const std::string& journal : KeptJournals()) {
        Step step = EarlierStep(journal);
        if (step.file && Prepare(step, list, true) == Left::Rows) return step;
    }
    onDisk_ = false;
    return std::nullopt;
}

void UndoHistory::EndUndo(Step step, const ShortcutListModel& list) {
    if (step.cut.journal.empty()) {
        if (step.file) step.file->Delete();
    } else {
        // Rows left: a journal of them replaces the cut's, so that what was
        // put back is not undone twice, and the next undo here takes them
        // before any older cut.
        if (step.file) {
            if (auto left = win::UndoJournalFile::CreateNew(folder_, step.file->stamp())) {
                left->Append(JournalOfWhatIsLeft(step.cut, list), true);
                step.file->Delete();
                step.file = std::move(left);
            }
        }
        own_.insert(own_.begin() + static_cast<std::ptrdiff_t>(std::min(takenFrom_, own_.size())),
                    std::move(step));
    }
    Look();
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
