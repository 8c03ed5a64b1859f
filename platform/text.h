// Conversions between the program's code page 932 texts and the system's
// UTF-16, and the system's own case folding.
#pragma once

#include <string>
#include <string_view>

namespace tsly::win {

std::wstring ToWide(std::string_view text);
// Characters code page 932 cannot show become "?".
std::string FromWide(std::wstring_view text);

// The key under which the system's case-insensitive comparison finds two
// texts equal: the UTF-16 form, upper-cased by the system.
std::string SystemFoldKey(std::string_view text);

}  // namespace tsly::win
