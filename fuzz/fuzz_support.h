// Shared pieces of the fuzz targets: a check that aborts (so that libFuzzer
// keeps the input), and UTF-8 texts built from whole characters.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/utf8.h"

#define FUZZ_CHECK(cond)                                                   \
    do {                                                                   \
        if (!(cond)) {                                                     \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, \
                         __LINE__, #cond);                                 \
            std::abort();                                                  \
        }                                                                  \
    } while (0)

namespace tsly::fuzz {

// Bytes a character takes, from its first byte; 0 for a byte that cannot
// begin one (a continuation byte, or 0xF8 and above).
inline std::size_t SequenceLength(unsigned char b) {
    if (b < 0x80) return 1;
    if (b < 0xC0) return 0;
    if (b < 0xE0) return 2;
    if (b < 0xF0) return 3;
    if (b < 0xF8) return 4;
    return 0;
}

// True when the text is a run of whole characters: every sequence has all
// its continuation bytes, and none stands alone.
inline bool WholeCharacters(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = SequenceLength(static_cast<unsigned char>(text[i]));
        if (n == 0 || i + n > text.size()) return false;
        for (std::size_t k = 1; k < n; ++k) {
            if (!utf8::IsContinuationByte(static_cast<unsigned char>(text[i + k]))) return false;
        }
        i += n;
    }
    return true;
}

// One code point in UTF-8 (a surrogate becomes U+FFFD, which has a form).
inline std::string Encode(std::uint32_t c) {
    if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Pieces that the cutting rule and the paths care about: separators, the
// markers and their parts, a copy's number, the extension in several cases, dots,
// blanks, and names from several scripts (two-, three- and four-byte
// characters, the last a surrogate pair in UTF-16).
inline constexpr std::string_view kPieces[] = {
    "\\", "/", ".", "..", " ", "a", "B", "k", ".lnk", ".LNK", ".Lnk", ".txt",
    "へのショートカット", "へのｼｮｰﾄｶｯﾄ", " - ショートカット", " - ", "-", "ショートカット",
    "へ", "の", "ト", "ﾄ", "ｼｮｰﾄｶｯﾄ", "表", "ソ", "電卓", "(link)", "Copy of ", ":",
    "C:\\", "\\\\srv\\sh\\", "?", "*", "®", "Adobe®", "é", "É", "Café", "😀", "🎉",
    "한글", "메모장", "记事本", "简体中文", "ṡ", " (2)", " (", ")", "7", " - Shortcut",
    " - Verknüpfung", " - 바로 가기", "Shortcut to ", "Ярлык для ",
};

// A text of whole characters: mostly pieces, now and then one character of
// any plane from the data.
inline std::string WholeText(FuzzedDataProvider& data, std::size_t maxPieces) {
    std::string text;
    const std::size_t count = data.ConsumeIntegralInRange<std::size_t>(0, maxPieces);
    for (std::size_t i = 0; i < count && data.remaining_bytes() > 0; ++i) {
        const auto pick = data.ConsumeIntegralInRange<std::size_t>(0, std::size(kPieces) + 1);
        if (pick < std::size(kPieces)) {
            text += kPieces[pick];
        } else {
            text += Encode(data.ConsumeIntegralInRange<std::uint32_t>(1, 0x10FFFF));
        }
    }
    return text;
}

// Either whole characters or raw bytes, which may hold half a character.
inline std::string AnyText(FuzzedDataProvider& data, std::size_t maxPieces) {
    if (data.ConsumeBool()) return WholeText(data, maxPieces);
    return data.ConsumeRandomLengthString(maxPieces * 4);
}

}  // namespace tsly::fuzz
