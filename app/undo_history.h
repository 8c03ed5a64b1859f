// The undo: which cuts can be put back, newest first, in memory and on
// disk. Each cut that renames something keeps its own journal, held by
// this window until it closes; after a restart or a crash, the window
// takes the newest journal no running window holds. The main window asks
// whether there is something to undo, hands it a cut's renames as they
// happen, and asks it for the next cut to undo.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/cut_command.h"
#include "core/shortcut_list.h"
#include "platform/undo_journal_file.h"

namespace tsly {

class UndoHistory {
public:
    // `folder`: where the journals live; empty keeps the history in memory.
    explicit UndoHistory(std::string folder);
    ~UndoHistory();

    bool Available() const { return !own_.empty() || onDisk_; }
    // Looks again for journals of earlier runs and of windows since closed.
    // Those that are no journal at all are set aside as "<name>.bad"; their
    // new paths are returned, to be told once.
    std::vector<std::string> LookAtDisk();

    // A cut. `goOn`: the start-up's second run, one cut with the first;
    // returns that first one, for the cut to go on with.
    const CutResult* BeginCut(bool goOn);
    // The cut's journal hooks (see CutEnvironment).
    void Planned(const std::vector<PlannedRename>& batch);
    void Renamed(std::size_t index, const std::string& now);
    void BatchDone();
    // The cut is over. One that renamed nothing leaves no journal and
    // takes none away.
    void EndCut(CutResult result);

    // The next cut to undo: this window's last, else the newest journal on
    // disk that no running window holds, its files found again by their
    // identities and made rows of `list` where it lists them not. `whose`
    // is empty for this window's cuts and otherwise names the earlier run.
    struct Step {
        CutResult cut;
        std::string whose;
        std::unique_ptr<win::UndoJournalFile> file;
        bool rowsKnown = true;  // cut.journal's rows are the list's
    };
    std::optional<Step> BeginUndo(ShortcutListModel& list);
    // The undo ran: a finished one deletes its journal, a stopped one keeps
    // what is left to undo (and a new journal of it).
    void EndUndo(Step step, const ShortcutListModel& list);

    // The list's rows are gone: the cuts are found again from their
    // journals when undone.
    void RowsCleared();
    // The settings are being deleted: this window's journals go, and no
    // new ones are written; the undo goes on in memory.
    void StopJournals();

private:
    // The files that the cuts after `journal`'s renamed, by their journals
    // and this window's memory.
    std::vector<FileId> RenamedByOthers(const std::string& journal) const;
    // The journal the running cut writes to: its own, or the first run's.
    win::UndoJournalFile* Writing() const;

    std::vector<Step> own_;  // oldest first
    std::string folder_;
    bool onDisk_ = false;  // a journal on disk that no window holds
    // The running cut.
    std::unique_ptr<win::UndoJournalFile> writing_;
    bool goingOn_ = false;
    std::size_t base_ = 0;
    std::string done_;
};

}  // namespace tsly
