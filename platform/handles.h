// One owner for every system handle: move-only holders that close on
// destruction, so that no path can leak or double-close a handle.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <type_traits>

namespace tsly::win {

struct RegKeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueRegKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegKeyCloser>;

struct FindCloser {
    void operator()(HANDLE h) const { FindClose(h); }
};
// Holds a search handle; INVALID_HANDLE_VALUE must be turned into nullptr
// before it is stored here.
using UniqueFind = std::unique_ptr<void, FindCloser>;

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
// Holds a kernel handle; INVALID_HANDLE_VALUE is never stored here.
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct ChangeNotificationCloser {
    void operator()(HANDLE h) const { FindCloseChangeNotification(h); }
};
// Holds a folder's change notification; INVALID_HANDLE_VALUE is never
// stored here.
using UniqueChangeNotification = std::unique_ptr<void, ChangeNotificationCloser>;

struct GdiObjectDeleter {
    void operator()(HGDIOBJ obj) const { DeleteObject(obj); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

struct IconDestroyer {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

struct MenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

struct ImageListDestroyer {
    void operator()(HIMAGELIST list) const;
};
using UniqueImageList =
    std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDestroyer>;

struct WindowDestroyer {
    void operator()(HWND hwnd) const { DestroyWindow(hwnd); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct ComReleaser {
    void operator()(IUnknown* unknown) const { unknown->Release(); }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComReleaser>;

struct ItemIdFreer {
    void operator()(ITEMIDLIST* pidl) const { CoTaskMemFree(pidl); }
};
// A shell item identifier list, freed with the task allocator.
using UniqueIdList = std::unique_ptr<ITEMIDLIST, ItemIdFreer>;

// COM for the lifetime of the object, when it could be started.
class ComScope {
public:
    ComScope() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() { if (ok_) CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_;
};

}  // namespace tsly::win
