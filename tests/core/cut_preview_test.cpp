// The preview: what the cut would do to each row, by the cut's own rule,
// before any file is touched.
#include "core/cut_preview.h"

#include <gtest/gtest.h>

#include "tests/core/model_disk.h"

#include <set>
#include <string>
#include <vector>

namespace {
using namespace tsly;
const std::string D = "C:\\d\\";
using model::kUpper;

TEST(CutPreview, EachRowShowsWhatTheCutWouldDo) {
    ShortcutListModel list(kUpper.data());
    const char* names[] = {"aへのショートカット.lnk", "plain.lnk", "bへのショートカット.lnk",
                           "b - ショートカット.lnk", "cへのショートカット.lnk", "off - ショートカット.lnk",
                           "x - ショートカット.lnk", "B .lnk", "xへのショートカット.lnk"};
    for (const char* n : names) list.Register(D + n);
    list.SetChecked(5, false);
    // On disk, besides the rows: "C .LNK". The listed "B .lnk" stays (its
    // rule keeps it), so its name is taken too.
    model::Disk disk;
    for (std::size_t i = 0; i < list.Count(); ++i) disk.Add(list.Caption(i));
    disk.Add(D + "C .LNK");
    CutPreview preview(list, [&] { return std::make_unique<model::Look>(disk); });
    auto texts = [&] {
        std::vector<std::string> t;
        for (std::size_t i = 0; i < list.Count(); ++i) t.push_back(PreviewText(preview.Of(i)));
        return t;
    };
    const std::string taken = "同じ名前のファイルがあります";
    preview.SetOptions(CutOptions{});
    EXPECT_EQ(PreviewText(preview.Of(list.Count())), "");  // past the last row
    EXPECT_EQ(texts(), (std::vector<std::string>{"→ a .lnk", "変更なし", taken, taken, taken, "",
                                                 "→ x .lnk", "変更なし", taken}));
    EXPECT_EQ(preview.Plans(), 1u);  // one plan for every row
    // Options as stored change the preview, and so does a tick.
    list.SetChecked(5, true);
    preview.SetOptions(CutOptions{"(1)", false, false, ""});
    EXPECT_EQ(texts(), (std::vector<std::string>{"→ a (1).lnk", "変更なし", "→ b (1).lnk", taken,
                                                 "→ c (1).lnk", "→ off (1).lnk", "→ x (1).lnk",
                                                 "変更なし", taken}));
    EXPECT_EQ(preview.Plans(), 2u);
}

TEST(CutPreview, ANameAnEarlierRowMovesAwayFromIsFree) {
    ShortcutListModel list(kUpper.data());
    list.Register(D + "Copy of X.lnk");           // → "X.lnk"
    list.Register(D + "Copy of Copy of X.lnk");   // → "Copy of X.lnk", freed by the first
    model::Disk disk;
    for (std::size_t i = 0; i < list.Count(); ++i) disk.Add(list.Caption(i));
    CutPreview preview(list, [&] { return std::make_unique<model::Look>(disk); });
    preview.SetOptions(CutOptions{"", false, true, "Copy of "});
    EXPECT_EQ(PreviewText(preview.Of(1)), "→ Copy of X.lnk");
    list.SetChecked(0, false);
    preview.Invalidate();
    EXPECT_EQ(PreviewText(preview.Of(1)), "同じ名前のファイルがあります");
    list.Register(D + "gone - ショートカット.lnk");  // listed, but not on disk any more
    preview.Invalidate();
    EXPECT_EQ(PreviewText(preview.Of(2)), "ファイルが見つかりません");
}

}  // namespace
