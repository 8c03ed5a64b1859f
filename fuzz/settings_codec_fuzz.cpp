// The settings number parser against a plain reference, and the round trip
// of the encoders.
//
// Invariants:
// - ParseNumber agrees with a strtoll/strtoull reference on every text: the
//   accepted language is blanks, then an optional sign and decimal digits
//   within 32 bits, or "$"/"0x" (not "0X") and hexadecimal digits within
//   32 bits;
//   anything else gives the fallback;
// - ParseFlag is ParseNumber with 0/1 as fallback, true when not 0;
// - ParseNumber(EncodeNumber(v)) == v, and EncodeNumber writes "%d";
//   EncodeFlag writes "0"/"1" and ParseFlag reads it back.
#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cstdlib>

#include "core/settings_codec.h"
#include "fuzz/fuzz_support.h"

namespace {
using namespace tsly;

bool AllOf(std::string_view s, bool (*pred)(char)) {
    for (char c : s)
        if (!pred(c)) return false;
    return !s.empty();
}
bool IsDec(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) {
    return IsDec(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::int32_t Reference(std::string_view text, std::int32_t fallback) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    std::string_view hex;
    if (!text.empty() && text.front() == '$') {
        hex = text.substr(1);
    } else if (text.size() >= 2 && text[0] == '0' && text[1] == 'x') {
        hex = text.substr(2);
    } else {
        std::string_view digits = text;
        if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
            digits.remove_prefix(1);
        }
        if (!AllOf(digits, IsDec)) return fallback;
        const std::string copy(text);
        errno = 0;
        const long long v = std::strtoll(copy.c_str(), nullptr, 10);
        if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return fallback;
        return static_cast<std::int32_t>(v);
    }
    if (!AllOf(hex, IsHex)) return fallback;
    const std::string copy(hex);
    errno = 0;
    const unsigned long long v = std::strtoull(copy.c_str(), nullptr, 16);
    if (errno == ERANGE || v > 0xFFFFFFFFull) return fallback;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const auto fallback = data.ConsumeIntegral<std::int32_t>();
    const auto value = data.ConsumeIntegral<std::int32_t>();
    const bool flag = data.ConsumeBool();
    const std::string text = data.ConsumeRemainingBytesAsString();

    FUZZ_CHECK(ParseNumber(text, fallback) == Reference(text, fallback));
    for (bool fb : {false, true}) {
        FUZZ_CHECK(ParseFlag(text, fb) == (Reference(text, fb ? 1 : 0) != 0));
    }

    const std::string encoded = EncodeNumber(value);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%" PRId32, value);
    FUZZ_CHECK(encoded == expected);
    FUZZ_CHECK(ParseNumber(encoded, fallback) == value);
    FUZZ_CHECK(ParseNumber("  " + encoded, fallback) == value);  // blanks lead
    FUZZ_CHECK(ParseNumber(encoded + " ", fallback) == fallback);  // nor trail
    FUZZ_CHECK(EncodeFlag(flag) == (flag ? "1" : "0"));
    FUZZ_CHECK(ParseFlag(EncodeFlag(flag), !flag) == flag);
    return 0;
}
