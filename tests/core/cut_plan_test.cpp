// The preview is the plan the cut carries out: cases where the two once
// parted, and random lists, disks and options compared row by row.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/cut_preview.h"
#include "tests/core/model_disk.h"

namespace {
using namespace tsly;
using Texts = std::vector<std::string>;

// The preview's texts, as the window draws them.
Texts PreviewTexts(const ShortcutListModel& list, model::Disk& disk, const CutOptions& options) {
    CutPreview preview(list, [&] { return std::make_unique<model::Look>(disk); });
    preview.SetOptions(options);
    Texts texts;
    for (std::size_t i = 0; i < list.Count(); ++i) texts.push_back(PreviewText(preview.Of(i)));
    return texts;
}

// What the cut did, in the preview's words.
Texts CutTexts(ShortcutListModel& list, model::Disk& disk, const CutOptions& options) {
    std::vector<std::string> before;
    for (std::size_t i = 0; i < list.Count(); ++i) before.push_back(list.Caption(i));
    model::Env env(disk, options);
    RunCutCommand(list, env);
    Texts texts;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        texts.push_back(PreviewText(RowCut{list.Outcome(i), list.Caption(i)}));
    }
    return texts;
}

TEST(CutPlan, ThePreviewIsWhatTheCutDoes) {
    struct Case {
        const char* what;
        CutOptions options;
        std::vector<const char*> rows;  // below C:\ ; files on disk unless missing
        std::set<std::string> others, missing;
        Texts expected;
    };
    const std::string taken = "同じ名前のファイルがあります";
    const Case cases[] = {
        {"the first row takes the second's first-step name",
         {"(link)", true, true, " - コピー"},
         {"d\\A - コピー.lnk", "d\\A - コピーへのショートカット.lnk"}, {"d\\A (link).lnk"}, {},
         {"→ A - コピー (link).lnk（失敗: " + taken + "）", "→ Aへのショートカット.lnk（失敗: " + taken + "）"}},
        {"an earlier row's file is gone", {}, {"d\\A - ショートカット.lnk", "d\\Aへのショートカット.lnk"},
         {}, {"d\\A - ショートカット.lnk"}, {"ファイルが見つかりません", "→ A .lnk"}},
        {"a chain whose end is taken", {"", false, true, " - コピー"},
         {"d\\メモ - コピー.lnk", "d\\メモ - コピー - コピー.lnk"}, {"d\\メモ.lnk"}, {}, {taken, taken}},
        {"one file reached twice", {}, {"d\\Zへのショートカット.lnk", "link\\Zへのショートカット.lnk"},
         {}, {}, {"→ Z .lnk", "同じファイルが前の行にあります"}},
        {"a cut into the extension", {"", false, true, "."}, {"d\\メモ帳 - ショートカット.lnk"}, {}, {},
         {"→ メモ帳 lnk（拡張子が .lnk でなくなります）"}},
        {"an earlier row that is blocked frees nothing", {"", false, true, "X"},
         {"d\\c - ショートカット.lnk", "d\\c - ショートカットX.lnk"}, {"d\\c .lnk"}, {}, {taken, taken}},
        {"two steps back to the row's own name", {"- ショートカットX", false, true, "X"},
         {"d\\a - ショートカット.lnk"}, {}, {}, {"→ a - ショートカット.lnk"}},
    };
    for (const Case& c : cases) {
        model::Disk disk;
        ShortcutListModel list(model::kUpper.data());
        for (const char* row : c.rows) {
            list.Register(model::kRoot + row);
            if (!disk.Exists(model::kRoot + row)) disk.Add(model::kRoot + row);
        }
        for (const std::string& f : c.others) disk.Add(model::kRoot + f);
        for (const std::string& f : c.missing) disk.Remove(model::kRoot + f);
        EXPECT_EQ(PreviewTexts(list, disk, c.options), c.expected) << c.what;
        EXPECT_EQ(CutTexts(list, disk, c.options), c.expected) << c.what;
    }
}

}  // namespace
