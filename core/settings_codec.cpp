#include "core/settings_codec.h"

#include <cstdint>
#include <limits>

namespace tsly {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::int32_t ParseNumber(std::string_view text, std::int32_t fallback) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    text.remove_prefix(i);
    if (text.empty()) return fallback;

    // Hexadecimal: "$" or "0x" and up to eight digits, a 32-bit pattern.
    std::size_t prefix = 0;
    if (text[0] == '$') {
        prefix = 1;
    } else if (text.size() >= 2 && text[0] == '0' && text[1] == 'x') {  // "0X" is no prefix
        prefix = 2;
    }
    if (prefix != 0) {
        const std::string_view hex = text.substr(prefix);
        if (hex.empty()) return fallback;
        std::uint64_t value = 0;
        for (char c : hex) {
            const int d = HexDigit(c);
            if (d < 0) return fallback;
            value = value * 16 + static_cast<unsigned>(d);
            if (value > 0xFFFFFFFFu) return fallback;
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }

    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return fallback;
    const std::int64_t limit =
        negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                 : std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return fallback;
        value = value * 10 + (c - '0');
        if (value > limit) return fallback;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

bool ParseFlag(std::string_view text, bool fallback) {
    return ParseNumber(text, fallback ? 1 : 0) != 0;
}

std::string EncodeNumber(std::int32_t value) { return std::to_string(value); }

std::string EncodeFlag(bool value) { return value ? "1" : "0"; }

}  // namespace tsly
