// The UTF-8 helpers and the UTF-8/UTF-16 conversions against brute-force
// references and each other.
//
// Invariants:
// - IsCharBoundary is true exactly where no continuation byte stands, and
//   at the end;
// - LastSeparator, NextSeparator and FindOnBoundary return the last/first
//   match that begins on a boundary, as a search over every offset finds;
// - any bytes become well-formed UTF-16 (ForEachUtf16Unit gives the same
//   units as AppendUtf16), whose UTF-8 comes back as the same UTF-16; text
//   of whole valid characters comes back byte for byte;
// - UTF-16 comes back from UTF-8 unchanged exactly when it is well-formed.
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {
using namespace tsly;
constexpr auto npos = std::string_view::npos;

std::u16string ToUtf16(std::string_view text) {
    std::u16string out;
    utf8::AppendUtf16(text, out);
    return out;
}
std::string ToUtf8(std::u16string_view text) {
    std::string out;
    utf8::AppendUtf8(text, out);
    return out;
}

void CheckConversions(const std::string& text, bool valid, const std::u16string& units) {
    const std::u16string wide = ToUtf16(text);
    std::u16string walked;
    utf8::ForEachUtf16Unit(text, [&](char16_t u) { walked += u; });
    FUZZ_CHECK(walked == wide);
    FUZZ_CHECK(utf8::IsWellFormed(wide));
    const std::string back = ToUtf8(wide);
    FUZZ_CHECK(ToUtf16(back) == wide);
    if (valid) FUZZ_CHECK(back == text);

    FUZZ_CHECK((ToUtf16(ToUtf8(units)) == units) == utf8::IsWellFormed(units));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::string needle = fuzz::AnyText(data, 2);
    const auto from = data.ConsumeIntegralInRange<std::size_t>(0, 64);
    std::u16string units;
    for (std::size_t n = data.ConsumeIntegralInRange<std::size_t>(0, 8); n > 0; --n) {
        // Surrogates, alone or paired, are picked often.
        units += static_cast<char16_t>(data.ConsumeBool()
                                           ? data.ConsumeIntegralInRange<unsigned>(0xD7FF, 0xE000)
                                           : data.ConsumeIntegral<char16_t>());
    }
    const bool whole = data.ConsumeBool();
    const std::string text = whole ? fuzz::WholeText(data, 24) : data.ConsumeRemainingBytesAsString();
    CheckConversions(text, whole, units);

    std::vector<bool> at(text.size() + 1, true);
    for (std::size_t p = 0; p < text.size(); ++p)
        at[p] = (static_cast<unsigned char>(text[p]) & 0xC0) != 0x80;
    for (std::size_t p = 0; p <= text.size() + 1; ++p)
        FUZZ_CHECK(utf8::IsCharBoundary(text, p) == (p <= text.size() && at[p]));

    std::size_t last = npos;
    for (std::size_t p = 0; p < text.size(); ++p)
        if (text[p] == '\\') last = p;
    FUZZ_CHECK(utf8::LastSeparator(text) == last);

    std::size_t next = npos;
    for (std::size_t p = from; p < text.size() && next == npos; ++p)
        if (text[p] == '\\') next = p;
    FUZZ_CHECK(utf8::NextSeparator(text, from) == (from > text.size() ? npos : next));

    std::size_t found = npos;
    if (!needle.empty()) {
        for (std::size_t p = from; p + needle.size() <= text.size() && found == npos; ++p)
            if (at[p] && text.compare(p, needle.size(), needle) == 0)
                found = p;
    }
    FUZZ_CHECK(utf8::FindOnBoundary(text, needle, from) == found);
    return 0;
}
