// The main window's menu bar, its list's pop-up menu and its tool bar strip,
// made from the tables of main_commands.h: they show the commands, and grey
// those that may not run now. Owns the strip's pictures, which the menu
// items draw too.
#pragma once

#include <windows.h>

#include "platform/handles.h"
#include "platform/window.h"

namespace tsly {

class CommandBars {
public:
    // The bars of `window`, which receives their commands.
    explicit CommandBars(const win::Window& window) : window_(window) {}

    // The menu bar, which the window owns and destroys.
    void CreateMenuBar();
    // The pictures of the tool buttons and menu items for `dpi`.
    void LoadImages(UINT dpi);
    // The tool bar strip along the window's top, sized for `dpi`.
    void CreateToolBar(HFONT font, UINT dpi);
    void CreatePopupMenu();
    void SetFont(HFONT font);
    // The separators and the strip's height for `dpi`.
    void Size(UINT dpi);

    HWND Strip() const { return rebar_; }
    HWND ToolBar() const { return toolBar_; }
    // Enables or greys a command's menu items and tool button.
    void Enable(int id, bool enabled);
    // The pop-up menu at a screen point; its commands go to the window.
    void ShowPopupMenu(POINT at) const;
    void MeasureMenuItem(MEASUREITEMSTRUCT* measure, UINT dpi) const;
    void DrawMenuItem(const DRAWITEMSTRUCT* draw) const;
    // A menu of the window is open (its loop takes the keys, Escape too).
    void SetMenuOpen(bool open) { menuOpen_ = open; }
    bool MenuOpen() const { return menuOpen_; }

private:
    const win::Window& window_;
    HWND rebar_ = nullptr;      // CBar1
    HWND toolBar_ = nullptr;    // TBar1
    win::UniqueMenu popupMenu_;  // PopupMenu2 (MainMenu1 belongs to the window)
    win::UniqueImageList imageList_;  // ImageList1
    bool menuOpen_ = false;
};

}  // namespace tsly
