#include "core/cut_preview.h"

namespace tsly {

std::string PreviewText(const RowCut& preview) {
    const RowOutcome& o = preview.outcome;
    switch (o.kind) {
    case OutcomeKind::Renamed: {
        // The outcome's text, with the arrow of a name still to come. The
        // second cut may reach into the extension.
        std::string text = "→ " + OutcomeText(o, preview.path);
        if (!HasShortcutExtension(preview.path)) text += "（拡張子が .lnk でなくなります）";
        return text;
    }
    case OutcomeKind::Unchanged: return OutcomeText(o, preview.path);
    case OutcomeKind::Failed: {
        const std::string text = OutcomeText(o, preview.path);
        constexpr std::string_view kFailed = "失敗: ";
        return text.rfind(kFailed, 0) == 0 ? text.substr(kFailed.size()) : text;
    }
    default: return std::string();
    }
}

CutPreview::CutPreview(const ShortcutListModel& list, DiskLook disk)
    : list_(list), makeDisk_(std::move(disk)) {}

void CutPreview::SetOptions(CutOptions options) {
    options_ = std::move(options);
    Invalidate();
}

RowCut CutPreview::Of(std::size_t row) {
    if (!plan_) {
        disk_ = makeDisk_();
        plan_ = std::make_unique<CutPlan>(list_, options_, *disk_);
        ++plans_;
    }
    return plan_->Of(row);
}

}  // namespace tsly
