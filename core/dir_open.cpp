#include "core/dir_open.h"

namespace tsly {

std::unique_ptr<DirListing> FallbackDirEnumerator::Open(const std::string& pattern) {
    if (!fastRefused_) {
        ListingStart fast = OpenIn(pattern, ListingMode::Fast);
        if (!fast.modeRefused) return std::move(fast.listing);
    }
    ListingStart plain = OpenIn(pattern, ListingMode::Plain);
    // Remembered only when the plain mode worked: a refusal that came from
    // the folder, not the mode, must not slow the rest of the scan.
    if (plain.listing) fastRefused_ = true;
    return std::move(plain.listing);
}

}  // namespace tsly
