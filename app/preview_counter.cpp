#include "app/preview_counter.h"

#include <windows.h>

#include "app/main_window_parts.h"

namespace tsly {
namespace {

// What a second cut would change, after the last work's counts.
std::string AgainNotice(std::size_t rows) {
    return rows == 0 ? std::string() : "・もう一度カットすると " + std::to_string(rows) + " 件変わります";
}

std::string WorkCounts(const char* doneWord, std::size_t done, std::size_t failed) {
    return std::string(doneWord) + " " + std::to_string(done) + " 件・失敗 " +
           std::to_string(failed) + " 件";
}

}  // namespace

std::string WidestCounts() {
    constexpr std::size_t kRows = 99999;
    return WorkCounts("元に戻した", kRows, kRows) + AgainNotice(kRows);
}

void PreviewCounter::Start() {
    row_ = renames_ = failures_ = again_ = outcomes_ = 0;
    SetTimer(window_.hwnd(), kPreviewTimerId, 0, nullptr);
}

void PreviewCounter::Pause() { KillTimer(window_.hwnd(), kPreviewTimerId); }

std::optional<std::string> PreviewCounter::Turn() {
    constexpr DWORD kSliceMs = 20;
    const DWORD start = GetTickCount();
    const ShortcutListModel& model = list_.model();
    const bool planned = list_.PreviewOptions().has_value();
    while (row_ < model.Count() && GetTickCount() - start < kSliceMs) {
        if (list_.ShowsPreview(row_)) {
            const OutcomeKind kind = list_.PreviewOf(row_).outcome.kind;
            if (kind == OutcomeKind::Renamed) ++renames_;
            if (kind == OutcomeKind::Failed) ++failures_;
        } else if (model.Outcome(row_).kind != OutcomeKind::None) {
            // The row shows what was done; a cut now may still change it.
            ++outcomes_;
            if (model.Checked(row_) && planned &&
                list_.PreviewOf(row_).outcome.kind == OutcomeKind::Renamed) {
                ++again_;
            }
        }
        ++row_;
    }
    if (row_ < model.Count()) return std::nullopt;
    Pause();
    return Text();
}

std::string PreviewCounter::Text() const {
    // The part always tells the list as it is now: nothing for no rows.
    const std::size_t rows = list_.model().Count();
    std::string text;
    if (outcomes_ != 0) {
        // The last work's counts stay, with what a second cut would do: to
        // the rows it went through and to those it never reached (a stop).
        text = workCounts_ + AgainNotice(again_ + renames_);
    } else if (rows != 0 && !list_.PreviewOptions().has_value()) {
        text = "プレビューなし（オプションを読めません）";
    } else if (rows != 0) {
        text = "変更予定 " + std::to_string(renames_) + " 件";
        if (failures_ != 0) text += "・失敗予定 " + std::to_string(failures_) + " 件";
    }
    return text;
}

const std::string& PreviewCounter::WorkDone(const char* doneWord, std::size_t done,
                                            std::size_t failed) {
    workCounts_ = WorkCounts(doneWord, done, failed);
    return workCounts_;
}

}  // namespace tsly
