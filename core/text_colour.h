// Colours of text the list draws on its window colour. Colours are packed
// as the system packs them: 0x00BBGGRR.
#pragma once

#include <cstdint>

namespace tsly {

using Rgb = std::uint32_t;

// The contrast ratio of two colours (1 to 21), from their relative
// luminance in the sRGB sense.
double ContrastRatio(Rgb a, Rgb b);

// The ratio text must reach against its background to be read at a glance.
inline constexpr double kReadableContrast = 4.5;

// `colour`, darkened on a light background or lightened on a dark one as
// little as it takes to reach kReadableContrast against `background`.
Rgb ReadableOn(Rgb colour, Rgb background);

// The failure red: pure red made readable so.
inline Rgb ReadableRedOn(Rgb background) { return ReadableOn(0x0000FF, background); }
// An unticked row's text: silver, as light as still reads (the
// strike-through says the rest).
inline Rgb UntickedTextOn(Rgb background) { return ReadableOn(0xC0C0C0, background); }

}  // namespace tsly
