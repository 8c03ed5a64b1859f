#include "core/cp932.h"

#include <array>
#include <cstdint>

namespace tsly::cp932 {
namespace {

unsigned char Byte(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

}  // namespace

bool IsCharBoundary(std::string_view text, std::size_t pos) {
    if (pos > text.size()) return false;
    // Walk from the start: a trailing byte can look like anything, so only a
    // forward scan knows where characters begin.
    std::size_t i = 0;
    while (i < pos) i += IsLeadByte(Byte(text, i)) ? 2 : 1;
    return i == pos;
}

std::size_t NextSeparator(std::string_view text, std::size_t from) {
    for (std::size_t i = from; i < text.size();) {
        const unsigned char b = Byte(text, i);
        if (b == '\\') return i;
        i += IsLeadByte(b) ? 2 : 1;
    }
    return std::string_view::npos;
}

std::size_t LastSeparator(std::string_view text) {
    std::size_t last = std::string_view::npos;
    for (std::size_t at = NextSeparator(text, 0); at != std::string_view::npos;
         at = NextSeparator(text, at + 1)) {
        last = at;
    }
    return last;
}

std::size_t FindOnBoundary(std::string_view text, std::string_view needle,
                           std::size_t from) {
    if (needle.empty()) return std::string_view::npos;
    std::size_t i = 0;
    while (i < from && i < text.size()) i += IsLeadByte(Byte(text, i)) ? 2 : 1;
    for (; i + needle.size() <= text.size();
         i += IsLeadByte(Byte(text, i)) ? 2 : 1) {
        if (text.compare(i, needle.size(), needle) == 0) return i;
    }
    return std::string_view::npos;
}

namespace {

struct FoldRange {
    std::uint16_t first;  // first code of the lower-case run
    std::uint16_t last;
    std::int16_t delta;   // added to reach the upper-case (or canonical) code
};

// Lower-case runs of the double-byte letters. Sorted by first code.
constexpr std::array<FoldRange, 4> kDoubleByteFolds{{
    {0x8281, 0x829A, -0x21},  // ａ-ｚ -> Ａ-Ｚ
    {0x83BF, 0x83D6, -0x20},  // α-ω -> Α-Ω
    {0x8470, 0x847E, -0x30},  // а-н -> А-Н
    {0x8480, 0x8491, -0x31},  // о-я -> О-Я (0x847F is unused)
}};

std::uint16_t FoldDoubleByte(std::uint16_t code) {
    for (const FoldRange& r : kDoubleByteFolds) {
        if (code >= r.first && code <= r.last) {
            return static_cast<std::uint16_t>(code + r.delta);
        }
    }
    return code;
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char b = Byte(text, i);
        if (IsLeadByte(b) && i + 1 < text.size()) {
            const auto code = FoldDoubleByte(
                static_cast<std::uint16_t>(b << 8 | Byte(text, i + 1)));
            out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
            i += 2;
        } else {
            out.push_back(b >= 'a' && b <= 'z' ? static_cast<char>(b - 0x20)
                                               : static_cast<char>(b));
            ++i;
        }
    }
    return out;
}

}  // namespace tsly::cp932
