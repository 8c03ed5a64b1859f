#include "tests/win/win_test_support.h"

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>

#include "platform/application.h"
#include "platform/settings_store.h"
#include "platform/text.h"

namespace tsly::test {
namespace {

// Every test runs with the application object as the program has it.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES |
                                                           ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
        win::Application& app = win::Application::Instance();
        app.SetTitle("Tessalyne");
        app.Initialize();
    }
};
const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

std::string ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return win::FromWide(name);
}

std::string TitleOf(HWND hwnd) {
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return win::FromWide(text);
}

BrowseDriver* activeDriver = nullptr;
SentMessageLog* activeLog = nullptr;

BOOL CALLBACK FindShellDialog(HWND hwnd, LPARAM lParam) {
    if (IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770" && TitleOf(hwnd) != "Tessalyne") {
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BrowseDriver::BrowseDriver(std::vector<Step> steps) : steps_(std::move(steps)) {
    activeDriver = this;
    timer_ = SetTimer(nullptr, 0, 150, &BrowseDriver::Tick);
}

BrowseDriver::~BrowseDriver() {
    KillTimer(nullptr, timer_);
    activeDriver = nullptr;
}

void CALLBACK BrowseDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    BrowseDriver* self = activeDriver;
    if (!self || self->next_ >= self->steps_.size()) return;
    HWND dialog = FindBrowseDialog();
    if (!dialog) return;
    self->steps_[self->next_++](dialog);
}

BrowseDriver::Step BrowseDriver::Select(const std::string& path) {
    return [path](HWND dialog) {
        const std::wstring wide = win::ToWide(path);
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
    };
}

BrowseDriver::Step BrowseDriver::Press(int buttonId) {
    return [buttonId](HWND dialog) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
    };
}

SentMessageLog::SentMessageLog() {
    activeLog = this;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &SentMessageLog::Hook, nullptr,
                              GetCurrentThreadId());
}

SentMessageLog::~SentMessageLog() {
    UnhookWindowsHookEx(hook_);
    activeLog = nullptr;
}

LRESULT CALLBACK SentMessageLog::Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && activeLog &&
        (sent->message == BFFM_SETSTATUSTEXTW || sent->message == BFFM_ENABLEOK ||
         sent->message == BFFM_SETSELECTIONW) &&
        ClassOf(sent->hwnd) == "#32770") {
        SentMessage entry{sent->message, sent->lParam, {}};
        if ((sent->message == BFFM_SETSTATUSTEXTW || sent->wParam) && sent->lParam) {
            entry.text = win::FromWide(reinterpret_cast<const wchar_t*>(sent->lParam));
        }
        activeLog->log_.push_back(entry);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<SentMessage> SentMessageLog::Of(UINT message) const {
    std::vector<SentMessage> found;
    for (const SentMessage& m : log_) {
        if (m.message == message) found.push_back(m);
    }
    return found;
}

HWND FindBrowseDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindShellDialog,
                      reinterpret_cast<LPARAM>(&found));
    return found;
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

}  // namespace tsly::test
