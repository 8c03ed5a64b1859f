// The failure red: readable on every window colour, and still a red.
#include "core/text_colour.h"

#include <gtest/gtest.h>

namespace {
using namespace tsly;

TEST(TextColour, ContrastRatioEnds) {
    EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0x808080, 0x808080), 1.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0x0000FF, 0xFFFFFF), 4.0, 0.01);  // pure red falls short
}

TEST(TextColour, ReadableRedAndGreyOnEveryBackground) {
    // White, the classic grey, a mid grey, black, a dark blue and a
    // high-contrast yellow.
    const Rgb backgrounds[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x000000, 0x3F1F00, 0x00FFFF};
    for (Rgb background : backgrounds) {
        for (const Rgb start : {Rgb{0x0000FF}, Rgb{0xA0A0A0}, Rgb{0x6D6D6D}, Rgb{0xC0C0C0}}) {
            const Rgb c = start == 0x0000FF   ? ReadableRedOn(background)
                          : start == 0xC0C0C0 ? UntickedTextOn(background)
                                              : ReadableOn(start, background);
            const unsigned r = c & 0xFF, g = c >> 8 & 0xFF, b = c >> 16 & 0xFF;
            EXPECT_GE(ContrastRatio(c, background), kReadableContrast) << std::hex << background;
            EXPECT_EQ(r > g, start == 0x0000FF) << std::hex << background;  // a red stays red,
            EXPECT_EQ(g, b) << std::hex << background;                       // a grey grey
        }
    }
    // A colour that reads already stays as it is; one that does not moves
    // no further than it must.
    EXPECT_EQ(ReadableOn(0x595959, 0xFFFFFF), 0x595959u);
    EXPECT_EQ(UntickedTextOn(0x000000), 0xC0C0C0u);  // silver where it reads
    const Rgb grey = ReadableOn(0xA0A0A0, 0xFFFFFF);
    EXPECT_LT(ContrastRatio(grey + 0x010101, 0xFFFFFF), kReadableContrast);
}

}  // namespace
