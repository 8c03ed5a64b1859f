// The status bar's parts: the counts are never cut while the left part
// has room to spare.
#include "core/status_split.h"

#include <gtest/gtest.h>

namespace {
using tsly::LeftPartWidth;

TEST(StatusSplit, TheTextsShareTheBar) {
    const struct {
        int bar, preferred, leftNeed, rightNeed, left;
    } rows[] = {
        {600, 300, 100, 100, 300},  // both fit: the stored width stands
        {600, 300, 100, 300, 300},  // the counts just fit
        {600, 300, 100, 301, 299},  // the left gives what it does not need
        {528, 300, 120, 380, 148},
        {600, 300, 350, 100, 350},  // a long left text takes from the right's spare
        {500, 300, 300, 300, 250},  // neither fits: shares by need
        {400, 300, 100, 300, 100},  // exactly both
        {0, 300, 10, 10, 0},
        {600, 300, 0, 0, 300},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(LeftPartWidth(r.bar, r.preferred, r.leftNeed, r.rightNeed), r.left)
            << r.bar << " " << r.leftNeed << " " << r.rightNeed;
    }
}

}  // namespace
