#include "core/text_colour.h"

#include <algorithm>
#include <cmath>

namespace tsly {
namespace {

double Linear(unsigned channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Rgb colour) {
    return 0.2126 * Linear(colour & 0xFF) + 0.7152 * Linear(colour >> 8 & 0xFF) +
           0.0722 * Linear(colour >> 16 & 0xFF);
}

Rgb Pack(unsigned r, unsigned g, unsigned b) { return r | g << 8 | b << 16; }

}  // namespace

double ContrastRatio(Rgb a, Rgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ReadableOn(Rgb colour, Rgb background) {
    // Either black or white reaches 4.5:1 against any colour, so one of the
    // two ways ends in a readable colour; the first step that reaches it
    // wins. Each channel moves by the same share of its way, so the hue
    // stays.
    const unsigned r = colour & 0xFF, g = colour >> 8 & 0xFF, b = colour >> 16 & 0xFF;
    for (unsigned step = 0; step <= 255; ++step) {
        const auto toward = [step](unsigned c, unsigned end) {
            return end == 0 ? c * (255 - step) / 255 : c + (255 - c) * step / 255;
        };
        const Rgb darker = Pack(toward(r, 0), toward(g, 0), toward(b, 0));
        if (ContrastRatio(darker, background) >= kReadableContrast) return darker;
        const Rgb lighter = Pack(toward(r, 255), toward(g, 255), toward(b, 255));
        if (ContrastRatio(lighter, background) >= kReadableContrast) return lighter;
    }
    return Pack(0, 0, 0);
}

}  // namespace tsly
