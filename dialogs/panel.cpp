#include "dialogs/panel.h"

namespace tsly::dialogs {
namespace {

void PaintPanel(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r{};
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    // The outer bevel first, then the inner one inside it.
    if (style & kBevelRaisedOuter) DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST);
    if (style & kBevelLoweredOuter) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (style & kBevelRaisedInner) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK PanelProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        PaintPanel(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // painted whole in WM_PAINT
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        return SendMessageW(GetParent(hwnd), message, wParam, lParam);
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void RegisterPanelClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &PanelProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kPanelClass;
    RegisterClassExW(&wc);  // registering twice fails harmlessly
}

}  // namespace tsly::dialogs
