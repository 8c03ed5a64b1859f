#include "app/folder_watch.h"

#include <algorithm>
#include <string_view>

#include "core/cut_rule.h"
#include "platform/file_system.h"

namespace tsly {
namespace {

// The folder a row's file is in, as a watch takes it ("C:\" for a root).
std::string_view FolderOf(std::string_view path) {
    const auto parts = SplitPath(path);
    if (!parts) return {};
    const std::string_view folder = parts->folder;
    return folder.size() == 3 && folder[1] == ':' ? folder : folder.substr(0, folder.size() - 1);
}

// Adds `folder` unless it is there; false when it is not and `folders`
// is full.
bool AddFolder(std::vector<std::string>& folders, std::string_view folder) {
    // A scan lists a folder's rows together: most rows cost one comparison.
    if (folder.empty() || (!folders.empty() && folders.back() == folder) ||
        std::find(folders.begin(), folders.end(), folder) != folders.end()) {
        return true;
    }
    if (folders.size() == FolderWatch::kMaxFolders) return false;
    folders.emplace_back(folder);
    return true;
}

}  // namespace

void FolderWatch::Reset() {
    watches_.clear();
    folders_.clear();
    rows_ = list_.model().Count();
    row_ = 0;
    gathered_ = pastLimit_ = false;
    view_ = {0, 0};
}

bool FolderWatch::Turn() {
    if (list_.model().Count() != rows_) Reset();  // rows came or went
    if (!gathered_) {
        if (!Gather()) return false;
        gathered_ = true;
        if (!pastLimit_) Arm(folders_);
        // The plan was made after the rows came; the view's are armed below.
        if (pastLimit_) folders_.clear();
    }
    const bool moved = pastLimit_ && ViewMoved();
    return Fired() || moved;
}

bool FolderWatch::Gather() {
    constexpr DWORD kSliceMs = 10;
    const ShortcutListModel& model = list_.model();
    const DWORD start = GetTickCount();
    while (row_ < model.Count() && GetTickCount() - start < kSliceMs) {
        for (const std::size_t end = std::min(model.Count(), row_ + 512); row_ < end; ++row_) {
            if (!AddFolder(folders_, FolderOf(model.Caption(row_)))) {
                pastLimit_ = true;
                return true;
            }
        }
    }
    return row_ >= model.Count();
}

void FolderWatch::Arm(const std::vector<std::string>& folders) {
    watches_.clear();
    for (const std::string& folder : folders) {
        // A folder gone since is no folder to watch; its rows' plan says so.
        HANDLE h = FindFirstChangeNotificationW(win::FileCallPath(folder).c_str(), FALSE,
                                                FILE_NOTIFY_CHANGE_FILE_NAME |
                                                    FILE_NOTIFY_CHANGE_DIR_NAME);
        if (h != INVALID_HANDLE_VALUE) watches_.emplace_back(h);
    }
}

bool FolderWatch::ViewMoved() {
    const ShortcutListView::RowRange view = list_.RowsInView();
    if (view.first == view_.first && view.end == view_.end) return false;
    view_ = view;
    std::vector<std::string> folders;
    for (std::size_t row = view.first; row < view.end; ++row) {
        if (!AddFolder(folders, FolderOf(list_.model().Caption(row)))) break;
    }
    if (folders == folders_) return false;
    // Rows of folders not watched until now: what the plan says of them
    // may be old. The first view after the rows came was planned with them.
    const bool first = folders_.empty();
    folders_ = std::move(folders);
    Arm(folders_);
    return !first;
}

bool FolderWatch::Fired() {
    std::vector<HANDLE> handles;
    for (const auto& watch : watches_) handles.push_back(watch.get());
    std::vector<bool> gone(handles.size());
    bool fired = false;
    for (std::size_t from = 0; from < handles.size();) {
        const auto count = static_cast<DWORD>(handles.size() - from);
        const DWORD result = WaitForMultipleObjects(count, handles.data() + from, FALSE, 0);
        if (result >= WAIT_OBJECT_0 + count) break;  // none, or the wait failed
        const std::size_t i = from + (result - WAIT_OBJECT_0);
        fired = true;
        // A watch that cannot be armed again (its folder went) would fire
        // at every turn.
        gone[i] = !FindNextChangeNotification(handles[i]);
        from = i + 1;
    }
    for (std::size_t i = handles.size(); i-- > 0;) {
        if (gone[i]) watches_.erase(watches_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return fired;
}

}  // namespace tsly
