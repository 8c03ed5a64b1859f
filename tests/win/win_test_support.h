// Shared helpers of the Windows tests: the application object, clean
// registry keys, a watcher that answers the program's message boxes, and a
// driver that works the shell's folder dialog from a timer.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/harness.h"

namespace tsly::test {

// The shell's folder dialog while the driver is alive: each timer tick
// after the dialog has appeared runs the next step, given the dialog.
class BrowseDriver {
public:
    using Step = std::function<void(HWND dialog)>;
    explicit BrowseDriver(std::vector<Step> steps);
    ~BrowseDriver();
    BrowseDriver(const BrowseDriver&) = delete;
    BrowseDriver& operator=(const BrowseDriver&) = delete;
    std::size_t StepsRun() const { return next_; }

    // Steps that the tests share.
    static Step Select(const std::string& path);
    static Step Press(int buttonId);  // IDOK or IDCANCEL

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

// The shell folder-dialog messages the program sends, as seen by a hook on
// this thread: BFFM_SETSTATUSTEXTW with its text, BFFM_ENABLEOK with its
// value, BFFM_SETSELECTIONW with its path when it gives one.
struct SentMessage {
    UINT message;
    LPARAM value;
    std::string text;
};
class SentMessageLog {
public:
    SentMessageLog();
    ~SentMessageLog();
    std::vector<SentMessage> Of(UINT message) const;
    std::size_t Count() const { return log_.size(); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_ = nullptr;
    std::vector<SentMessage> log_;
};

// The visible shell folder dialog of this thread, or null.
HWND FindBrowseDialog();
// Screen rectangle of a window.
RECT WindowRect(HWND hwnd);
// A folder path without its trailing separator, as the shell gives it.
inline std::string Unslashed(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

}  // namespace tsly::test
