#include "platform/text.h"

#include <windows.h>

namespace tsly::win {

namespace {
constexpr UINT kCodePage = 932;
}

std::wstring ToWide(std::string_view text) {
    if (text.empty()) return std::wstring();
    const int n = MultiByteToWideChar(kCodePage, 0, text.data(),
                                      static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()),
                        wide.data(), n);
    return wide;
}

std::string FromWide(std::wstring_view text) {
    if (text.empty()) return std::string();
    // No best fit: a character the code page cannot show becomes "?", never
    // a look-alike ("ṡ" as "s") that would name another file.
    const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(),
                                      static_cast<int>(text.size()), nullptr, 0, "?",
                                      nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(),
                        static_cast<int>(text.size()), narrow.data(), n, "?", nullptr);
    return narrow;
}

std::string SystemFoldKey(std::string_view text) {
    std::wstring wide = ToWide(text);
    if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return std::string(reinterpret_cast<const char*>(wide.data()),
                       wide.size() * sizeof(wchar_t));
}

}  // namespace tsly::win
