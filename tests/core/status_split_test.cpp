// The status bar's parts: the counts are never cut while the left part
// has room to spare.
#include "core/status_split.h"
#include "core/column_split.h"

#include <gtest/gtest.h>

namespace {
using tsly::LeftPartWidth;
using tsly::PathAtShortest;
using tsly::PathColumnWidth;

TEST(StatusSplit, TheTextsShareTheBar) {
    const struct {
        int bar, preferred, leftNeed, rightNeed, left;
    } rows[] = {
        {600, 300, 100, 100, 300},  // both fit: the stored width stands
        {600, 300, 100, 300, 300},  // the counts just fit
        {600, 300, 100, 301, 299},  // the left gives what it does not need
        {528, 300, 120, 380, 148},
        {600, 300, 350, 100, 350},  // a long left text takes from the right's spare
        {500, 300, 300, 300, 200},  // neither fits: the counts read whole
        {250, 300, 100, 300, 0},    // the left part gives way entirely
        {400, 300, 100, 300, 100},  // exactly both
        {0, 300, 10, 10, 0},
        {600, 300, 0, 0, 300},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(LeftPartWidth(r.bar, r.preferred, r.leftNeed, r.rightNeed), r.left)
            << r.bar << " " << r.leftNeed << " " << r.rightNeed;
    }
}

// The list's columns: "結果" reads whole before a path loses its middle.
TEST(ColumnSplit, ResultsReadWholeAndPathsKeepRootAndName) {
    const struct {
        int list, chosen, pathNeed, resultNeed, path;
    } rows[] = {
        {700, 400, 200, 250, 400},  // room for both: the chosen width
        {490, 400, 200, 170, 320},  // the path gives way to "結果"
        {300, 400, 200, 100, 200},  // down to what it needs
        {490, 150, 200, 170, 150},  // a narrower choice stands
        {240, 400, 200, 100, 140},  // neither fits: "結果" reads whole
    };
    for (const auto& r : rows) {
        EXPECT_EQ(PathColumnWidth(r.list, r.chosen, r.pathNeed, r.resultNeed), r.path) << r.list;
    }
    EXPECT_EQ(PathAtShortest("C:\\users\\me\\Desktop\\メモ帳.lnk"), "C:\\...\\メモ帳.lnk");
    EXPECT_EQ(PathAtShortest("\\\\server\\share\\tools\\a.lnk"), "\\\\server\\share\\...\\a.lnk");
    EXPECT_EQ(PathAtShortest("\\\\?\\C:\\long\\way\\a.lnk"), "\\\\?\\C:\\...\\a.lnk");
    for (const char* path : {"C:\\x\\a.lnk", "C:\\abc\\a.lnk", "C:\\a.lnk", "\\\\server\\a.lnk"}) {
        EXPECT_EQ(PathAtShortest(path), path);  // no shorter
    }
    EXPECT_EQ(PathAtShortest("a.lnk"), "a.lnk");
}

}  // namespace
