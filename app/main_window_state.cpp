// The main window's state between runs and while minimized: the geometry
// kept in the registry, and minimizing and restoring through the
// application window.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string_view>

#include "app/Unit1.h"
#include "app/main_commands.h"
#include "app/main_window_parts.h"
#include "platform/application.h"
#include "platform/settings_store.h"

namespace tsly {
namespace {

// The stored geometry values, in the order they are read and written.
enum class Geometry { Height, Left, Top, Width, ListHeight, ListWidth, Panel0, Column, ResultColumn };
struct GeometryValue {
    Geometry what;
    const char* name;
    int fallback;
};
constexpr GeometryValue kGeometry[] = {
    {Geometry::Height, "MainHeight", 327},     {Geometry::Left, "MainLeft", 0},
    {Geometry::Top, "MainTop", 0},             {Geometry::Width, "MainWidth", 528},
    {Geometry::ListHeight, "Column(0)", 236},  {Geometry::ListWidth, "Column(1)", 520},
    {Geometry::Panel0, "Column(2)", 300},      {Geometry::Column, "Column(3)", 400},
    // Newer than the rest; an older copy of the program ignores it.
    {Geometry::ResultColumn, "ResultColumnWidth", kDefaultResultColumnWidth},
};

// A window rectangle that lies off every monitor (stored while a monitor
// that is gone now was attached, or while minimized) moved onto the work
// area of the nearest one; any other rectangle as it is.
RECT OnScreen(RECT r) {
    if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) return r;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return r;
    const RECT& work = info.rcWork;
    const LONG width = r.right - r.left, height = r.bottom - r.top;
    const LONG left = std::max(work.left, std::min(r.left, work.right - width));
    const LONG top = std::max(work.top, std::min(r.top, work.bottom - height));
    return RECT{left, top, left + width, top + height};
}

bool IsMessageBox(HWND hwnd) {
    wchar_t name[16] = {};
    GetClassNameW(GetAncestor(hwnd, GA_ROOT), name, 16);
    return std::wstring_view(name) == L"#32770";
}

}  // namespace

void TFrmMain::RestoreGeometry() {
    // However the stored values place it, the window opens where it can be
    // seen.
    struct OnScreenAtEnd {
        HWND hwnd;
        ~OnScreenAtEnd() {
            RECT r{};
            GetWindowRect(hwnd, &r);
            const RECT on = OnScreen(r);
            if (on.left != r.left || on.top != r.top) {
                SetWindowPos(hwnd, nullptr, on.left, on.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
    } onScreen{hwnd()};
    const SettingsStore store(kSettingsKey);
    for (const GeometryValue& value : kGeometry) {
        // Stored values are the pixels the window had; only the defaults
        // follow the DPI.
        int n = store.ReadNumber("Window", value.name, Scaled(value.fallback));
        RECT r{};
        GetWindowRect(hwnd(), &r);
        const int left = r.left, top = r.top;
        const int width = r.right - r.left, height = r.bottom - r.top;
        switch (value.what) {
        case Geometry::Height:
            MoveWindow(hwnd(), left, top, width, n, FALSE);
            break;
        case Geometry::Left:
            MoveWindow(hwnd(), n, top, width, height, FALSE);
            break;
        case Geometry::Top:
            MoveWindow(hwnd(), left, n, width, height, FALSE);
            break;
        case Geometry::Width:
            MoveWindow(hwnd(), left, top, n, height, FALSE);
            break;
        case Geometry::ListHeight:
        case Geometry::ListWidth:
            // The list always fills the space between the bars, so these two
            // have no visible effect; the layout gives it that space again.
            LayoutChildren();
            break;
        case Geometry::Panel0: {
            int parts[2] = {n, -1};
            SendMessageW(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
            break;
        }
        case Geometry::Column:
            // -1 fits the texts and -2 the heading; anything smaller is not a
            // width at all, so the designed width stands in for it.
            if (n < -2) n = Scaled(kDefaultColumnWidth);
            listView_.SetColumnWidth(n);
            break;
        case Geometry::ResultColumn:
            listView_.SetColumnWidth(n < -2 ? Scaled(kDefaultResultColumnWidth) : n, 1);
            break;
        }
    }
}

void TFrmMain::FormClose() {
    if (settingsDeleted_) return;
    RECT r{};
    GetWindowRect(hwnd(), &r);
    r = OnScreen(r);
    RECT list{};
    GetWindowRect(listView_.hwnd(), &list);
    RECT status{};
    SendMessageW(statusBar_, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&status));
    SettingsStore store(kSettingsKey);
    for (const GeometryValue& value : kGeometry) {
        int n = 0;
        switch (value.what) {
        case Geometry::Height: n = r.bottom - r.top; break;
        case Geometry::Left: n = r.left; break;
        case Geometry::Top: n = r.top; break;
        case Geometry::Width: n = r.right - r.left; break;
        case Geometry::ListHeight: n = list.bottom - list.top; break;
        case Geometry::ListWidth: n = list.right - list.left; break;
        case Geometry::Panel0: n = status.right - status.left; break;
        case Geometry::Column: n = listView_.ColumnWidth(); break;
        case Geometry::ResultColumn: n = listView_.ColumnWidth(1); break;
        }
        store.WriteNumber("Window", value.name, n);
    }
}

void TFrmMain::MinimizeApplication() {
    HWND app = win::Application::Instance().Handle();
    RECT r{};
    GetWindowRect(hwnd(), &r);
    SetForegroundWindow(app);
    SetWindowPos(app, HWND_BOTTOM, r.left, r.top, r.right - r.left, 0, SWP_NOZORDER);
    ShowWindow(app, SW_MINIMIZE);
    // Windows hides an owner's windows with it; not every window system does.
    ShowOwnedPopups(app, FALSE);
}

void TFrmMain::RestoreApplication() {
    HWND app = win::Application::Instance().Handle();
    SetForegroundWindow(app);
    ShowWindow(app, SW_RESTORE);
    ShowOwnedPopups(app, TRUE);  // brings back what the minimize hid
    SetWindowPos(app, HWND_TOP, 0, 0, 0, 0, SWP_NOZORDER);
    // The application window took the focus while the others were hidden:
    // hand it back.
    win::Application::Instance().FocusOwnedWindow();
}

bool TFrmMain::ApplicationMessageFilter(MSG& msg) {
    // Whatever window it is addressed to, and only the exact command.
    if (msg.message == WM_SYSCOMMAND && msg.wParam == SC_RESTORE) {
        RestoreApplication();
        return true;
    }
    if (msg.message != WM_KEYDOWN || !hwnd()) return false;
    const bool inMainWindow = msg.hwnd == hwnd() || IsChild(hwnd(), msg.hwnd);
    // A scan's duplicate boxes can come one after another: Escape in one
    // closes it and ends the scan too.
    if (msg.wParam == VK_ESCAPE && scanning_ && !inMainWindow && IsMessageBox(msg.hwnd)) {
        StopWork();
        return false;
    }
    // The keys of the program and of the main window (main_commands.h); the
    // list's own come as its notifications.
    const auto key = static_cast<UINT>(msg.wParam);
    return RunKey(key, KeyScope::Program, msg.hwnd) ||
           (inMainWindow && RunKey(key, KeyScope::MainWindow, msg.hwnd));
}

}  // namespace tsly
