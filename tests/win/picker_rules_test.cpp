// The folder picker's pure rules, by table, against the SDK's constants.
#include <gtest/gtest.h>
#include <shlobj.h>

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

// Only what a one-to-one table cannot say: the stand-in, the two kinds'
// agreement, an unknown kind.
TEST(SpecialFolderOf, MapsEveryKindThroughOneTable) {
    EXPECT_EQ(browse::SpecialFolderOf(sfManual), CSIDL_DESKTOP);  // stands in for an unusable name
    EXPECT_EQ(browse::SpecialFolderOf(sfSendTo), browse::SpecialFolderOf(rfSendTo));
    EXPECT_EQ(browse::SpecialFolderOf(200), 0);
}

TEST(BrowseFlagsFor, AddsTheFlagOfEachOption) {
    struct Case {
        TSHBrowseOptions options;
        unsigned flags;
    };
    const Case cases[] = {
        {{}, 0},
        {{sboStatusTextAndShowPath}, BIF_STATUSTEXT},
        {{sboStatusText, sboStatusTextAndShowPath}, BIF_STATUSTEXT},
        {{sboDontGoBelowDomain, sboReturnFSAncestors, sboReturnOnlyFSDirs, sboStatusText},
         BIF_DONTGOBELOWDOMAIN | BIF_RETURNFSANCESTORS | BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT},
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
        {SFGAO_FOLDER, true},
        {SFGAO_HASSUBFOLDER, true},
        {SFGAO_FOLDER | SFGAO_HASSUBFOLDER, true},
        {SFGAO_FILESYSTEM, false},
        {0, false},
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
        {"D:\\表", "D:\\表\\"},  // one character, three bytes: not a root either way
    };
    for (const Case& c : cases) EXPECT_EQ(FolderToScan(c.selected), c.scanned);
}

TEST(TSHBrowseOptions, HoldsEachMemberInItsBit) {
    const TSHBrowseOptions options{sboReturnOnlyFSDirs, sboStatusText};
    EXPECT_TRUE(options.Contains(sboStatusText));
    EXPECT_FALSE(options.Contains(sboStatusTextAndShowPath));
}

}  // namespace
}  // namespace tsly
