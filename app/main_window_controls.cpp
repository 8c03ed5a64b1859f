// The main window's controls: tool bar strip, menus, list and status bar,
// built from the tables of main_commands.h, and their layout.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/Unit1.h"
#include "app/main_commands.h"
#include "app/main_window_parts.h"
#include "platform/ui_font.h"
#include "platform/dpi.h"
#include "platform/text.h"
#include "resources/resource.h"

namespace tsly {

int TFrmMain::Scaled(int size96) const { return win::Scale(size96, dpi_); }

void TFrmMain::CreateControls() {
    // Made with the fonts and pictures of their DPI, at their sizes for
    // 96 dpi; ApplyDpi scales them.
    LoadDpiResources();
    CreateToolBar();

    listView_.Create(hwnd(), kListId, font_.get());

    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                                 WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE |
                                     CCS_NOPARENTALIGN,
                                 0, 0, 0, 0, hwnd(),
                                 reinterpret_cast<HMENU>(kStatusBarId),
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    // The second part, with the counts of the last cut, takes the rest.
    int parts[2] = {kStatusPanel0Width, -1};
    SendMessageW(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SendMessageW(statusBar_, SB_SETTEXTW, 1 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(L""));
    SetStatusText("");

    popupMenu_.reset(CreatePopupMenu());
    for (const PopupItemDef& def : kPopupMenu) {
        AppendMenuW(popupMenu_.get(), def.caption ? MF_STRING : MF_SEPARATOR, def.id, def.caption);
    }
    SetMenuDefaultItem(popupMenu_.get(), kPopupMenu[0].id, FALSE);

    ApplyDpi(win::kDesignDpi);
}

void TFrmMain::LoadDpiResources() {
    // Controls that exist take the new fonts before the old ones are deleted.
    win::UniqueFont font = win::MakeUiFont(dpi_);
    for (HWND control : {listView_.hwnd(), toolBar_, statusBar_}) {
        if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    if (toolBar_) {
        if (HWND tips = reinterpret_cast<HWND>(SendMessageW(toolBar_, TB_GETTOOLTIPS, 0, 0))) {
            SendMessageW(tips, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        }
    }
    font_ = std::move(font);
    strikeFont_ = win::MakeUiFont(dpi_, win::FontLook::StruckOut);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    win::UniqueIcon icon(static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, Scaled(32), Scaled(32), 0)));
    win::UniqueIcon smallIcon(static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, Scaled(16), Scaled(16), 0)));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
    icon_ = std::move(icon);
    smallIcon_ = std::move(smallIcon);
    LoadToolImages();
}

