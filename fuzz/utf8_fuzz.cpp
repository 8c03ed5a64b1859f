// The code page 932 helpers against brute-force references.
//
// Invariants:
// - IsCharBoundary agrees with a walk that marks where characters begin;
// - LastSeparator, NextSeparator and FindOnBoundary return the last/first
//   match that begins on a boundary, as a search over every offset finds;
// - FoldCase keeps the length and the character boundaries, folds ASCII
//   letters to upper case, leaves other single bytes alone, and is
//   idempotent; texts equal but for ASCII case fold alike.
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {
using namespace tsly;
constexpr auto npos = std::string_view::npos;

std::vector<bool> Boundaries(std::string_view text) {
    std::vector<bool> at(text.size() + 1, false);
    std::size_t i = 0;
    while (i < text.size()) {
        at[i] = true;
        i += cp932::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    if (i == text.size()) at[i] = true;
    return at;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::string needle = fuzz::AnyText(data, 2);
    const auto from = data.ConsumeIntegralInRange<std::size_t>(0, 64);
    const std::string text = data.ConsumeBool() ? fuzz::WholeText(data, 24)
                                                : data.ConsumeRemainingBytesAsString();
    const auto at = Boundaries(text);

    for (std::size_t p = 0; p <= text.size() + 1; ++p) {
        FUZZ_CHECK(cp932::IsCharBoundary(text, p) == (p <= text.size() && at[p]));
    }

    std::size_t last = npos;
    for (std::size_t p = 0; p < text.size(); ++p)
        if (at[p] && text[p] == '\\') last = p;
    FUZZ_CHECK(cp932::LastSeparator(text) == last);

    if (from <= text.size() && at[from]) {
        std::size_t next = npos;
        for (std::size_t p = from; p < text.size() && next == npos; ++p)
            if (at[p] && text[p] == '\\') next = p;
        FUZZ_CHECK(cp932::NextSeparator(text, from) == next);
    }

    std::size_t found = npos;
    if (!needle.empty()) {
        for (std::size_t p = from; p + needle.size() <= text.size() && found == npos; ++p)
            if (at[p] && text.compare(p, needle.size(), needle) == 0) found = p;
    }
    FUZZ_CHECK(cp932::FindOnBoundary(text, needle, from) == found);

    const std::string folded = cp932::FoldCase(text);
    FUZZ_CHECK(folded.size() == text.size());
    FUZZ_CHECK(Boundaries(folded) == at);
    FUZZ_CHECK(cp932::FoldCase(folded) == folded);
    std::string upper = text;
    for (std::size_t p = 0; p < text.size(); ++p) {
        const char c = text[p];
        if (!at[p] || cp932::IsLeadByte(static_cast<unsigned char>(c))) continue;
        const char expected = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        FUZZ_CHECK(folded[p] == expected);
        upper[p] = expected;
    }
    FUZZ_CHECK(cp932::FoldCase(upper) == folded);
    return 0;
}
