#include "platform/application.h"

#include <vector>

#include "platform/text.h"

namespace tsly::win {
namespace {

constexpr wchar_t kApplicationClass[] = L"TsApplication";

}  // namespace

Application& Application::Instance() {
    static Application application;
    return application;
}

void Application::Initialize() {
    if (handle_) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Application::WindowProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    wc.lpszClassName = kApplicationClass;
    RegisterClassExW(&wc);
    // A captioned pop-up of no size in the middle of the screen: invisible,
    // yet it owns the program's windows and carries the task-bar button.
    handle_ = CreateWindowExW(0, kApplicationClass, ToWide(title_).c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU |
                                  WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2,
                              GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr,
                              wc.hInstance, nullptr);
}

void Application::SetTitle(std::string title) {
    title_ = std::move(title);
    if (handle_) SetWindowTextW(handle_, ToWide(title_).c_str());
}

void Application::SetMessageFilter(std::function<bool(MSG&)> filter) {
    filter_ = std::move(filter);
    // A thread hook sees the messages of every loop, the system's modal
    // loops (message boxes, menus, the shell's folder dialog) included.
    if (!hook_) {
        hook_ = SetWindowsHookExW(WH_GETMESSAGE, &Application::GetMessageHook, nullptr,
                                  GetCurrentThreadId());
    }
}

LRESULT CALLBACK Application::GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    Application& app = Instance();
    if (code == HC_ACTION && wParam == PM_REMOVE && app.filter_) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        bool handled = false;
        try {
            handled = app.filter_(*msg);
        } catch (const std::exception& e) {
            app.ReportError(e.what());
        } catch (...) {
            app.ReportError("予期しないエラーが発生しました");
        }
        if (handled) msg->message = WM_NULL;  // handled: dispatch nothing
    }
    return CallNextHookEx(app.hook_, code, wParam, lParam);
}

LRESULT CALLBACK Application::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    Application& app = Instance();
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_RESTORE && app.restoreHandler_) {
            app.restoreHandler_();
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // Activating the invisible window (its task-bar button) hands the
        // focus on to the program's visible window.
        if (LOWORD(wParam) != WA_INACTIVE && app.FocusOwnedWindow()) return 0;
        break;
    case WM_CLOSE: {
        // Closing from the task bar closes the window last active, in the end
        // the main window, which ends the program through its own close
        // handling. Minimized, the application window itself was last active
        // and its windows are hidden: the one that takes input closes.
        HWND popup = GetLastActivePopup(hwnd);
        if (!popup || popup == hwnd) popup = app.OwnedInputWindow(false);
        if (popup) PostMessageW(popup, WM_CLOSE, 0, 0);
        return 0;
    }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool Application::DispatchOne(MSG& msg) {
    if (msg.message == WM_QUIT) return false;
    HWND active = GetActiveWindow();
    if (active && IsDialogMessageW(active, &msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

int Application::Run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchOne(msg);
    return static_cast<int>(msg.wParam);
}

void Application::ProcessMessages(UINT_PTR held) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (held && msg.message == WM_TIMER && !msg.hwnd && msg.wParam == held) continue;
        if (!DispatchOne(msg)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
    }
}

namespace {

struct OwnedSearch {
    HWND owner;
    bool visible;
    HWND found;
};

BOOL CALLBACK FindOwnedInputWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<OwnedSearch*>(lParam);
    if (GetWindow(hwnd, GW_OWNER) == search->owner &&
        (!search->visible || IsWindowVisible(hwnd)) && IsWindowEnabled(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM lParam) {
    auto* windows = reinterpret_cast<std::vector<HWND>*>(lParam);
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) windows->push_back(hwnd);
    return TRUE;
}

}  // namespace

HWND Application::OwnedInputWindow(bool visible) const {
    // Windows are enumerated from the top of the z-order down.
    OwnedSearch search{handle_, visible, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindOwnedInputWindow,
                      reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Application::FocusOwnedWindow() {
    HWND window = OwnedInputWindow(true);
    if (!window) return false;
    SetForegroundWindow(window);
    return true;
}

void Application::RunModal(HWND dialog, const std::function<bool()>& finished) {
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), &CollectEnabled,
                      reinterpret_cast<LPARAM>(&disabled));
    for (HWND w : disabled) {
        if (w != dialog) EnableWindow(w, FALSE);
    }
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);

    MSG msg;
    bool quit = false;
    while (IsWindow(dialog) && !finished()) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            quit = true;
            break;
        }
        DispatchOne(msg);
    }
    // Re-enable before the dialog goes, so that the focus returns to the
    // window that held it rather than to some other program.
    for (HWND w : disabled) {
        if (w != dialog && IsWindow(w)) EnableWindow(w, TRUE);
    }
    if (IsWindow(dialog)) ShowWindow(dialog, SW_HIDE);
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
}

HWND Application::ActiveWindowOrSelf() const {
    HWND active = GetActiveWindow();  // this thread's
    return active && IsWindowVisible(active) ? active : handle_;
}

ActivationKeeper::ActivationKeeper()
    : before_(Application::Instance().ActiveWindowOrSelf()) {}

ActivationKeeper::~ActivationKeeper() {
    // The invisible application window only stands in when nothing of
    // ours was active; it would take the keys away from the user.
    if (!before_ || before_ == Application::Instance().Handle() || !IsWindow(before_) ||
        !IsWindowVisible(before_) || !IsWindowEnabled(before_)) {
        return;
    }
    if (GetActiveWindow() != before_) {
        SetForegroundWindow(before_);
        SetActiveWindow(before_);
    }
}

int Application::ShowBox(const std::string& text, UINT flags) {
    // Owned by the window that was active, so that the box has no task-bar
    // button of its own and that window is active again afterwards. The
    // system still centres it on the screen.
    const ActivationKeeper keeper;
    return MessageBoxW(ActiveWindowOrSelf(), ToWide(text).c_str(), ToWide(title_).c_str(),
                       flags);
}

void Application::ReportError(const std::string& message) {
    std::string text = message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    ShowBox(text, MB_OK | MB_ICONSTOP);
}

void Application::ShowMessage(const std::string& message) { ShowBox(message, MB_OK); }

bool Application::Confirm(const std::string& question) {
    return ShowBox(question, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

}  // namespace tsly::win
