// The main window's controls: tool bar strip, list and status bar, their
// layout at the window's DPI, and the geometry kept between runs.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/main_window.h"
#include "app/main_window_parts.h"
#include "app/window_placement.h"
#include "platform/ui_font.h"
#include "platform/dpi.h"
#include "resources/resource.h"

namespace tsly {

void TFrmMain::CreateControls() {
    // Made with the fonts and pictures of their DPI, at their sizes for
    // 96 dpi; ApplyDpi scales them.
    LoadDpiResources();
    bars_.CreateToolBar(font_.get(), dpi_);

    listView_.Create(hwnd(), kListId, font_.get());

    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                                 WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE |
                                     CCS_NOPARENTALIGN,
                                 0, 0, 0, 0, hwnd(),
                                 reinterpret_cast<HMENU>(kStatusBarId),
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    // The second part, with the counts of the last cut, takes the rest.
    statusParts_.Attach(statusBar_);
    statusParts_.SetPreferred(kStatusPanel0Width);
    int parts[2] = {kStatusPanel0Width, -1};
    SendMessageW(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SendMessageW(statusBar_, SB_SETTEXTW, 1 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(L""));
    SetStatusText("");

    bars_.CreatePopupMenu();

    ApplyDpi(win::kDesignDpi);
}

void TFrmMain::LoadDpiResources() {
    // Controls that exist take the new fonts before the old ones are deleted.
    win::UniqueFont font = win::MakeUiFont(dpi_);
    for (HWND control : {listView_.hwnd(), statusBar_}) {
        if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    bars_.SetFont(font.get());
    font_ = std::move(font);
    strikeFont_ = win::MakeUiFont(dpi_, win::FontLook::StruckOut);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    const int big = win::Scale(32, dpi_), small = win::Scale(16, dpi_);
    win::UniqueIcon icon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, big, big, 0)));
    win::UniqueIcon smallIcon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, small, small, 0)));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
    icon_ = std::move(icon);
    smallIcon_ = std::move(smallIcon);
    bars_.LoadImages(dpi_);
}

void TFrmMain::ApplyDpi(UINT fromDpi) {
    bars_.Size(dpi_);
    // Whatever columns the list has keep their share of the new DPI.
    columns_.Scale(dpi_, fromDpi);
    statusParts_.Scale(dpi_, fromDpi);
    LayoutChildren();
    RedrawWindow(hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TFrmMain::LayoutChildren() {
    if (!statusBar_ || !bars_.Strip()) return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int strip = win::Scale(kToolBarStripHeight, dpi_);
    MoveWindow(bars_.Strip(), 0, 0, client.right, strip, TRUE);
    // Placed by hand: a status bar that sizes itself is as high as its
    // font asks, and SB_SETMINHEIGHT sets its text area, not the bar.
    const int statusHeight = win::Scale(kStatusBarHeight, dpi_);
    MoveWindow(statusBar_, 0, client.bottom - statusHeight, client.right, statusHeight, TRUE);
    statusParts_.Fit(dpi_);
    // The list fills what the tool bar and status bar leave.
    const int listHeight = std::max<int>(0, client.bottom - strip - statusHeight);
    MoveWindow(listView_.hwnd(), 0, strip, client.right, listHeight, TRUE);
    // The grip and the header's dividers are drawn for the old size.
    RedrawWindow(statusBar_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    RedrawWindow(listView_.hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TFrmMain::RestoreGeometry(int& showCommand) {
    // However the stored values place it, the window opens where it can be
    // reached, at least at its least size.
    struct ReachableAtEnd {
        TFrmMain& main;
        ~ReachableAtEnd() {
            MakeReachable(main.hwnd(), LeastWindowSize(main.hwnd(), main.bars_.ToolBar(), main.dpi_));
        }
    } reachable{*this};
    ReadGeometry(dpi_, [this, &showCommand](Geometry what, int n) {
        RECT r{};
        GetWindowRect(hwnd(), &r);
        const int left = r.left, top = r.top;
        const int width = r.right - r.left, height = r.bottom - r.top;
        switch (what) {
        case Geometry::Height: MoveWindow(hwnd(), left, top, width, n, FALSE); break;
        case Geometry::Left: MoveWindow(hwnd(), n, top, width, height, FALSE); break;
        case Geometry::Top: MoveWindow(hwnd(), left, n, width, height, FALSE); break;
        case Geometry::Width: MoveWindow(hwnd(), left, top, n, height, FALSE); break;
        case Geometry::ListHeight:
        case Geometry::ListWidth:
            // The list always fills the space between the bars, so these two
            // have no visible effect; the layout gives it that space again.
            LayoutChildren();
            break;
        case Geometry::Panel0:
            statusParts_.SetPreferred(n);
            statusParts_.Fit(dpi_);
            break;
        case Geometry::Column: columns_.Restore(n, win::Scale(kDefaultColumnWidth, dpi_)); break;
        case Geometry::ResultColumn:
            listView_.SetColumnWidth(n < -2 ? win::Scale(kDefaultResultColumnWidth, dpi_) : n, 1);
            break;
        case Geometry::Maximized: showCommand = n == 1 ? SW_SHOWMAXIMIZED : SW_SHOW; break;
        case Geometry::Dpi: break;
        }
    });
}

void TFrmMain::FormClose() {
    if (settingsDeleted_) return;
    const RECT r = PlaceToStore(hwnd());
    RECT list{};
    GetWindowRect(listView_.hwnd(), &list);
    WriteGeometry([&](Geometry what) -> int {
        switch (what) {
        case Geometry::Height: return r.bottom - r.top;
        case Geometry::Left: return r.left;
        case Geometry::Top: return r.top;
        case Geometry::Width: return r.right - r.left;
        case Geometry::ListHeight: return list.bottom - list.top;
        case Geometry::ListWidth: return list.right - list.left;
        case Geometry::Panel0: return statusParts_.Preferred();
        case Geometry::Column: return columns_.Chosen();
        case Geometry::ResultColumn: return listView_.ColumnWidth(1);
        case Geometry::Maximized: return IsZoomed(hwnd()) ? 1 : 0;
        case Geometry::Dpi: return static_cast<int>(dpi_);
        }
        return 0;
    });
}

}  // namespace tsly
