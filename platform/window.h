// A small window base class: the window procedure binds `this` at
// WM_NCCREATE and forwards every message to HandleMessage. Exceptions stop
// at that boundary and are shown by the application's error report.
#pragma once

#include <windows.h>

namespace tsly::win {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }

    // Registers a class whose procedure forwards to Window objects. Names and
    // titles are UTF-8; the windows are Unicode windows.
    static void RegisterClass(const char* className, HICON icon, HBRUSH background,
                              UINT style = CS_DBLCLKS);

protected:
    // Creates the window; `this` receives its messages from WM_NCCREATE on.
    HWND CreateWindowFor(DWORD exStyle, const char* className, const char* title,
                         DWORD style, int x, int y, int width, int height,
                         HWND parent, HMENU menu);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The last message the window receives; hwnd() is null afterwards.
    virtual void OnFinalMessage() {}

    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam,
                                      LPARAM lParam);
    HWND hwnd_ = nullptr;
};

}  // namespace tsly::win
