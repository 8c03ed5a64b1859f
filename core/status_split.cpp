#include "core/status_split.h"

#include <algorithm>

namespace tsly {

int LeftPartWidth(int bar, int preferred, int leftNeed, int rightNeed) {
    bar = std::max(bar, 0);
    leftNeed = std::max(leftNeed, 0);
    rightNeed = std::max(rightNeed, 0);
    if (leftNeed + rightNeed > bar) return std::max(0, bar - rightNeed);
    return std::clamp(preferred, leftNeed, bar - rightNeed);
}

}  // namespace tsly
