// The main window's state between runs and while minimized: the geometry
// kept in the registry, and minimizing and restoring through the
// application window.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <limits>
#include <string_view>

#include "app/Unit1.h"
#include "app/main_commands.h"
#include "app/main_window_parts.h"
#include "platform/application.h"
#include "platform/dpi.h"
#include "platform/settings_store.h"

namespace tsly {
namespace {

// The stored geometry values, in the order they are read and written.
// Sizes are pixels at the stored DPI; positions are screen pixels.
enum class Geometry {
    Height, Left, Top, Width, ListHeight, ListWidth, Panel0, Column, ResultColumn, Dpi
};
struct GeometryValue {
    Geometry what;
    const char* name;
    int fallback;  // at 96 dpi
    bool size;     // follows the DPI
};
constexpr GeometryValue kGeometry[] = {
    {Geometry::Height, "MainHeight", 327, true},     {Geometry::Left, "MainLeft", 0, false},
    {Geometry::Top, "MainTop", 0, false},            {Geometry::Width, "MainWidth", 528, true},
    {Geometry::ListHeight, "Column(0)", 236, true},  {Geometry::ListWidth, "Column(1)", 520, true},
    {Geometry::Panel0, "Column(2)", 300, true},      {Geometry::Column, "Column(3)", 400, true},
    // Newer than the rest; an older copy of the program ignores them. A
    // geometry without its DPI was stored at 96 dpi.
    {Geometry::ResultColumn, "ResultColumnWidth", kDefaultResultColumnWidth, true},
    {Geometry::Dpi, "MainDpi", static_cast<int>(win::kDesignDpi), false},
};
constexpr const GeometryValue& kDpiValue = kGeometry[std::size(kGeometry) - 1];

// Where a window rectangle can be reached: its whole caption bar (the
// `caption` pixels at its top) on the work area of the nearest monitor,
// narrowed only where it is wider than that work area.
RECT Reachable(RECT r, int caption, LONG minWidth) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return r;
    const RECT& work = info.rcWork;
    const LONG height = r.bottom - r.top;
    const LONG width = std::max(minWidth, std::min(r.right - r.left, work.right - work.left));
    const LONG left = std::max(work.left, std::min(r.left, work.right - width));
    const LONG top = std::max(work.top, std::min(r.top, work.bottom - caption));
    return RECT{left, top, left + width, top + height};
}

bool IsMessageBox(HWND hwnd) {
    wchar_t name[16] = {};
    GetClassNameW(GetAncestor(hwnd, GA_ROOT), name, 16);
    return std::wstring_view(name) == L"#32770";
}

}  // namespace

SIZE TFrmMain::MinimumSize() const {
    // The tool bar whole, and the list's heading and a row between the bars.
    SIZE bar{};
    if (toolBar_) SendMessageW(toolBar_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&bar));
    RECT r{0, 0, bar.cx,
           Scaled(kToolBarStripHeight) + Scaled(kMinListHeight) + Scaled(kStatusBarHeight)};
    win::AdjustWindowRectForDpi(r, static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_STYLE)), true,
                                static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_EXSTYLE)), dpi_);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void TFrmMain::MakeReachable() {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    POINT client{0, 0};
    ClientToScreen(hwnd(), &client);
    const SIZE least = MinimumSize();
    r.right = r.left + std::max(r.right - r.left, least.cx);
    r.bottom = r.top + std::max(r.bottom - r.top, least.cy);
    const RECT on = Reachable(r, client.y - r.top, least.cx);
    SetWindowPos(hwnd(), nullptr, on.left, on.top, on.right - on.left, on.bottom - on.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFrmMain::RestoreGeometry() {
    // However the stored values place it, the window opens where it can be
    // reached, at least at its least size.
    struct ReachableAtEnd {
        TFrmMain& main;
        ~ReachableAtEnd() { main.MakeReachable(); }
    } reachable{*this};
    const SettingsStore store(kSettingsKey);
    // Sizes stored at another DPI are scaled to this one.
    int storedDpi = store.ReadNumber("Window", kDpiValue.name, kDpiValue.fallback);
    if (storedDpi <= 0) storedDpi = kDpiValue.fallback;
    for (const GeometryValue& value : kGeometry) {
        if (value.what == Geometry::Dpi) continue;
        constexpr int kMissing = std::numeric_limits<int>::min();
        int n = store.ReadNumber("Window", value.name, kMissing);
        if (n == kMissing) {
            n = Scaled(value.fallback);
        } else if (value.size && n > 0) {
            n = MulDiv(n, static_cast<int>(dpi_), storedDpi);
        }
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
            columnWidth_ = n < -2 ? Scaled(kDefaultColumnWidth) : n;
            shownColumnWidth_ = -1;  // not shown yet: nothing the user did
            listView_.SetColumnWidth(columnWidth_);
            break;
        case Geometry::ResultColumn:
            listView_.SetColumnWidth(n < -2 ? Scaled(kDefaultResultColumnWidth) : n, 1);
            break;
        case Geometry::Dpi:
            break;
        }
    }
}

void TFrmMain::TakeUsersColumnWidth() {
    const int now = listView_.ColumnWidth(0);
    if (shownColumnWidth_ >= 0 && now != shownColumnWidth_) columnWidth_ = now;
}

void TFrmMain::FitColumns() {
    TakeUsersColumnWidth();
    HWND list = listView_.hwnd();
    RECT client{};
    GetClientRect(list, &client);
    // Room is kept for a vertical scroll bar, so that one appearing with
    // more rows does not bring a horizontal one.
    const int width = std::max<int>(0, client.right - GetSystemMetrics(SM_CXVSCROLL));
    const int minResult = Scaled(kMinResultColumnWidth);
    // The width the user chose is shown as far as it fits, and kept.
    int chosen = columnWidth_;
    if (chosen < 0) {
        listView_.SetColumnWidth(chosen, 0);
        chosen = listView_.ColumnWidth(0);
    }
    const int file = std::max(0, std::min(chosen, width - minResult));
    listView_.SetColumnWidth(file, 0);
    listView_.SetColumnWidth(std::max(minResult, width - file), 1);
    shownColumnWidth_ = listView_.ColumnWidth(0);
}

void TFrmMain::FormClose() {
    if (settingsDeleted_) return;
    RECT r{};
    GetWindowRect(hwnd(), &r);
    // A window off every monitor is stored where the next start shows it.
    if (!MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) {
        POINT client{0, 0};
        ClientToScreen(hwnd(), &client);
        r = Reachable(r, client.y - r.top, r.right - r.left);
    }
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
        case Geometry::Column:
            TakeUsersColumnWidth();
            n = columnWidth_;
            break;
        case Geometry::ResultColumn: n = listView_.ColumnWidth(1); break;
        case Geometry::Dpi: n = static_cast<int>(dpi_); break;
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
