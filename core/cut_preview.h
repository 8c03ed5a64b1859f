// What a cut would do to each row before it runs: the cut's own plan,
// made again whenever the rows, the ticks, the options or the disk may have
// changed, and worked out only as far as rows are asked for.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/cut_plan.h"
#include "core/shortcut_list.h"

namespace tsly {

// The text of a preview: "→ " and the new name, "変更なし", or the reason the
// cut would fail; nothing for a row that is not checked. A name that loses
// the shortcut's extension says so.
std::string PreviewText(const RowCut& preview);

class CutPreview {
public:
    // A fresh look at the disk for each plan: what one read may be stale.
    using DiskLook = std::function<std::unique_ptr<PlanDisk>()>;

    CutPreview(const ShortcutListModel& list, DiskLook disk);

    const CutOptions& options() const { return options_; }
    void SetOptions(CutOptions options);
    // Rows, ticks or the disk may have changed: the plan is made again
    // when next asked for.
    void Invalidate() { plan_.reset(); }

    // What the cut would do to `row`: Renamed (to `path`), Unchanged or
    // Failed; None for an unchecked row.
    RowCut Of(std::size_t row);
    // How many plans were made: one for every row until something changes.
    std::size_t Plans() const { return plans_; }

private:
    const ShortcutListModel& list_;
    DiskLook makeDisk_;
    CutOptions options_;
    std::unique_ptr<PlanDisk> disk_;
    std::unique_ptr<CutPlan> plan_;
    std::size_t plans_ = 0;
};

}  // namespace tsly
