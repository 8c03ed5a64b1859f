// The shortcut list model: order, check flags and the duplicate test.
#include "core/shortcut_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using namespace tsly;
constexpr std::size_t npos = std::string::npos;

// The window passes the system's upper-case table; these tables need only
// ASCII letters, or no folding at all.
std::vector<char16_t> Table(bool foldAscii) {
    std::vector<char16_t> table(0x10000);
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<char16_t>(i);
    if (foldAscii) for (char16_t c = u'a'; c <= u'z'; ++c) table[c] = static_cast<char16_t>(c - u'a' + u'A');
    return table;
}
const std::vector<char16_t> kAscii = Table(true), kNone = Table(false);
const char16_t* const AsciiFold = kAscii.data();

TEST(ShortcutList, OrderChecksAndClear) {
    ShortcutListModel list(AsciiFold);
    list.Clear();
    for (const char* p : {"C:\\b.lnk", "C:\\a.lnk", "C:\\表\\c.lnk"}) EXPECT_TRUE(list.Register(p));
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Caption(0), "C:\\b.lnk");
    EXPECT_EQ(list.Caption(2), "C:\\表\\c.lnk");
    EXPECT_EQ(list.CheckedCount(), 3u);
    list.SetChecked(1, false);
    list.SetChecked(1, false);  // no change: counted once
    EXPECT_TRUE(list.Checked(0) && !list.Checked(1) && list.Checked(2));
    EXPECT_EQ(list.CheckedCount(), 2u);
    list.SetChecked(1, true);
    EXPECT_EQ(list.CheckedCount(), 3u);
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.CheckedCount(), 0u);
    EXPECT_TRUE(list.Register("C:\\A.LNK"));
}

TEST(ShortcutList, RefusesCaptionsEqualUnderTheFold) {
    struct Case { const char* listed; const char* candidate; bool refused; };
    const Case cases[] = {
        {"c:\\temp\\a.lnk", "C:\\TEMP\\A.LNK", true}, {"C:\\表\\a.lnk", "C:\\表\\A.lnk", true},
        {"C:\\a.lnk", "C:\\a.lnk ", false},           {"C:\\a.lnk", "C:\\b.lnk", false},
    };
    for (const Case& c : cases) {
        ShortcutListModel list(AsciiFold);
        ASSERT_TRUE(list.Register(c.listed));
        EXPECT_EQ(list.Contains(c.candidate), c.refused) << c.candidate;
        EXPECT_EQ(list.Register(c.candidate), !c.refused) << c.candidate;
        EXPECT_EQ(list.Count(), c.refused ? 1u : 2u) << c.candidate;
    }
}

TEST(ShortcutList, EditedCaptionMovesTheIndex) {
    ShortcutListModel list(AsciiFold);
    ASSERT_TRUE(list.Register("C:\\a.lnk") && list.Register("C:\\b.lnk"));
    list.SetCaption(0, "C:\\c.lnk");
    EXPECT_FALSE(list.Register("C:\\C.LNK"));
    EXPECT_FALSE(list.Register("C:\\B.lnk"));
    EXPECT_TRUE(list.Register("C:\\A.lnk"));
    // An edit may make two rows equal; the caption stays taken until both change.
    list.SetCaption(1, "C:\\C.lnk");
    list.SetCaption(0, "C:\\d.lnk");
    EXPECT_FALSE(list.Register("C:\\c.lnk"));
    list.SetCaption(1, "C:\\e.lnk");
    EXPECT_TRUE(list.Register("C:\\c.lnk"));
    EXPECT_EQ(list.Caption(1), "C:\\e.lnk");
    // An edited row's icon is looked up again for its new path; a row that
    // follows its renamed file keeps the file's icon.
    list.SetImageIndex(0, 5);
    list.SetImageIndex(1, 6);
    list.SetCaption(0, "C:\\f.lnk");
    list.SetPath(1, "C:\\g.lnk");
    EXPECT_EQ(list.At(0).imageIndex, ShortcutEntry::kIconUnknown);
    EXPECT_EQ(list.At(1).imageIndex, 6);
}

TEST(ShortcutList, TypeToFindStartsAtARowAndWrapsOnlyWhenAsked) {
    ShortcutListModel list(AsciiFold);
    EXPECT_EQ(list.FindCaption("c", 0, true, true), npos);
    ASSERT_TRUE(list.Register("c:\\one.lnk"));  // a list of one row
    EXPECT_EQ(list.FindCaption("C:\\O", 0, true, false), 0u);
    list.Clear();
    for (const char* p : {"C:\\b.lnk", "Q:\\two.lnk", "c:\\bx.lnk"}) ASSERT_TRUE(list.Register(p));
    struct Case { const char* text; std::size_t start; bool prefix, wrap; std::size_t row; };
    const Case cases[] = {
        {"c:\\B", 0, true, false, 0},        {"c:\\B", 1, true, false, 2},
        {"c:\\b.LNK", 1, true, false, npos}, {"c:\\b.LNK", 1, true, true, 0},
        {"c:\\b.lnk", 2, true, false, npos}, {"C:\\B", 0, false, true, npos},
        {"C:\\BX.lnk", 0, false, false, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.FindCaption(c.text, c.start, c.prefix, c.wrap), c.row) << c.text << c.start;
}

TEST(ShortcutList, UsesTheGivenFold) {
    ShortcutListModel list(kNone.data());
    EXPECT_TRUE(list.Register("C:\\a.lnk"));
    EXPECT_TRUE(list.Contains("C:\\a.lnk"));
    EXPECT_FALSE(list.Contains("C:\\A.lnk"));
    EXPECT_TRUE(list.Register("C:\\A.lnk"));
    EXPECT_FALSE(list.Register("C:\\a.lnk"));
}

TEST(ShortcutList, ARowThatFollowsItsFileLeavesEveryOtherRowFound) {
    // Many rows, so that rows lie next to each other in the index.
    ShortcutListModel list(AsciiFold);
    constexpr int n = 2000;
    for (int i = 0; i < n; ++i) ASSERT_TRUE(list.Register("C:\\f" + std::to_string(i) + ".lnk"));
    for (int i = 0; i < n; i += 3) list.SetPath(i, "C:\\g" + std::to_string(i) + ".lnk");
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(list.IndexOf(list.Caption(i)), static_cast<std::size_t>(i)) << i;
        EXPECT_EQ(list.Contains("C:\\f" + std::to_string(i) + ".lnk"), i % 3 != 0) << i;
    }
    // Five cuts and undos: the index keeps a slot a row, not one a name.
    for (int cycle = 0; cycle < 10; ++cycle)
        for (int i = 0; i < n; ++i) list.SetPath(i, "C:\\" + std::to_string(cycle % 2) + std::to_string(i));
    EXPECT_LE(list.IndexSlots(), 4u * n);
}

TEST(ShortcutList, RegistrationComparesAFewCaptionsNotEveryEntry) {
    // A duplicate test that searched the list would compare every listed
    // caption at each registration: n * n / 2 comparisons.
    ShortcutListModel list(AsciiFold);
    constexpr int n = 5000;
    for (int i = 0; i < n; ++i)
        ASSERT_TRUE(list.Register("C:\\f" + std::to_string(i) + ".lnk"));
    EXPECT_FALSE(list.Register("C:\\F4999.LNK"));
    EXPECT_EQ(list.Count(), static_cast<std::size_t>(n));
    EXPECT_GE(list.Probes(), 1u);  // the duplicate was compared
    EXPECT_LE(list.Probes(), 10u);
}

}  // namespace