void TFrmMain::ApplyDpi(UINT fromDpi) {
    SizeToolBar();

    // Whatever columns the list has keep their share of the new DPI.
    TakeUsersColumnWidth();
    if (columnWidth_ > 0) {
        columnWidth_ = MulDiv(columnWidth_, static_cast<int>(dpi_), static_cast<int>(fromDpi));
    }
    HWND list = listView_.hwnd();
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int i = 0; i < columns; ++i) {
        const int width = ListView_GetColumnWidth(list, i);
        ListView_SetColumnWidth(list, i, MulDiv(width, static_cast<int>(dpi_),
                                                static_cast<int>(fromDpi)));
    }
    shownColumnWidth_ = ListView_GetColumnWidth(list, 0);
    RECT panel{};
    SendMessageW(statusBar_, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&panel));
    const int panel0 = MulDiv(panel.right - panel.left, static_cast<int>(dpi_),
                              static_cast<int>(fromDpi));
    int parts[2] = {panel0, -1};
    SendMessageW(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    LayoutChildren();
    RedrawWindow(hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TFrmMain::LoadToolImages() {
    // Pictures drawn for 16, 24 and 32 pixels.
    struct Art {
        int size;
        int id;
    };
    constexpr Art kArt[] = {
        {32, IDB_TOOLIMAGES_32}, {24, IDB_TOOLIMAGES_24}, {16, IDB_TOOLIMAGES}};
    const int size = win::PictureSize(dpi_);
    const Art* chosen = std::find_if(std::begin(kArt), std::end(kArt),
                                     [size](const Art& art) { return art.size == size; });
    win::UniqueImageList images(ImageList_LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(chosen->id), chosen->size, 0,
        RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION));
    if (toolBar_) {
        SendMessageW(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
    }
    imageList_ = std::move(images);
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
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_STYLE;
    band.fStyle = RBBS_NOGRIPPER;
    band.hwndChild = toolBar_;
    SendMessageW(rebar_, RB_INSERTBANDW, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&band));
    SizeToolBar();
}

void TFrmMain::SizeToolBar() {
    const int buttons = static_cast<int>(SendMessageW(toolBar_, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < buttons && i < static_cast<int>(kToolButtons.size()); ++i) {
        if (kToolButtons[i].caption) continue;
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_SIZE;
        info.cx = static_cast<WORD>(Scaled(kToolButtons[i].separatorWidth));
        SendMessageW(toolBar_, TB_SETBUTTONINFOW, i, reinterpret_cast<LPARAM>(&info));
    }
    SendMessageW(toolBar_, TB_SETBUTTONWIDTH, 0, MAKELPARAM(0, Scaled(120)));
    SendMessageW(toolBar_, TB_AUTOSIZE, 0, 0);

    SIZE size{};
    SendMessageW(toolBar_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE;
    band.cxMinChild = size.cx;
    band.cyMinChild = std::max<int>(size.cy, Scaled(24));
    band.cx = size.cx;
    SendMessageW(rebar_, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
    // The band fills the strip: the rebar leaves what lies below its bands
    // unpainted, a dark line on many screens.
    const int gap = Scaled(kToolBarStripHeight) -
                    static_cast<int>(SendMessageW(rebar_, RB_GETBARHEIGHT, 0, 0));
    if (gap != 0) {
        band.fMask = RBBIM_CHILDSIZE;
        band.cyMinChild = std::max<int>(1, static_cast<int>(band.cyMinChild) + gap);
        SendMessageW(rebar_, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
    }
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
        // The system draws the text after a tab at the item's right.
        std::wstring caption = def.caption;
        if (const wchar_t* key = KeyTextOf(def.id)) caption += std::wstring(L"\t") + key;
        AppendMenuW(current, MF_STRING, def.id, caption.c_str());
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
    const int strip = Scaled(kToolBarStripHeight);
    MoveWindow(rebar_, 0, 0, client.right, strip, TRUE);
    // Placed by hand: a status bar that sizes itself is as high as its
    // font asks, and SB_SETMINHEIGHT sets its text area, not the bar.
    const int statusHeight = Scaled(kStatusBarHeight);
    MoveWindow(statusBar_, 0, client.bottom - statusHeight, client.right, statusHeight, TRUE);
    // The list fills what the tool bar and status bar leave.
    const int listHeight = std::max<int>(0, client.bottom - strip - statusHeight);
    MoveWindow(listView_.hwnd(), 0, strip, client.right, listHeight, TRUE);
    // The grip and the header's dividers are drawn for the old size.
    RedrawWindow(statusBar_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    RedrawWindow(listView_.hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TFrmMain::OnMeasureMenuItem(MEASUREITEMSTRUCT* measure) {
    int width = 16, height = 16;
    ImageList_GetIconSize(imageList_.get(), &width, &height);
    // The picture and the room before the item's text.
    measure->itemWidth = static_cast<UINT>(width + win::PictureGap(dpi_));
    measure->itemHeight = static_cast<UINT>(height);
}

void TFrmMain::OnDrawMenuItem(const DRAWITEMSTRUCT* draw) {
    for (const MenuItemDef& def : kMainMenu) {
        if (!def.topLevel && def.caption && static_cast<UINT>(def.id) == draw->itemID &&
            def.image != kNoImage) {
            int width = 16, height = 16;
            ImageList_GetIconSize(imageList_.get(), &width, &height);
            const int y =
                draw->rcItem.top + (draw->rcItem.bottom - draw->rcItem.top - height) / 2;
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
