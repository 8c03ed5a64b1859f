#include "platform/text.h"

#include <windows.h>

#include <vector>

#include "core/utf8.h"

namespace tsly::win {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

// The conversions run for every name a scan meets: done here rather than
// through the system's calls, which cost several times as much under load.
std::wstring ToWide(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    utf8::ForEachUtf16Unit(text, [&wide](char16_t unit) { wide.push_back(static_cast<wchar_t>(unit)); });
    return wide;
}

std::string FromWide(std::wstring_view text) {
    std::string narrow;
    utf8::AppendUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()),
                                          text.size()),
                     narrow);
    return narrow;
}

bool RoundTrips(std::wstring_view text) {
    return utf8::IsWellFormed(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

const char16_t* SystemUpperTable() {
    // Asked for once. The system folds unit by unit, so a table answers as
    // it would.
    static const std::vector<char16_t> table = [] {
        std::vector<wchar_t> t(0x10000);
        for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<wchar_t>(i);
        // Zero and the surrogates stay as they are.
        CharUpperBuffW(t.data() + 1, 0xD800 - 1);
        CharUpperBuffW(t.data() + 0xE000, 0x10000 - 0xE000);
        return std::vector<char16_t>(t.begin(), t.end());
    }();
    return table.data();
}

}  // namespace tsly::win
