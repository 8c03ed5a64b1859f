#include "platform/window.h"

#include <exception>

#include "platform/application.h"
#include "platform/text.h"

namespace tsly::win {

Window::~Window() {
    if (hwnd_) {
        // Detach first: the destroy messages must not reach a half-destroyed
        // object.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Window::RegisterClass(const char* className, HICON icon, HBRUSH background,
                           UINT style) {
    const std::wstring name = ToWide(className);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = background;
    wc.lpszClassName = name.c_str();
    RegisterClassExW(&wc);  // registering twice fails harmlessly
}

HWND Window::CreateWindowFor(DWORD exStyle, const char* className, const char* title,
                             DWORD style, int x, int y, int width, int height,
                             HWND parent, HMENU menu) {
    return CreateWindowExW(exStyle, ToWide(className).c_str(), ToWide(title).c_str(), style, x, y, width, height, parent,
                           menu, GetModuleHandleW(nullptr), this);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultHandling(message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& e) {
        Application::Instance().ReportError(e.what());
    } catch (...) {
        Application::Instance().ReportError("予期しないエラーが発生しました");
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnFinalMessage();
    }
    return result;
}

}  // namespace tsly::win
