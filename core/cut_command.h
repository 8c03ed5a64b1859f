// The cutting command and its undo over small interfaces, so that they run
// without a window: the list they walk and mark, the options they read, the
// renames they make.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cut_rule.h"
#include "core/file_id.h"
#include "core/plan_disk.h"

namespace tsly {

struct RenameResult {
    RenameFailure failure = RenameFailure::None;
    std::uint32_t code = 0;  // the system's error code, for Other
    bool ok() const { return failure == RenameFailure::None; }
};

// What became of one row in the last run.
enum class OutcomeKind : std::uint8_t { None, Renamed, Unchanged, Failed, Undone, UndoFailed };

struct RowOutcome {
    OutcomeKind kind = OutcomeKind::None;
    // Failed, UndoFailed: why. Renamed: why a further step failed after a
    // rename that happened.
    RenameFailure failure = RenameFailure::None;
    std::uint32_t code = 0;  // Other: the system's error code; BadCharacter: the character
};

// Whether an outcome's text tells of a failure: the row's, its undo's, or
// that of a step after a rename that happened. The list draws those in red.
bool ReportsFailure(const RowOutcome& outcome);

// The text the list shows for an outcome of the row whose file is at
// `path` now: its name, "変更なし", "元に戻しました" or "失敗: " and the
// reason; nothing for None.
std::string OutcomeText(const RowOutcome& outcome, std::string_view path);

// A character the user can read in a message: itself, or its code ("U+0009")
// when it is a control character that would show as nothing.
std::string CharacterName(std::uint32_t c);

class CutListSource {
public:
    virtual ~CutListSource() = default;
    virtual std::size_t Count() const = 0;
    // The path of the row's file as it is now.
    virtual const std::string& Caption(std::size_t index) const = 0;
    virtual bool Checked(std::size_t index) const = 0;
    virtual const RowOutcome& Outcome(std::size_t index) const = 0;
    virtual void SetOutcome(std::size_t index, RowOutcome outcome) = 0;
    // The row's file was renamed: the row follows it.
    virtual void SetPath(std::size_t index, std::string path) = 0;
};

// A rename the cut is about to make for a row: the file, its path, its path
// after the first step (empty when there is none) and at the end.
struct PlannedRename {
    std::size_t row;
    std::optional<FileId> id;
    std::string from, via, to;
};

// The cut plans on the disk it renames on.
class CutEnvironment : public PlanDisk {
public:
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
    // A journal's hooks: a batch of renames is about to be tried (kept
    // before any happens), rename `index` of the batch happened and left the
    // file at `now`, the batch is through.
    virtual void BeforeRenames(const std::vector<PlannedRename>& /*batch*/) {}
    virtual void RenameDone(std::size_t /*index*/, const std::string& /*now*/) {}
    virtual void AfterRenames() {}
};

// One row a cut renamed: its file's name before the cut (the row holds the
// name after it) and the file's identity, taken just before it was renamed.
struct JournalEntry {
    std::size_t row;
    std::string originalName;
    std::optional<FileId> id;
    // Whether the identity proves the file (see UndoRow::proven).
    bool proven = true;
};

struct CutResult {
    std::size_t renamed = 0;  // rows with a new name
    std::size_t failed = 0;   // rows where a rename failed and none happened
    bool stopped = false;     // ended early
    std::vector<JournalEntry> journal;  // what an undo puts back, in cut order
};

// The cut's rows go in batches whose renames a journal keeps before they
// happen: the first this many rows, then twice as many each time up to the
// longest, so that a long cut flushes its journal seldom.
inline constexpr std::size_t kFirstJournalBatch = 64;
inline constexpr std::size_t kLongestJournalBatch = 1024;

// Runs the command once over every entry of the list, renames the file of
// each checked row and marks the row with its outcome; a renamed row
// follows its file. With `previous`, this run repeats that one (the
// start-up's second run): rows renamed there are left as they are, and
// counts and journal hold both runs.
CutResult RunCutCommand(CutListSource& list, CutEnvironment& env,
                        const CutResult* previous = nullptr);

// Renames the file at `from` only while it is still the file `id` names (a
// file whose identity was not taken goes by its name alone); never one
// that took its place, never over another file.
RenameResult RenameIfStill(CutEnvironment& env, const std::optional<FileId>& id,
                           const std::string& from, const std::string& to);

}  // namespace tsly
