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

TEST(TextColour, ReadableRedOnEveryBackground) {
    // White, the classic grey, a mid grey, black, a dark blue and a
    // high-contrast yellow.
    const Rgb backgrounds[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x000000, 0x3F1F00, 0x00FFFF};
    for (Rgb background : backgrounds) {
        const Rgb red = ReadableRedOn(background);
        const unsigned r = red & 0xFF, g = red >> 8 & 0xFF, b = red >> 16 & 0xFF;
        EXPECT_GE(ContrastRatio(red, background), kReadableContrast) << std::hex << background;
        EXPECT_GT(r, g) << std::hex << background;
        EXPECT_EQ(g, b) << std::hex << background;
    }
}

}  // namespace
