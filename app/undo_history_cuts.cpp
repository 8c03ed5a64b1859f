// The kept cuts as the history window lists them, and the one it chose.
#include <algorithm>

#include "app/journal_reading.h"
#include "app/undo_history.h"
#include "core/cut_rule.h"
#include "platform/undo_journal_file.h"

namespace tsly {

namespace {

void AddFolder(UndoHistory::Kept& kept, std::string_view path) {
    const std::string folder(PathFolder(path));
    if (std::find(kept.folders.begin(), kept.folders.end(), folder) == kept.folders.end()) {
        kept.folders.push_back(folder);
    }
}

}  // namespace

std::vector<UndoHistory::Kept> UndoHistory::Cuts(const ShortcutListModel& list) const {
    std::vector<Kept> cuts;
    for (std::size_t i = 0; i < own_.size(); ++i) {
        const Step& step = own_[i];
        Kept kept;
        kept.place = i;
        if (step.file) kept.journal = step.file->path(), kept.when = step.file->stamp();
        if (step.rowsKnown) {  // in memory: known at once
            kept.summarized = true;
            kept.renames = step.cut.journal.size();
            for (const JournalEntry& entry : step.cut.journal) {
                if (entry.row < list.Count()) AddFolder(kept, list.Caption(entry.row));
            }
        }
        cuts.push_back(std::move(kept));
    }
    for (const std::string& journal : KeptJournals()) {
        if (std::any_of(own_.begin(), own_.end(),
                        [&](const Step& s) { return s.file && s.file->path() == journal; })) {
            continue;
        }
        Kept kept;
        kept.journal = journal;
        kept.when = ParseJournalFileName(PathName(journal));
        // Held for a moment only, to tell whether another window holds it.
        kept.owner = win::UndoJournalFile::Claim(journal) ? Owner::EarlierRun : Owner::OtherWindow;
        cuts.push_back(std::move(kept));
    }
    // Newest first; a cut kept in memory alone is this window's newest.
    const auto order = [](const Kept& k) { return k.when ? JournalFileName(*k.when) : std::string("~"); };
    std::stable_sort(cuts.begin(), cuts.end(),
                     [&](const Kept& a, const Kept& b) { return order(a) > order(b); });
    return cuts;
}

std::vector<UndoRow> UndoHistory::RowsOf(Kept& cut, const ShortcutListModel& list) const {
    std::vector<UndoRow> rows;
    const std::optional<std::size_t> place = PlaceOf(cut);
    if (place && own_[*place].rowsKnown) {
        for (const JournalEntry& entry : own_[*place].cut.journal) {
            if (entry.row < list.Count()) rows.push_back(UndoRowOf(entry, list));
        }
        return rows;
    }
    cut.summarized = true;
    if (cut.journal.empty()) return rows;
    const auto renames = ReadRenames(win::ReadJournal(cut.journal));
    if (!renames) return rows;
    cut.renames = 0;
    cut.folders.clear();
    for (const JournalRename& r : *renames) {
        cut.renames += r.done;
        AddFolder(cut, r.from);
    }
    for (JournalUndo& file : FilesOfJournal(*renames, cut.journal)) {
        rows.push_back(UndoRow{std::move(file.current), std::move(file.original), file.id, file.proven});
    }
    return rows;
}

std::optional<std::size_t> UndoHistory::PlaceOf(const Kept& cut) const {
    if (cut.owner != Owner::ThisWindow || cut.place >= own_.size()) return std::nullopt;
    const Step& step = own_[cut.place];
    if (cut.journal != (step.file ? step.file->path() : std::string())) return std::nullopt;
    return cut.place;
}

std::optional<UndoHistory::Step> UndoHistory::Take(const Kept& cut, ShortcutListModel& list) {
    if (const std::optional<std::size_t> place = PlaceOf(cut)) {
        const Left left = Prepare(own_[*place], list, false);
        Step step = std::move(own_[*place]);
        own_.erase(own_.begin() + static_cast<std::ptrdiff_t>(*place));
        takenFrom_ = *place;
        if (left == Left::Rows) return step;
        return std::nullopt;
    }
    if (cut.owner != Owner::EarlierRun) return std::nullopt;
    Step step = EarlierStep(cut.journal);
    if (!step.file) return std::nullopt;  // another window took it meanwhile
    takenFrom_ = own_.size();
    if (Prepare(step, list, false) == Left::Rows) return step;
    return std::nullopt;
}

bool UndoHistory::Forget(const Kept& cut) {
    if (const std::optional<std::size_t> place = PlaceOf(cut)) {
        if (own_[*place].file) own_[*place].file->Delete();
        own_.erase(own_.begin() + static_cast<std::ptrdiff_t>(*place));
    } else if (auto file = cut.owner == Owner::EarlierRun ? win::UndoJournalFile::Claim(cut.journal, true)
                                                           : nullptr) {
        file->Delete();
    } else {
        return false;
    }
    Look();
    return true;
}

}  // namespace tsly
