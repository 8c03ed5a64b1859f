// What the cut does to one row, given a way to rename: the real rename for
// the cut, a check of the names on disk for the preview. One function
// decides for both.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/cut_command.h"

namespace tsly {

// The two steps of the rule: the first cut, then the second.
inline constexpr std::uint8_t kFirstStep = 1, kSecondStep = 2;

struct RowCut {
    RowOutcome outcome;      // Renamed, Unchanged or Failed
    std::string path;        // the file's path after the cut
    std::uint8_t steps = 0;  // the steps whose rename happened
};

// The paths the rule plans for a file, as if every step succeeds: after the
// first step (empty unless a second follows) and at the end; nothing when
// the name stays.
struct PlannedPaths {
    std::string via, to;
};
std::optional<PlannedPaths> PlanPaths(const std::string& path, const CutOptions& options);

// The rule's steps one after the other, each renaming by `rename` (given
// the step): a failed step leaves the file where it was for the next.
using StepRename = std::function<RenameResult(std::uint8_t step, const std::string& from,
                                              const std::string& to)>;
RowCut CutRow(const std::string& path, const CutOptions& options, const StepRename& rename);

}  // namespace tsly
