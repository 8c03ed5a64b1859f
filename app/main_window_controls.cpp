// The main window's controls: tool bar strip, menus, list and status bar,
// built from the tables of main_commands.h, and their layout.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/Unit1.h"
#include "app/main_commands.h"
#include "app/main_window_parts.h"
#include "app/resource.h"
#include "platform/text.h"

namespace tsly {

win::UniqueFont MakeMainFont(bool strikeOut) {
    LOGFONTW lf{};
    lf.lfHeight = -12;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfStrikeOut = strikeOut ? TRUE : FALSE;
    lstrcpynW(lf.lfFaceName, L"ＭＳ Ｐゴシック", LF_FACESIZE);
    return win::UniqueFont(CreateFontIndirectW(&lf));
}

void TFrmMain::CreateControls() {
    imageList_.reset(ImageList_LoadImageW(GetModuleHandleW(nullptr),
                                          MAKEINTRESOURCEW(IDB_TOOLIMAGES), 16, 0,
                                          RGB(255, 0, 255), IMAGE_BITMAP,
                                          LR_CREATEDIBSECTION));
    CreateToolBar();

    listView_.Create(hwnd(), kListId, font_.get());

    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                                 WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, hwnd(),
                                 reinterpret_cast<HMENU>(kStatusBarId),
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(statusBar_, SB_SETMINHEIGHT, 19, 0);
    // The second part, with the counts of the last cut, takes the rest.
    int parts[2] = {300, -1};
    SendMessageW(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SendMessageW(statusBar_, SB_SETTEXTW, 1 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(L""));
    SetStatusText("");

    popupMenu_.reset(CreatePopupMenu());
    AppendMenuW(popupMenu_.get(), MF_STRING, kCmdClearList, L"クリア");
    SetMenuDefaultItem(popupMenu_.get(), kCmdClearList, FALSE);

    LayoutChildren();
}

void TFrmMain::CreateToolBar() {
    rebar_ = CreateWindowExW(0, REBARCLASSNAMEW, L"",
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                 RBS_VARHEIGHT | CCS_NODIVIDER | CCS_NOPARENTALIGN |
                                 CCS_NORESIZE,
                             0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(kRebarId),
                             GetModuleHandleW(nullptr), nullptr);
    toolBar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST |
                                   TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER |
                                   CCS_NOPARENTALIGN,
                               0, 0, 0, 0, rebar_, reinterpret_cast<HMENU>(kToolBarId),
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList_.get()));
    // Tool tips go to this window (not the rebar) so that it can answer them.
    if (HWND tips = reinterpret_cast<HWND>(SendMessageW(toolBar_, TB_GETTOOLTIPS, 0, 0))) {
        SendMessageW(tips, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    SendMessageW(toolBar_, TB_SETPARENT, reinterpret_cast<WPARAM>(hwnd()), 0);

    for (const ToolButtonDef& def : kToolButtons) {
        TBBUTTON button{};
        if (!def.caption) {
            button.iBitmap = def.separatorWidth;
            button.fsStyle = BTNS_SEP;
        } else {
            button.iBitmap = def.image;
            button.idCommand = def.id;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
            button.iString = reinterpret_cast<INT_PTR>(def.caption);
        }
        SendMessageW(toolBar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    SendMessageW(toolBar_, TB_SETBUTTONWIDTH, 0, MAKELPARAM(0, 120));
    SendMessageW(toolBar_, TB_AUTOSIZE, 0, 0);

    SIZE size{};
    SendMessageW(toolBar_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
    band.fStyle = RBBS_NOGRIPPER;
    band.hwndChild = toolBar_;
    band.cxMinChild = size.cx;
    band.cyMinChild = std::max<int>(size.cy, 24);
    band.cx = size.cx;
    SendMessageW(rebar_, RB_INSERTBANDW, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&band));
}

void TFrmMain::CreateMenus() {
    HMENU bar = CreateMenu();
    HMENU current = nullptr;
    for (const MenuItemDef& def : kMainMenu) {
        if (def.topLevel) {
            current = CreatePopupMenu();
            AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(current),
                        def.caption);
            continue;
        }
        if (!def.caption) {
            AppendMenuW(current, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        AppendMenuW(current, MF_STRING, def.id, def.caption);
        if (def.image != kNoImage) {
            // The image is drawn from ImageList1 when the menu is shown.
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_BITMAP;
            info.hbmpItem = HBMMENU_CALLBACK;
            SetMenuItemInfoW(current, def.id, FALSE, &info);
        }
    }
    SetMenu(hwnd(), bar);  // the window owns and destroys its menu bar
}

void TFrmMain::LayoutChildren() {
    if (!statusBar_ || !rebar_) return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    MoveWindow(rebar_, 0, 0, client.right, kToolBarStripHeight, TRUE);
    SendMessageW(statusBar_, WM_SIZE, 0, 0);
    RECT status{};
    GetWindowRect(statusBar_, &status);
    const int statusHeight = status.bottom - status.top;
    // The list fills what the tool bar and status bar leave.
    const int listHeight = std::max<int>(0, client.bottom - kToolBarStripHeight - statusHeight);
    MoveWindow(listView_.hwnd(), 0, kToolBarStripHeight, client.right, listHeight, TRUE);
}

void TFrmMain::OnMeasureMenuItem(MEASUREITEMSTRUCT* measure) {
    measure->itemWidth = 16;
    measure->itemHeight = 16;
}

void TFrmMain::OnDrawMenuItem(const DRAWITEMSTRUCT* draw) {
    for (const MenuItemDef& def : kMainMenu) {
        if (!def.topLevel && def.caption && static_cast<UINT>(def.id) == draw->itemID &&
            def.image != kNoImage) {
            const int y = draw->rcItem.top + (draw->rcItem.bottom - draw->rcItem.top - 16) / 2;
            ImageList_Draw(imageList_.get(), def.image, draw->hDC, draw->rcItem.left, y,
                           ILD_TRANSPARENT);
            return;
        }
    }
}

const ActionDef* FindAction(int id) {
    for (const ActionDef& action : kActions) {
        if (action.id == id) return &action;
    }
    return nullptr;
}

}  // namespace tsly
