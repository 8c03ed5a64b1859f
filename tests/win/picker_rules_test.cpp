// The folder picker's pure rules, by table.
#include <gtest/gtest.h>

#include "app/find_folder.h"
#include "shell/browse_rules.h"

namespace tsly {
namespace {

using browse::Box;

TEST(CenterScreenPosition, CentresAcrossAndPutsAThirdOfTheFreeHeightAbove) {
    struct Case {
        Box work;
        Box dialog;
        int x, y;
    };
    const Case cases[] = {
        {{0, 0, 1024, 768}, {0, 0, 324, 348}, 350, 140},
        {{0, 0, 1024, 768}, {500, 400, 824, 748}, 350, 140},  // its own place does not count
        // Free width -5 and free height -5: truncated toward zero.
        {{0, 0, 100, 100}, {0, 0, 105, 105}, -2, -1},
        {{0, 0, 100, 100}, {0, 0, 107, 108}, -3, -2},
        // A task bar at the top: only the size of the work area enters.
        {{0, 30, 1024, 768}, {0, 0, 324, 348}, 350, 130},
        {{200, 0, 1024, 768}, {0, 0, 324, 348}, 250, 140},
    };
    for (const Case& c : cases) {
        const browse::Offset at = browse::CenterScreenPosition(c.work, c.dialog);
        EXPECT_EQ(at.x, c.x) << c.work.left << "," << c.work.top;
        EXPECT_EQ(at.y, c.y) << c.work.left << "," << c.work.top;
    }
}

TEST(SpecialFolderOf, MapsEveryKindThroughOneTable) {
    const int expected[] = {0, 0, 17, 16, 6, 2, 8, 9, 11, 7, 21};
    for (std::uint8_t kind = 0; kind < 11; ++kind) {
        EXPECT_EQ(browse::SpecialFolderOf(kind), expected[kind]) << int(kind);
    }
    EXPECT_EQ(browse::SpecialFolderOf(sfSendTo), browse::SpecialFolderOf(rfSendTo));
    EXPECT_EQ(browse::SpecialFolderOf(200), 0);
}

TEST(BrowseFlagsFor, AddsTheFlagOfEachOption) {
    struct Case {
        TSHBrowseOptions options;
        unsigned flags;
    };
    const Case cases[] = {
        {{}, 0x0},
        {{sboReturnOnlyFSDirs}, 0x1},
        {{sboDontGoBelowDomain}, 0x2},
        {{sboReturnFSAncestors}, 0x8},
        {{sboStatusText}, 0x4},
        {{sboStatusTextAndShowPath}, 0x4},
        {{sboStatusText, sboStatusTextAndShowPath}, 0x4},
        {{sboDontGoBelowDomain, sboReturnFSAncestors, sboReturnOnlyFSDirs, sboStatusText}, 0xF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(browse::BrowseFlagsFor(c.options.Bits()), c.flags) << int(c.options.Bits());
    }
}

TEST(ManualName, IsTriedOnlyForTheManualKindWithAName) {
    EXPECT_TRUE(browse::TriesManualName(sfManual, "C:\\Data"));
    EXPECT_TRUE(browse::TriesManualName(rfManual, "x"));
    EXPECT_FALSE(browse::TriesManualName(sfManual, ""));
    EXPECT_FALSE(browse::TriesManualName(sfDesktop, "C:\\Data"));
    EXPECT_FALSE(browse::TriesManualName(rfDrives, "C:\\Data"));
}

TEST(FolderTest, PassesFoldersAndItemsWithSubfolders) {
    struct Case {
        std::uint32_t attributes;
        bool passes;
    };
    const Case cases[] = {
        {0x20000000u, true},   // folder
        {0x80000000u, true},   // has subfolders
        {0xA0000000u, true},
        {0x40000000u, false},  // file-system item only
        {0x00000000u, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(browse::PassesFolderTest(c.attributes), c.passes) << std::hex << c.attributes;
    }
}

TEST(FolderToScan, AppendsASeparatorExceptToADriveRoot) {
    struct Case {
        const char* selected;
        const char* scanned;
    };
    const Case cases[] = {
        {"C:\\", "C:\\"},
        {"C:\\Data", "C:\\Data\\"},
        {"D:\\表", "D:\\表\\"},  // the second byte of 表 is a backslash
        {"C:\\a", "C:\\a\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(FolderToScan(c.selected), c.scanned);
}

TEST(TSHBrowseOptions, HoldsEachMemberInItsBit) {
    const TSHBrowseOptions options{sboReturnOnlyFSDirs, sboStatusText};
    EXPECT_EQ(options.Bits(), 0x14);
    EXPECT_TRUE(options.Contains(sboStatusText));
    EXPECT_FALSE(options.Contains(sboStatusTextAndShowPath));
}

}  // namespace
}  // namespace tsly
