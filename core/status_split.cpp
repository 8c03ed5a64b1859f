#include "core/status_split.h"

#include <algorithm>

namespace tsly {

int LeftPartWidth(int bar, int preferred, int leftNeed, int rightNeed) {
    if (leftNeed + rightNeed > bar) return std::max(0, bar - rightNeed);
    return std::clamp(preferred, leftNeed, bar - rightNeed);
}

}  // namespace tsly
