// The undo's plan: what putting back each row of a cut would do now, worked
// out by one function that the history window asks before the undo and the
// undo asks before each rename, so that what the window says is what the
// undo does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <optional>
#include <string>
#include <vector>

#include "core/cut_command.h"
#include "core/file_id.h"
#include "core/plan_disk.h"

namespace tsly {

// One renamed row to put back.
struct UndoRow {
    std::string current;   // where the cut left the file
    std::string original;  // the path it goes back to
    std::optional<FileId> id;
    // The row's file is told by its identity (a journal line without one, or
    // a journal without checksums, is not): only such rows go back on Ctrl+Z
    // alone; the others when the user chooses their cut in the history.
    bool proven = true;
};

enum class UndoAction : std::uint8_t {
    PutBack,       // renamed back to its old name
    AlreadyBack,   // the file has its old name already
    Gone,          // no file of its folder is the one renamed: forgotten
    RenamedSince,  // the file has another name since (a later cut's): left
    NameTaken,     // another file has the old name: left
    Unproven,      // nothing proves the file is the one renamed: left
};

// What undoing a row would do now on `disk`. `chosen`: the user chose the
// cut in the history, so that rows without proof go back by their names.
UndoAction PlanUndoRow(const UndoRow& row, PlanDisk& disk, bool chosen);

// Whether the undo keeps a row after acting on it: it is to be tried again.
bool UndoKeepsRow(UndoAction action);

// The history window's word for a planned row: "→ " and the old name, or
// why it stays.
std::string UndoPlanText(UndoAction action, const UndoRow& row);

// A cut's rows planned as its undo goes (last renamed first), each on the
// disk as the undo's earlier renames leave it: the disk as it was read, and
// the renames made since (a folder's listing is read once).
class UndoForecast {
public:
    UndoForecast(PlanDisk& disk, bool chosen) : overlay_(disk), chosen_(chosen) {}
    // What undoing `row` would do now.
    UndoAction Plan(const UndoRow& row) { return PlanUndoRow(row, overlay_, chosen_); }
    // The row went back: its old name is taken, the name the cut gave free.
    void PutBack(const UndoRow& row) { overlay_.Move(row); }
    // Plans the row as though every row planned before went as planned.
    UndoAction Next(const UndoRow& row);

private:
    // The disk with the planned renames made.
    class Overlay final : public PlanDisk {
    public:
        explicit Overlay(PlanDisk& disk) : disk_(disk) {}
        std::optional<FileId> Identity(const std::string& path) override;
        bool Exists(const std::string& path) override;
        std::uint64_t EntryKey(const std::string& path) override { return disk_.EntryKey(path); }
        bool MayHold(const std::string& folder, const FileId& id) override;
        void Move(const UndoRow& row);

    private:
        struct Entry {
            bool present;
            std::optional<FileId> id;
        };
        PlanDisk& disk_;
        std::map<std::uint64_t, Entry> entries_;   // entry key -> what is there now
        std::set<FileId> moved_;                   // files put back
    };
    Overlay overlay_;
    bool chosen_;
};

struct UndoResult {
    std::size_t undone = 0;
    std::size_t failed = 0;   // rows not put back, kept or forgotten
    std::size_t waiting = 0;  // of them, rows kept for the next undo
    bool stopped = false;
};

// The status text at the end of an undo that was not stopped: `allBack`
// when no row failed, else that some rows, or none, came back, and how many
// the next undo tries again.
std::string UndoEndText(const UndoResult& result, std::string_view allBack);

// Puts back the rows of `last` that their plans let go back, last renamed
// first, each in one rename and only while the file is still the one the cut
// renamed; never replaces a file. Rows back (or gone for good) leave the
// journal; those that failed stay in it, to be tried again first. After a
// stop the rest can still be undone. `chosen`: as for PlanUndoRow.
UndoResult UndoCut(CutListSource& list, CutEnvironment& env, CutResult& last, bool chosen = false);

// The row of the list that `entry` names, as the undo puts it back.
UndoRow UndoRowOf(const JournalEntry& entry, const CutListSource& list);

}  // namespace tsly
