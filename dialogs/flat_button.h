// A flat picture button: a picture left of its caption, no border until the
// mouse is over it, the pointing hand as cursor. It never takes the keyboard
// focus. A click, or BM_CLICK, sends WM_COMMAND with BN_CLICKED to its
// parent, as a push button does.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/handles.h"
#include "platform/window.h"

namespace tsly::dialogs {

class FlatButton final : public win::Window {
public:
    // `glyphs` is a bitmap resource of 16x16 pictures, the normal one first
    // and, when given, the greyed one second; 0 for none. Silver is
    // transparent.
    void Create(HWND parent, int id, const RECT& bounds, const char* caption, int glyphs,
                HFONT font);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint();
    void SetHot(bool hot);
    void Click();

    win::UniqueImageList glyphs_;
    HFONT font_ = nullptr;
    bool hot_ = false;
    bool pressed_ = false;
};

}  // namespace tsly::dialogs
