// Helpers for the program's UTF-8 texts.
//
// In UTF-8 a byte below 0x80 is always the character it looks like, so a
// '\\' byte is always a separator; a search must still only accept matches
// that begin on a character boundary, never inside a multi-byte sequence.
// Positions here are zero-based byte offsets.
#pragma once

#include <cstddef>
#include <string_view>

namespace tsly::utf8 {

// True when b continues a multi-byte sequence (10xxxxxx).
constexpr bool IsContinuationByte(unsigned char b) { return (b & 0xC0) == 0x80; }

// True when a character begins at byte offset pos (pos == size counts as
// a boundary: the end of the text).
bool IsCharBoundary(std::string_view text, std::size_t pos);

// Offset of the last '\\', or npos.
std::size_t LastSeparator(std::string_view text);

// Offset of the first occurrence of needle at or after from that begins on
// a character boundary, or npos. An empty needle is never found.
std::size_t FindOnBoundary(std::string_view text, std::string_view needle,
                           std::size_t from = 0);

// Offset of the first '\\' at or after from, or npos.
std::size_t NextSeparator(std::string_view text, std::size_t from);

}  // namespace tsly::utf8
