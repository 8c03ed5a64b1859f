// The plan of a cut: for each ticked row in order, its outcome and the
// renames that lead there, from the list, the options and the disk, with
// the names earlier rows take and free and the files they move. The preview
// shows it; the cut carries it out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/cut_command.h"
#include "core/plan_disk.h"
#include "core/row_cut.h"

namespace tsly {

struct RowPlan {
    RowOutcome outcome;         // None for a row the cut leaves
    std::optional<FileId> id;   // the row's file, when it was planned
    std::uint8_t steps = 0;     // kFirstStep | kSecondStep: the steps that rename
    bool ticked = false;        // the tick, read once
    bool left = false;          // ticked, but the start-up's second run leaves it
};

// Values by a 64-bit key in one open-addressed array. A cut of a hundred
// thousand rows keeps three hundred thousand of them: a slot here takes 12
// bytes, a node of a standard hash map about three times that with its
// heap block and bucket.
class ValuesByKey {
public:
    const std::uint32_t* Find(std::uint64_t key) const;
    void Set(std::uint64_t key, std::uint32_t value);  // value < kFree

    static constexpr std::uint32_t kFree = 0xFFFFFFFF;

private:
    std::size_t Home(std::uint64_t key) const;
#pragma pack(push, 4)
    struct Slot {
        std::uint64_t key;
        std::uint32_t value;
    };
#pragma pack(pop)
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    int shift_ = 64;
};

class CutPlan {
public:
    // `leave`: ticked rows the plan leaves as they are.
    CutPlan(const CutListSource& list, CutOptions options, PlanDisk& disk,
            std::function<bool(std::size_t row)> leave = {});

    const CutOptions& options() const { return options_; }
    // The plan of `row` (< the list's count), the rows before it planned
    // first: drawing the first rows of a long list costs only those rows.
    const RowPlan& Row(std::size_t row);
    // The outcome and the file's path at the end; nothing for a row past
    // the last.
    RowCut Of(std::size_t row);
    // The renames planned for a row, from its path as planned: the path
    // after the first (empty unless a second follows) and at the end.
    PlannedPaths Paths(std::size_t row);

private:
    void PlanNext();
    // A rename of `row`'s file as the disk and the rows before would let it
    // happen.
    RenameResult Look(const std::string& from, const std::string& to, std::uint32_t row);
    struct Now {
        bool taken;
        std::optional<FileId> id;  // the file there; once freed, the file that left
    };
    Now At(std::uint64_t key, const std::string& path, bool needId);
    static std::uint64_t IdKey(const FileId& id);
    bool Tried(const FileId& id) const;

    const CutListSource& list_;
    CutOptions options_;
    PlanDisk& disk_;
    std::function<bool(std::size_t)> leave_;
    std::vector<RowPlan> rows_;
    // What the rows planned did to entries, by entry key: the row whose
    // file took it or left it, times two, plus one when it took it. Each
    // renamed row takes one and frees one; the rest is as the disk says.
    ValuesByKey entries_;
    // Files rows before try to rename, by a hash of their identity -> the
    // row (which holds the identity itself).
    ValuesByKey files_;
};

}  // namespace tsly
