// Helpers for the program's UTF-8 texts.
//
// In UTF-8 a byte below 0x80 is always the character it looks like, so a
// '\\' byte is always a separator; a search must still only accept matches
// that begin on a character boundary, never inside a multi-byte sequence.
// Positions here are zero-based byte offsets.
#pragma once

#include <cstddef>
#include <string>
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

// The code point of the sequence at byte i, and its length in bytes. A byte
// that starts no valid sequence (overlong, surrogate, cut short, past
// U+10FFFF) gives U+FFFD and length 1.
inline char32_t DecodeAt(std::string_view text, std::size_t i, std::size_t& length) {
    constexpr char32_t kReplacement = 0xFFFD;
    const auto b0 = static_cast<unsigned char>(text[i]);
    length = 1;
    if (b0 < 0x80) return b0;
    std::size_t n = 0;
    char32_t c = 0;
    char32_t least = 0;
    if ((b0 & 0xE0) == 0xC0) {
        n = 2, c = b0 & 0x1F, least = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        n = 3, c = b0 & 0x0F, least = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        n = 4, c = b0 & 0x07, least = 0x10000;
    } else {
        return kReplacement;
    }
    if (i + n > text.size()) return kReplacement;
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if (!IsContinuationByte(b)) return kReplacement;
        c = (c << 6) | (b & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
    length = n;
    return c;
}

// Calls unit(char16_t) for each UTF-16 unit of UTF-8 text, without making
// the UTF-16 text.
template <typename Unit>
void ForEachUtf16Unit(std::string_view utf8, Unit unit) {
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {  // the common case: no decoding
            unit(static_cast<char16_t>(b));
            ++i;
            continue;
        }
        std::size_t length = 1;
        const char32_t c = DecodeAt(utf8, i, length);
        i += length;
        if (c >= 0x10000) {
            unit(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            unit(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            unit(static_cast<char16_t>(c));
        }
    }
}

// Conversions between UTF-8 and UTF-16, appended to `out`. A byte that
// starts no valid sequence, or a lone surrogate, becomes U+FFFD, as the
// system's own conversions do.
void AppendUtf16(std::string_view utf8, std::u16string& out);
void AppendUtf8(std::u16string_view utf16, std::string& out);

// True when UTF-16 text holds no lone surrogate, so that it survives the
// way to UTF-8 and back unchanged.
bool IsWellFormed(std::u16string_view utf16);

}  // namespace tsly::utf8
