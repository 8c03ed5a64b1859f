// How settings values are written as text and read back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tsly {

// Parses a whole text as a signed 32-bit number: leading blanks, then an
// optional sign and decimal digits, or "$"/"0x" and hexadecimal digits taken
// as a 32-bit pattern. Anything else gives `fallback`.
std::int32_t ParseNumber(std::string_view text, std::int32_t fallback);
bool ParseFlag(std::string_view text, bool fallback);

std::string EncodeNumber(std::int32_t value);
std::string EncodeFlag(bool value);

}  // namespace tsly
