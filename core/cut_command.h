// The cutting command and its undo over small interfaces, so that they run
// without a window: the list they walk and mark, the options they read, the
// renames they make.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/cut_rule.h"

namespace tsly {

// Why a rename did not happen.
enum class RenameFailure : std::uint8_t {
    None,
    NameTaken,
    NotFound,
    InUse,
    AccessDenied,
    LeavesFolder,  // the new name would not name a file in the same folder
    Other,         // see the system's error code
};

struct RenameResult {
    RenameFailure failure = RenameFailure::None;
    std::uint32_t code = 0;  // the system's error code, for Other
    bool ok() const { return failure == RenameFailure::None; }
};

// What became of one row in the last run.
enum class OutcomeKind : std::uint8_t { None, Renamed, Unchanged, Failed, Undone, UndoFailed };

struct RowOutcome {
    OutcomeKind kind = OutcomeKind::None;
    RenameFailure failure = RenameFailure::None;
    std::uint32_t code = 0;
    std::string newName;  // Renamed: the file's final name
};

// The text the list shows for an outcome: the new name, "変更なし",
// "元に戻しました" or "失敗: " and the reason; nothing for None.
std::string OutcomeText(const RowOutcome& outcome);

class CutListSource {
public:
    virtual ~CutListSource() = default;
    virtual std::size_t Count() const = 0;
    virtual const std::string& Caption(std::size_t index) const = 0;
    virtual bool Checked(std::size_t index) const = 0;
    virtual const RowOutcome& Outcome(std::size_t index) const = 0;
    virtual void SetOutcome(std::size_t index, RowOutcome outcome) = 0;
};

class CutEnvironment {
public:
    virtual ~CutEnvironment() = default;
    // Reads the options afresh; may throw (a settings store error), which
    // ends the command before any file is touched.
    virtual CutOptions ReadOptions() = 0;
    // Renames a file; never replaces an existing one.
    virtual RenameResult Rename(const std::string& from, const std::string& to) = 0;
    // After each row: `done` of `total` rows are through. False stops the
    // run here (the window was asked to stop or to close).
    virtual bool Continue(std::size_t /*done*/, std::size_t /*total*/) { return true; }
    // The run is over: beep and show the completion text.
    virtual void Completed() = 0;
};

// One rename that happened, in the order it happened.
struct JournalEntry {
    std::size_t row;
    std::string from, to;
};

struct CutResult {
    std::size_t renamed = 0;  // rows with a new name
    std::size_t failed = 0;   // rows where a rename failed
    bool stopped = false;     // ended early
    std::vector<JournalEntry> journal;  // what an undo puts back, last first
};

// Runs the command once over every entry of the list and marks each checked
// row with its outcome. With `previous`, this run repeats that one (the
// start-up's second run): a row renamed there keeps its outcome, the counts
// stay the first run's, and the journal holds both runs.
CutResult RunCutCommand(CutListSource& list, CutEnvironment& env,
                        const CutResult* previous = nullptr);

struct UndoResult {
    std::size_t undone = 0;
    std::size_t failed = 0;
    bool stopped = false;
};

// Renames back what `last` renamed, last renamed first, never replacing a
// file, and marks each row. Entries dealt with leave the journal; after a
// stop the rest can still be undone.
UndoResult UndoCut(CutListSource& list, CutEnvironment& env, CutResult& last);

}  // namespace tsly
