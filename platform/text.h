// Conversions between the program's UTF-8 texts and the system's UTF-16,
// and the system's own upper-case table.
#pragma once

#include <string>
#include <string_view>

namespace tsly::win {

std::wstring ToWide(std::string_view text);
// A lone surrogate (possible in a file name) has no UTF-8 form and becomes
// U+FFFD; RoundTrips tells whether a name survives the way there and back.
std::string FromWide(std::wstring_view text);
bool RoundTrips(std::wstring_view text);

// The system's upper case of every UTF-16 unit (0x10000 entries), as its
// case-insensitive comparisons of names use it.
const char16_t* SystemUpperTable();

}  // namespace tsly::win
