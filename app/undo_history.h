// The undo: which cuts can be put back, newest first, in memory and on
// disk. Each cut that renames something keeps its own journal, held by
// this window until it closes; after a restart or a crash, the window
// takes the newest journal no running window holds. The main window asks
// whether there is something to undo, hands it a cut's renames as they
// happen, and asks it for the next cut to undo; the history window asks it
// for every kept cut, and for the one the user chose.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/journal_reading.h"
#include "core/cut_command.h"
#include "core/shortcut_list.h"
#include "core/undo_plan.h"
#include "platform/undo_journal_file.h"

namespace tsly {

class UndoHistory {
public:
    // `folder`: where the journals live; empty keeps the history in memory.
    explicit UndoHistory(std::string folder);
    ~UndoHistory();

    bool Available() const { return !own_.empty() || onDisk_; }
    // Looks again for journals of earlier runs and of windows since closed.
    // Those that are no journal at all, or that hold no line the program
    // would write, are set aside as "<name>.bad" (here or when undone);
    // their new paths are returned, each once.
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
    // Ctrl+Z takes only cuts with a row whose file its identity proves.
    std::optional<Step> BeginUndo(ShortcutListModel& list);
    // The undo ran: one that put everything back deletes its journal; one
    // that was stopped or left rows keeps them (in a new journal of what is
    // left), and the next undo in this window takes them first.
    void EndUndo(Step step, const ShortcutListModel& list);

    // A kept cut as the history window lists it.
    enum class Owner : std::uint8_t { ThisWindow, EarlierRun, OtherWindow };
    struct Kept {
        std::string journal;    // its file; empty for one kept in memory alone
        std::size_t place = 0;  // for those: which of this window's
        Owner owner = Owner::ThisWindow;
        std::optional<JournalStamp> when;
        // What it did, known once its journal was read (RowsOf).
        bool summarized = false;
        std::size_t renames = 0;     // renames it made
        std::vector<std::string> folders;  // where, without repeats
    };
    // Every kept cut, newest first: this window's, and the newest journals
    // on disk, the ones other running windows hold among them. Journals are
    // not read here: a history of ten long cuts opens at once.
    std::vector<Kept> Cuts(const ShortcutListModel& list) const;
    // Its rows as an undo would find them now, in cut order; summarizes it.
    std::vector<UndoRow> RowsOf(Kept& cut, const ShortcutListModel& list) const;
    // The chosen cut for its undo, any of them but another window's; its
    // rows become rows of `list` where it lists them not.
    std::optional<Step> Take(const Kept& cut, ShortcutListModel& list);
    // Forgets a cut: its journal goes. False when it is another window's.
    bool Forget(const Kept& cut);

    // The list's rows are gone: the cuts are found again from their
    // journals when undone.
    void RowsCleared();
    // The settings are being deleted: this window's journals go, and no
    // new ones are written; the undo goes on in memory.
    void StopJournals();

private:
    // The files that the cuts after `journal`'s renamed, by their journals
    // and this window's memory.
    RenamedFiles RenamedByOthers(const std::string& journal) const;
    // The journal the running cut writes to: its own, or the first run's.
    win::UndoJournalFile* Writing() const;

    // What the step has left to undo, its rows read from its journal when
    // needed (and made rows of `list` when it is to be undone). One with
    // nothing left has gone: its journal deleted, or set aside when no line
    // of it could be taken. `ctrlZ`: a row must be proven.
    enum class Left : std::uint8_t { Nothing, OnlyUnproven, Rows };
    Left Prepare(Step& step, ShortcutListModel& list, bool ctrlZ);
    // Looks for journals no window holds; those no journal are set aside.
    void Look();
    // The journals on disk that are kept, newest first: only the newest,
    // whoever left the others.
    std::vector<std::string> KeptJournals() const;
    // An earlier run's or a closed window's journal, claimed for its undo;
    // no file when a running window holds it.
    static Step EarlierStep(const std::string& journal);
    // A journal's renames as rows to undo; the newer cuts' are read only
    // when they are needed.
    std::vector<JournalUndo> FilesOfJournal(const std::vector<JournalRename>& renames,
                                            const std::string& journal) const;
    // The step of this window's that `cut` names; nothing when it is gone.
    std::optional<std::size_t> PlaceOf(const Kept& cut) const;

    std::vector<Step> own_;  // oldest first
    std::size_t takenFrom_ = 0;  // where in own_ the step being undone was
    std::vector<std::string> setAside_;  // journals set aside, not told yet
    std::string folder_;
    bool onDisk_ = false;  // a journal on disk that no window holds
    // The running cut.
    std::unique_ptr<win::UndoJournalFile> writing_;
    bool goingOn_ = false;
    std::size_t base_ = 0;
    std::string done_;
};

}  // namespace tsly
