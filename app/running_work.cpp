#include "app/running_work.h"

#include <algorithm>
#include <utility>

#include "app/main_commands.h"
#include "app/stored_options.h"
#include "app/undo_history.h"
#include "platform/application.h"
#include "platform/file_system.h"
#include "platform/sliced_work.h"

namespace tsly {
namespace {

constexpr char kFoundSuffix[] = " 個のファイルが見つかりました。";

// The cutting command's surroundings: the options from the registry, the
// file system's rename, the work's turns between files, the beep and
// status text at the end, and the undo history's journal.
class ListWorkEnvironment final : public CutEnvironment {
public:
    ListWorkEnvironment(std::function<bool(std::size_t, std::size_t)> turn,
                        std::function<void()> completed, UndoHistory* history)
        : turn_(std::move(turn)), completed_(std::move(completed)), history_(history) {}

    CutOptions ReadOptions() override { return ReadCutOptions(); }
    void BeforeRenames(const std::vector<PlannedRename>& batch) override {
        if (history_) history_->Planned(batch);
    }
    void RenameDone(std::size_t index, const std::string& now) override {
        if (history_) history_->Renamed(index, now);
    }
    void AfterRenames() override {
        if (history_) history_->BatchDone();
    }
    RenameResult Rename(const std::string& from, const std::string& to) override {
        return win::RenameFile(from, to);
    }
    std::optional<FileId> Identity(const std::string& path) override { return disk_.Identity(path); }
    bool Exists(const std::string& path) override { return disk_.Exists(path); }
    std::uint64_t EntryKey(const std::string& path) override { return disk_.EntryKey(path); }
    bool MayHold(const std::string& folder, const FileId& id) override {
        return disk_.MayHold(folder, id);
    }
    bool Continue(std::size_t done, std::size_t total) override { return turn_(done, total); }
    void Completed() override { completed_(); }

private:
    std::function<bool(std::size_t, std::size_t)> turn_;
    std::function<void()> completed_;
    win::DiskLook disk_;
    UndoHistory* history_;  // none for an undo
};

}  // namespace

RunningWork::RunningWork(const win::Window& window, Hooks hooks)
    : window_(window), hooks_(std::move(hooks)) {}

bool RunningWork::Refuses(int id) const {
    const CommandRule* rule = FindRule(id);
    return busy_ && rule && rule->refusedWhileBusy;
}

bool RunningWork::RefuseWithBeep(int id) const {
    if (!Refuses(id)) return false;
    MessageBeep(MB_OK);
    return true;
}

bool RunningWork::PutOffClose() {
    if (!busy_) return false;
    closePending_ = true;
    stopRequested_ = true;
    return true;
}

void RunningWork::Begin() {
    busy_ = true;
    stopRequested_ = false;
    lastTurn_ = lastFlush_ = GetTickCount();
    hooks_.started();
}

void RunningWork::End() {
    busy_ = false;
    stopRequested_ = false;
    if (!Open()) return;
    hooks_.ended();
    // A close that came during the work happens now.
    if (closePending_) PostMessageW(window_.hwnd(), WM_CLOSE, 0, 0);
}

bool RunningWork::Turn(std::size_t done, std::size_t total) {
    // Twenty turns a second keep the window answering; the progress text,
    // which repaints at once (about 2 ms under Wine), and the rows in view
    // change twice a second.
    constexpr DWORD kTurnIntervalMs = 50;
    constexpr DWORD kProgressIntervalMs = 500;
    const DWORD now = GetTickCount();
    if (now - lastTurn_ >= kTurnIntervalMs) {
        lastTurn_ = now;
        if (now - lastFlush_ >= kProgressIntervalMs) {
            lastFlush_ = now;
            hooks_.progress(std::to_string(done) + " / " + std::to_string(total));
        }
        win::EndSlice();
    }
    return !stopRequested_ && Open();
}

void RunningWork::RunOverList(const std::string& finished, const char* stopped,
                              UndoHistory* journal,
                              const std::function<void(CutEnvironment&)>& work) {
    ListWorkEnvironment env([this](std::size_t done, std::size_t total) { return Turn(done, total); },
                            [this, finished, stopped] {
                                if (!Open()) return;
                                MessageBeep(MB_OK);
                                hooks_.finished(stopRequested_ ? stopped : finished);
                            },
                            journal);
    // A menu or a box opened meanwhile holds up no file: the work goes on
    // in slices between the messages of any loop.
    win::RunSliced([&] {
        const Scope scope(*this);
        work(env);
        // Renamed rows follow their files: what a cut would do now is new.
        if (Open()) hooks_.rowsChanged();
    });
}

bool RunningWork::Scan(const std::string& folder, DirEnumerator& dirs, const ScanView& view) {
    // Between two turns of the message loop nothing is drawn: the running
    // count reaches the status bar at some of those turns and the rows
    // reach the list at the end, so that a scan of many files stays close
    // to the speed of a bare walk of the folders.
    ScanCallbacks callbacks;
    callbacks.registerShortcut = view.found;
    const auto turn = [this, &view] {
        // Pending messages run before a subfolder is entered, though not
        // more often than every 50 ms: the window still answers at once, and
        // a tree of many small folders is not slowed down by the queue.
        constexpr DWORD kTurnIntervalMs = 50;
        const DWORD now = GetTickCount();
        if (now - lastTurn_ < kTurnIntervalMs) return;
        lastTurn_ = now;
        view.flush(false);
        win::EndSlice();
    };
    // Turns come between any two files too, so that a flat folder of many
    // files can be stopped.
    callbacks.afterRegister = [this, turn] {
        countPending_ = true;
        turn();
    };
    callbacks.beforeSubfolder = turn;
    callbacks.skippedTooDeep = [this](const std::string&) { ++skippedTooDeep_; };
    callbacks.cancelled = [this] { return !Open() || stopRequested_; };

    bool ranThrough = false;
    win::RunSliced([&] {
        const Scope work(*this);
        lastFlush_ = GetTickCount();  // the first counts show after a while
        lastTurn_ = lastFlush_ - 1000;  // what is pending runs at the first subfolder
        // The window learns the last counts however the scan ends.
        struct ScanEnd {
            RunningWork& work;
            const ScanView& view;
            ~ScanEnd() {
                work.scanning_ = false;
                if (work.Open()) view.ended();
            }
        } end{*this, view};
        scanning_ = true;
        skippedTooDeep_ = 0;
        flushInterval_ = 500;
        ranThrough = tsly::ScanFolder(folder, dirs, callbacks);
    });
    return ranThrough;
}

void RunningWork::RegisterAsScan(const std::function<void()>& registerAll) {
    scanning_ = true;
    registerAll();
    scanning_ = false;
}

bool RunningWork::ScanCountsDue(bool force) {
    // While a scan runs, the status bar counts the files it finds: after
    // half a second, then ever less often, up to every four seconds (each
    // repaint costs milliseconds under Wine).
    constexpr DWORD kLongestFlushIntervalMs = 4000;
    const DWORD now = GetTickCount();
    if (!force && now - lastFlush_ < flushInterval_) return false;
    lastFlush_ = now;
    if (!force) flushInterval_ = std::min<DWORD>(flushInterval_ * 2, kLongestFlushIntervalMs);
    return true;
}

std::optional<std::string> RunningWork::ScanCountText(std::size_t found) {
    if (!countPending_ && skippedTooDeep_ == 0) return std::nullopt;
    countPending_ = false;
    std::string text = std::to_string(found) + kFoundSuffix;
    if (skippedTooDeep_ != 0) {
        text += "（深すぎて調べなかったフォルダ " + std::to_string(skippedTooDeep_) + " 個）";
    }
    return text;
}

}  // namespace tsly
