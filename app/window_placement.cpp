#include "app/window_placement.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <limits>

#include "app/main_window_parts.h"
#include "app/preview_counter.h"
#include "app/status_parts.h"
#include "platform/application.h"
#include "platform/dpi.h"
#include "platform/settings_store.h"
#include "platform/text.h"

namespace tsly {
namespace {

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
    {Geometry::Maximized, "MainMaximized", 0, false},
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

// The height of the window's caption bar and menu, down to its client area.
int CaptionHeight(HWND window, const RECT& r) {
    POINT client{0, 0};
    ClientToScreen(window, &client);
    return client.y - r.top;
}

}  // namespace

void ReadGeometry(UINT dpi, const std::function<void(Geometry, int)>& apply) {
    const SettingsStore store(kSettingsKey);
    // Sizes stored at another DPI are scaled to this one.
    int storedDpi = store.ReadNumber("Window", kDpiValue.name, kDpiValue.fallback);
    if (storedDpi <= 0) storedDpi = kDpiValue.fallback;
    for (const GeometryValue& value : kGeometry) {
        if (value.what == Geometry::Dpi) continue;
        constexpr int kMissing = std::numeric_limits<int>::min();
        int n = store.ReadNumber("Window", value.name, kMissing);
        if (n == kMissing) {
            n = win::Scale(value.fallback, dpi);
        } else if (value.size && n > 0) {
            n = MulDiv(n, static_cast<int>(dpi), storedDpi);
        }
        apply(value.what, n);
    }
}

void WriteGeometry(const std::function<int(Geometry)>& valueOf) {
    SettingsStore store(kSettingsKey);
    for (const GeometryValue& value : kGeometry) {
        store.WriteNumber("Window", value.name, valueOf(value.what));
    }
}

SIZE LeastWindowSize(HWND window, HWND toolBar, UINT dpi) {
    SIZE bar{};
    if (toolBar) SendMessageW(toolBar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&bar));
    // The status bar's counts read whole, its left part giving way.
    if (HWND status = GetDlgItem(window, kStatusBarId)) {
        bar.cx = std::max<LONG>(bar.cx, RightPartNeed(status, win::ToWide(WidestCounts()), dpi));
    }
    RECT r{0, 0, bar.cx,
           win::Scale(kToolBarStripHeight, dpi) + win::Scale(kMinListHeight, dpi) +
               win::Scale(kStatusBarHeight, dpi)};
    win::AdjustWindowRectForDpi(r, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), true,
                                static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), dpi);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void MakeReachable(HWND window, SIZE least) {
    RECT r{};
    GetWindowRect(window, &r);
    const int caption = CaptionHeight(window, r);
    r.right = r.left + std::max(r.right - r.left, least.cx);
    r.bottom = r.top + std::max(r.bottom - r.top, least.cy);
    const RECT on = Reachable(r, caption, least.cx);
    SetWindowPos(window, nullptr, on.left, on.top, on.right - on.left, on.bottom - on.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT PlaceToStore(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (IsZoomed(window) && GetWindowPlacement(window, &placement)) {
        // The normal place is in work-area coordinates: moved by the work
        // area's offset on its monitor, it is in screen coordinates.
        const RECT& normal = placement.rcNormalPosition;
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(MonitorFromRect(&normal, MONITOR_DEFAULTTOPRIMARY), &info);
        r = normal;
        OffsetRect(&r, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
    }
    if (!MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) {
        r = Reachable(r, CaptionHeight(window, r), r.right - r.left);
    }
    return r;
}

void MinimizeApplication(HWND window) {
    HWND app = win::Application::Instance().Handle();
    RECT r{};
    GetWindowRect(window, &r);
    SetForegroundWindow(app);
    SetWindowPos(app, HWND_BOTTOM, r.left, r.top, r.right - r.left, 0, SWP_NOZORDER);
    ShowWindow(app, SW_MINIMIZE);
    // Windows hides an owner's windows with it; not every window system does.
    ShowOwnedPopups(app, FALSE);
}

void RestoreApplication() {
    HWND app = win::Application::Instance().Handle();
    SetForegroundWindow(app);
    ShowWindow(app, SW_RESTORE);
    ShowOwnedPopups(app, TRUE);  // brings back what the minimize hid
    SetWindowPos(app, HWND_TOP, 0, 0, 0, 0, SWP_NOZORDER);
    // The application window took the focus while the others were hidden:
    // hand it back.
    win::Application::Instance().FocusOwnedWindow();
}

}  // namespace tsly
