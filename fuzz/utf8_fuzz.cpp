// The UTF-8 helpers against brute-force references.
//
// Invariants:
// - IsCharBoundary is true exactly where no continuation byte stands, and
//   at the end; on whole characters that is where a decoding walk begins
//   each character;
// - LastSeparator, NextSeparator and FindOnBoundary return the last/first
//   match that begins on a boundary, as a search over every offset finds;
//   a '\' byte is always a boundary.
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {
using namespace tsly;
constexpr auto npos = std::string_view::npos;

std::vector<bool> Boundaries(std::string_view text) {
    std::vector<bool> at(text.size() + 1, true);
    for (std::size_t p = 0; p < text.size(); ++p)
        at[p] = (static_cast<unsigned char>(text[p]) & 0xC0) != 0x80;
    return at;
}

std::vector<bool> DecodedStarts(std::string_view text) {
    std::vector<bool> at(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size();) {
        at[i] = true;
        i += fuzz::SequenceLength(static_cast<unsigned char>(text[i]));
    }
    at[text.size()] = true;
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
        FUZZ_CHECK(utf8::IsCharBoundary(text, p) == (p <= text.size() && at[p]));
    }
    if (fuzz::WholeCharacters(text)) FUZZ_CHECK(DecodedStarts(text) == at);

    std::size_t last = npos;
    for (std::size_t p = 0; p < text.size(); ++p) {
        if (text[p] == '\\') {
            FUZZ_CHECK(at[p]);
            last = p;
        }
    }
    FUZZ_CHECK(utf8::LastSeparator(text) == last);

    std::size_t next = npos;
    for (std::size_t p = from; p < text.size() && next == npos; ++p)
        if (text[p] == '\\') next = p;
    FUZZ_CHECK(utf8::NextSeparator(text, from) == (from > text.size() ? npos : next));

    std::size_t found = npos;
    if (!needle.empty()) {
        for (std::size_t p = from; p + needle.size() <= text.size() && found == npos; ++p)
            if (at[p] && text.compare(p, needle.size(), needle) == 0) found = p;
    }
    FUZZ_CHECK(utf8::FindOnBoundary(text, needle, from) == found);
    return 0;
}
