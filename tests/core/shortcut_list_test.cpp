// The shortcut list model: order, check flags and the duplicate test.
#include "core/shortcut_list.h"

#include <gtest/gtest.h>

#include <string>

namespace {
using namespace tsly;

TEST(ShortcutList, OrderChecksAndClear) {
    ShortcutListModel list;
    list.Clear();
    for (const char* p : {"C:\\b.lnk", "C:\\a.lnk", "C:\\表\\c.lnk"}) EXPECT_TRUE(list.Register(p));
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Caption(0), "C:\\b.lnk");
    EXPECT_EQ(list.Caption(2), "C:\\表\\c.lnk");
    list.SetChecked(1, false);
    EXPECT_TRUE(list.Checked(0) && !list.Checked(1) && list.Checked(2));
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_TRUE(list.Register("C:\\A.LNK"));
}

TEST(ShortcutList, RefusesCaptionsEqualButForCase) {
    struct Case { const char* listed; const char* candidate; bool refused; };
    const Case cases[] = {
        {"c:\\temp\\a.lnk", "C:\\TEMP\\A.LNK", true}, {"C:\\ＡＢ.lnk", "C:\\ａｂ.lnk", true},
        {"C:\\表\\a.lnk", "C:\\表\\A.lnk", true},     {"C:\\a.lnk", "C:\\a.lnk ", false},
        {"C:\\ｱ.lnk", "C:\\ア.lnk", false},           {"C:\\ア.lnk", "C:\\ヂ.lnk", false},
        {"C:\\表.lnk", "C:\\\x95\x7C.lnk", false},    {"C:\\a.lnk", "C:\\ａ.lnk", false},
    };
    for (const Case& c : cases) {
        ShortcutListModel list;
        ASSERT_TRUE(list.Register(c.listed));
        EXPECT_EQ(list.Contains(c.candidate), c.refused) << c.candidate;
        EXPECT_EQ(list.Register(c.candidate), !c.refused) << c.candidate;
        EXPECT_EQ(list.Count(), c.refused ? 1u : 2u) << c.candidate;
    }
}

TEST(ShortcutList, EditedCaptionMovesTheIndex) {
    ShortcutListModel list;
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
}

TEST(ShortcutList, UsesTheGivenFold) {
    ShortcutListModel list([](std::string_view s) { return std::string(s); });
    EXPECT_TRUE(list.Register("C:\\a.lnk"));
    EXPECT_TRUE(list.Contains("C:\\a.lnk"));
    EXPECT_FALSE(list.Contains("C:\\A.lnk"));
    EXPECT_TRUE(list.Register("C:\\A.lnk"));
    EXPECT_FALSE(list.Register("C:\\a.lnk"));
}

TEST(ShortcutList, ManyEntries) {  // must not be quadratic
    ShortcutListModel list;
    for (int i = 0; i < 100000; ++i)
        ASSERT_TRUE(list.Register("C:\\f" + std::to_string(i) + ".lnk"));
    EXPECT_FALSE(list.Register("C:\\F99999.LNK"));
    EXPECT_EQ(list.Count(), 100000u);
}

}  // namespace
