// What the cut does to one row, given a way to rename: the real rename for
// the cut, a check of the names on disk for the preview. One function
// decides for both.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/cut_command.h"

namespace tsly {

struct RowCut {
    RowOutcome outcome;  // Renamed, Unchanged or Failed
    std::string path;    // the file's path after the cut
};

// The paths the rule plans for a file, as if every step succeeds: after the
// first step (empty unless a second follows) and at the end; nothing when
// the name stays.
struct PlannedPaths {
    std::string via, to;
};
std::optional<PlannedPaths> PlanPaths(const std::string& path, const CutOptions& options);

RowCut CutRow(const std::string& path, const CutOptions& options,
              const std::function<RenameResult(const std::string&, const std::string&)>& rename);

}  // namespace tsly
