#include "platform/text.h"

#include <windows.h>

namespace tsly::win {

std::wstring ToWide(std::string_view text) {
    if (text.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(),
                                      static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                        wide.data(), n);
    return wide;
}

std::string FromWide(std::wstring_view text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                        narrow.data(), n, nullptr, nullptr);
    return narrow;
}

bool RoundTrips(std::wstring_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                ++i;
                continue;
            }
            return false;
        }
        if (c >= 0xDC00 && c <= 0xDFFF) return false;
    }
    return true;
}

std::string SystemFoldKey(std::string_view text) {
    std::wstring wide = ToWide(text);
    if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return std::string(reinterpret_cast<const char*>(wide.data()),
                       wide.size() * sizeof(wchar_t));
}

}  // namespace tsly::win
