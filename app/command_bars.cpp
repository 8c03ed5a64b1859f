#include "app/command_bars.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "app/main_commands.h"
#include "app/main_window_parts.h"
#include "platform/dpi.h"
#include "resources/resource.h"

namespace tsly {

void CommandBars::CreateMenuBar() {
    HMENU bar = CreateMenu();
    HMENU current = nullptr;
    for (const MenuItemDef& def : kMainMenu) {
        if (def.topLevel) {
            current = ::CreatePopupMenu();
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
    SetMenu(window_.hwnd(), bar);  // the window owns and destroys its menu bar
}

void CommandBars::LoadImages(UINT dpi) {
    // Pictures drawn for 16, 24 and 32 pixels.
    struct Art {
        int size;
        int id;
    };
    constexpr Art kArt[] = {
        {32, IDB_TOOLIMAGES_32}, {24, IDB_TOOLIMAGES_24}, {16, IDB_TOOLIMAGES}};
    const int size = win::PictureSize(dpi);
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

void CommandBars::CreateToolBar(HFONT font, UINT dpi) {
    rebar_ = CreateWindowExW(0, REBARCLASSNAMEW, L"",
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                 RBS_VARHEIGHT | CCS_NODIVIDER | CCS_NOPARENTALIGN |
                                 CCS_NORESIZE,
                             0, 0, 0, 0, window_.hwnd(), reinterpret_cast<HMENU>(kRebarId),
                             GetModuleHandleW(nullptr), nullptr);
    toolBar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST |
                                   TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER |
                                   CCS_NOPARENTALIGN,
                               0, 0, 0, 0, rebar_, reinterpret_cast<HMENU>(kToolBarId),
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList_.get()));
    // Tool tips go to the window (not the rebar) so that it can answer them.
    if (HWND tips = reinterpret_cast<HWND>(SendMessageW(toolBar_, TB_GETTOOLTIPS, 0, 0))) {
        SendMessageW(tips, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    SendMessageW(toolBar_, TB_SETPARENT, reinterpret_cast<WPARAM>(window_.hwnd()), 0);

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
    Size(dpi);
}

void CommandBars::CreatePopupMenu() {
    popupMenu_.reset(::CreatePopupMenu());
    for (const PopupItemDef& def : kPopupMenu) {
        AppendMenuW(popupMenu_.get(), def.caption ? MF_STRING : MF_SEPARATOR, def.id, def.caption);
    }
    SetMenuDefaultItem(popupMenu_.get(), kPopupMenu[0].id, FALSE);
}

void CommandBars::SetFont(HFONT font) {
    if (!toolBar_) return;
    SendMessageW(toolBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (HWND tips = reinterpret_cast<HWND>(SendMessageW(toolBar_, TB_GETTOOLTIPS, 0, 0))) {
        SendMessageW(tips, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

void CommandBars::Size(UINT dpi) {
    const int buttons = static_cast<int>(SendMessageW(toolBar_, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < buttons && i < static_cast<int>(kToolButtons.size()); ++i) {
        if (kToolButtons[i].caption) continue;
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_SIZE;
        info.cx = static_cast<WORD>(win::Scale(kToolButtons[i].separatorWidth, dpi));
        SendMessageW(toolBar_, TB_SETBUTTONINFOW, i, reinterpret_cast<LPARAM>(&info));
    }
    SendMessageW(toolBar_, TB_SETBUTTONWIDTH, 0, MAKELPARAM(0, win::Scale(120, dpi)));
    SendMessageW(toolBar_, TB_AUTOSIZE, 0, 0);

    SIZE size{};
    SendMessageW(toolBar_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE;
    band.cxMinChild = size.cx;
    band.cyMinChild = std::max<int>(size.cy, win::Scale(24, dpi));
    band.cx = size.cx;
    SendMessageW(rebar_, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
    // The band fills the strip: the rebar leaves what lies below its bands
    // unpainted, a dark line on many screens.
    const int gap = win::Scale(kToolBarStripHeight, dpi) -
                    static_cast<int>(SendMessageW(rebar_, RB_GETBARHEIGHT, 0, 0));
    if (gap != 0) {
        band.fMask = RBBIM_CHILDSIZE;
        band.cyMinChild = std::max<int>(1, static_cast<int>(band.cyMinChild) + gap);
        SendMessageW(rebar_, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
    }
}

void CommandBars::Enable(int id, bool enabled) {
    for (HMENU menu : {GetMenu(window_.hwnd()), popupMenu_.get()}) {
        if (menu) EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    if (SendMessageW(toolBar_, TB_COMMANDTOINDEX, id, 0) >= 0) {
        SendMessageW(toolBar_, TB_ENABLEBUTTON, id, MAKELPARAM(enabled, 0));
    }
}

void CommandBars::ShowPopupMenu(POINT at) const {
    TrackPopupMenu(popupMenu_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0,
                   window_.hwnd(), nullptr);
}

void CommandBars::MeasureMenuItem(MEASUREITEMSTRUCT* measure, UINT dpi) const {
    int width = 16, height = 16;
    ImageList_GetIconSize(imageList_.get(), &width, &height);
    // The picture and the room before the item's text.
    measure->itemWidth = static_cast<UINT>(width + win::PictureGap(dpi));
    measure->itemHeight = static_cast<UINT>(height);
}

void CommandBars::DrawMenuItem(const DRAWITEMSTRUCT* draw) const {
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
