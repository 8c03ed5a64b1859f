// Helpers for Shift-JIS (code page 932) byte strings.
//
// A character is one or two bytes; the second byte of a double-byte
// character may have the value of '\\' (0x5C), as in 表 (0x95 0x5C), so a
// byte search must only accept matches that begin on a character boundary.
// Positions here are zero-based byte offsets.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tsly::cp932 {

// True when b starts a double-byte character.
constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// True when a character begins at byte offset pos (pos == size counts as
// a boundary: the end of the text).
bool IsCharBoundary(std::string_view text, std::size_t pos);

// Offset of the last '\\' that begins a character, or npos.
std::size_t LastSeparator(std::string_view text);

// Offset of the first occurrence of needle at or after from that begins on
// a character boundary, or npos. An empty needle is never found.
std::size_t FindOnBoundary(std::string_view text, std::string_view needle,
                           std::size_t from = 0);

// Offset of the first '\\' at or after from that begins a character, or
// npos. `from` must itself be a character boundary.
std::size_t NextSeparator(std::string_view text, std::size_t from);

// A case-folded key for equality without regard to letter case: ASCII
// letters and the full-width Latin, Greek and Cyrillic letters of code page
// 932 fold to upper case. (On Windows the list uses the system's own fold,
// which also unifies characters that the code page encodes twice.)
std::string FoldCase(std::string_view text);

}  // namespace tsly::cp932
