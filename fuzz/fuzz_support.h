// Shared pieces of the fuzz targets: a check that aborts (so that libFuzzer
// keeps the input), and texts built from whole code page 932 characters.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/cp932.h"

#define FUZZ_CHECK(cond)                                                   \
    do {                                                                   \
        if (!(cond)) {                                                     \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, \
                         __LINE__, #cond);                                 \
            std::abort();                                                  \
        }                                                                  \
    } while (0)

namespace tsly::fuzz {

// True when the text is a run of whole characters: no lead byte at its end
// without its second byte.
inline bool WholeCharacters(std::string_view text) {
    return cp932::IsCharBoundary(text, text.size());
}

// Pieces that the cutting rule and the paths care about: separators, the
// markers and their parts, characters whose second byte is 0x5C, the
// extension in several cases, dots, blanks and plain letters.
inline constexpr std::string_view kPieces[] = {
    "\\", "/", ".", "..", " ", "a", "B", "k", ".lnk", ".LNK", ".Lnk", ".txt",
    "へのショートカット", "へのｼｮｰﾄｶｯﾄ", "へ", "の", "ト", "ﾄ", "ｼｮｰﾄｶｯﾄ",
    "表", "ソ", "十", "能", "電卓", "モﾖ", "か", "ｩ", "(link)", "Copy of ", ":",
    "C:\\", "\\\\srv\\sh\\", "?", "*",
};

// A text of whole characters: mostly pieces, now and then one single-byte
// or double-byte character from the data.
inline std::string WholeText(FuzzedDataProvider& data, std::size_t maxPieces) {
    std::string text;
    const std::size_t count = data.ConsumeIntegralInRange<std::size_t>(0, maxPieces);
    for (std::size_t i = 0; i < count && data.remaining_bytes() > 0; ++i) {
        const auto pick = data.ConsumeIntegralInRange<std::size_t>(0, std::size(kPieces) + 1);
        if (pick < std::size(kPieces)) {
            text += kPieces[pick];
            continue;
        }
        auto b = data.ConsumeIntegral<unsigned char>();
        if (cp932::IsLeadByte(b)) {
            // A second byte of 0x40-0xFC (0x7F excluded), as the code page has.
            auto t = data.ConsumeIntegralInRange<unsigned char>(0x40, 0xFC);
            if (t == 0x7F) t = 0x5C;
            text += static_cast<char>(b);
            text += static_cast<char>(t);
        } else if (b != 0) {
            text += static_cast<char>(b);
        }
    }
    return text;
}

// Either whole characters or raw bytes, which may end in half a character.
inline std::string AnyText(FuzzedDataProvider& data, std::size_t maxPieces) {
    if (data.ConsumeBool()) return WholeText(data, maxPieces);
    return data.ConsumeRandomLengthString(maxPieces * 4);
}

// The build converted the core's literals to code page 932 (clang cannot do
// it itself); a wrong conversion would make every run test something else.
inline void CheckMarkersAreCp932() {
    static const bool ok = [] {
        FUZZ_CHECK(std::string_view("へのショートカット").size() == 18);
        FUZZ_CHECK(std::string_view("へのｼｮｰﾄｶｯﾄ").size() == 11);
        return true;
    }();
    (void)ok;
}

}  // namespace tsly::fuzz
