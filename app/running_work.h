// The work that holds the main window: a cut, an undo or a scan, one at a
// time. It marks work running for as long as it lasts, turns the message
// loop at its own pace, takes the stop asked for with Escape, keeps a close
// waiting until the work has stopped, and hands the window the status texts
// of its progress and of its end. The window asks it whether work runs and
// whether a command is refused meanwhile, and is told when work starts and
// ends.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "core/cut_command.h"
#include "core/folder_scan.h"
#include "platform/window.h"

namespace tsly {

class UndoHistory;

class RunningWork {
public:
    // What the window does for the work it holds.
    struct Hooks {
        // Work starts: the list holds still, the refused commands grey.
        std::function<void()> started;
        // Work ended and the window is still open: the list is let go.
        std::function<void()> ended;
        // A cut's or an undo's progress for the status bar; the rows in view
        // that changed are redrawn with it.
        std::function<void(const std::string& text)> progress;
        // The status text of a cut's or an undo's end.
        std::function<void(const std::string& text)> finished;
        // A cut or an undo changed the rows: the preview is stale.
        std::function<void()> rowsChanged;
    };
    // What a scan asks of the window.
    struct ScanView {
        std::function<void(std::string&& path)> found;
        // The scan's counts may be due (ScanCountsDue); `force` at its end.
        std::function<void(bool force)> flush;
        // The scan is over and the window is still open.
        std::function<void()> ended;
    };

    // `window`: whose handle tells whether it is still open.
    RunningWork(const win::Window& window, Hooks hooks);

    bool Busy() const { return busy_; }
    // A scan registers rows: the list learns them when it ends.
    bool Scanning() const { return scanning_; }
    // Whether `id` is refused because work runs (its rule in main_commands.h).
    bool Refuses(int id) const;
    // The same, with a beep when it is.
    bool RefuseWithBeep(int id) const;
    // Asks the running work to stop after the current file (Escape).
    void Stop() {
        if (busy_) stopRequested_ = true;
    }
    // A close while work runs stops it and comes again at its end; true
    // when the close must wait.
    bool PutOffClose();

    // A cut or an undo over the list as one piece of work; the end's status
    // text tells whether it ran through (`finished`) or was stopped. A cut
    // hands its renames to `journal` as they happen.
    void RunOverList(const std::string& finished, const char* stopped, UndoHistory* journal,
                     const std::function<void(CutEnvironment&)>& work);
    // A cut ended; `stopped` before its last file.
    void CutEnded(bool stopped) {
        cutDone_ = true;
        lastCutStopped_ = stopped;
    }
    // A cut ran since the window was made.
    bool CutRan() const { return cutDone_; }
    // The start-up's cutting goes on: its last cut was not stopped and no
    // close waits.
    bool CuttingGoesOn() const { return !closePending_ && !lastCutStopped_; }

    // A scan of `folder` through `dirs`; false when it did not run through
    // (stopped, or the window closed).
    bool Scan(const std::string& folder, DirEnumerator& dirs, const ScanView& view);
    // Paths registered as a scan registers them, without its turns (the
    // command line's): the list learns its rows at the end.
    void RegisterAsScan(const std::function<void()>& registerAll);
    // Whether a scan's counts are shown now; `force`: always.
    bool ScanCountsDue(bool force);
    // The text of the scan's counts when they changed since last shown.
    std::optional<std::string> ScanCountText(std::size_t found);

private:
    // Marks work running for as long as it lives.
    class Scope {
    public:
        explicit Scope(RunningWork& work) : work_(work) { work_.Begin(); }
        ~Scope() { work_.End(); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        RunningWork& work_;
    };
    void Begin();
    void End();
    bool Open() const { return window_.hwnd() != nullptr; }
    // A cut's or an undo's turn between two files; false when it is to stop.
    bool Turn(std::size_t done, std::size_t total);

    const win::Window& window_;
    Hooks hooks_;
    bool busy_ = false;
    bool scanning_ = false;
    bool stopRequested_ = false;
    bool closePending_ = false;    // closing waits until the work has stopped
    bool cutDone_ = false;         // a cut ran since the window was made
    bool lastCutStopped_ = false;  // the last cut was stopped before its end
    DWORD lastTurn_ = 0;           // the message loop's last turn
    DWORD lastFlush_ = 0;          // the progress's or the scan's counts' last showing
    DWORD flushInterval_ = 500;    // a scan's time between two showings of its counts
    bool countPending_ = false;    // the scan found files since its counts last showed
    std::size_t skippedTooDeep_ = 0;  // folders the scan left out
};

}  // namespace tsly
