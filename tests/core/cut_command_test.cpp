// The cutting command over a fake list and an in-memory folder.
#include "core/cut_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
using namespace tsly;
using Names = std::set<std::string>;
const std::string D = "C:\\Data\\Tools\\";

// Rows (name in D, checked) over a folder that holds them and `others`. A
// rename fails when its source is missing or its target exists.
struct Bench : CutListSource, CutEnvironment {
    std::vector<std::pair<std::string, bool>> rows;
    std::vector<RowOutcome> outcomes;
    CutOptions options;
    Names files;
    Names held, denied;                   // in use by another program; no access
    std::vector<std::string> log;  // "options", "from -> to", "completed"
    bool failRead = false;
    std::size_t stopAfter = SIZE_MAX;     // rows before Continue says stop

    Bench(CutOptions o, std::vector<std::pair<std::string, bool>> r, Names others = {})
        : rows(std::move(r)), outcomes(rows.size()), options(std::move(o)) {
        for (auto& row : rows) files.insert(row.first = D + row.first);
        for (const auto& f : others) files.insert(D + f);
    }
    std::size_t Count() const override { return rows.size(); }
    const std::string& Caption(std::size_t i) const override { return rows.at(i).first; }
    bool Checked(std::size_t i) const override { return rows.at(i).second; }
    const RowOutcome& Outcome(std::size_t i) const override { return outcomes.at(i); }
    void SetOutcome(std::size_t i, RowOutcome o) override { outcomes.at(i) = std::move(o); }
    CutOptions ReadOptions() override {
        log.push_back("options");
        if (failRead) throw std::runtime_error("'Short1' のデータ型が不正です");
        return options;
    }
    RenameResult Rename(const std::string& from, const std::string& to) override {
        log.push_back(from + " -> " + to);
        if (files.count(from) == 0) return {RenameFailure::NotFound, 2};
        if (files.count(to) != 0) return {RenameFailure::NameTaken, 183};
        if (held.count(from)) return {RenameFailure::InUse, 32};
        if (denied.count(from)) return {RenameFailure::AccessDenied, 5};
        if (to.find('!') != std::string::npos) return {RenameFailure::Other, 1234};
        files.erase(from);
        files.insert(to);
        return {};
    }
    bool Continue(std::size_t done, std::size_t) override { return done < stopAfter; }
    void Completed() override { log.push_back("completed"); }

    std::size_t Run() { return RunCutCommand(*this, *this).renamed; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const RowOutcome& o : outcomes) texts.push_back(OutcomeText(o));
        return texts;
    }
    Names Left() const {
        Names names;
        for (const auto& f : files) names.insert(f.substr(D.size()));
        return names;
    }
    long Count(const char* event) const { return std::count(log.begin(), log.end(), event); }
};

TEST(CutCommand, Runs) {
    struct Case { const char* what; Bench bench; std::size_t renamed; Names after; };
    const CutOptions copyOf{"", false, true, "Copy of "};
    Case cases[] = {
        {"unchecked rows stay",
         Bench(copyOf, {{"電卓へのショートカット.lnk", true}, {"Copy of Xへのｼｮｰﾄｶｯﾄ.lnk", false},
                        {"Copy of X.lnk", false}, {"表計算へのショートカット.lnk", true}}),
         2, {"電卓 .lnk", "Copy of Xへのｼｮｰﾄｶｯﾄ.lnk", "Copy of X.lnk", "表計算 .lnk"}},
        {"the earlier row wins a shared name",
         Bench({"(link)", true, false, ""},
               {{"電卓へのショートカット.lnk", true}, {"電卓.lnk", true}}),
         1, {"電卓 (link).lnk", "電卓.lnk"}},
        {"both cuts, or the second alone",
         Bench(copyOf,
               {{"Copy of Reportへのショートカット.lnk", true}, {"Copy of Report.lnk", true}}),
         2, {"Report .lnk", "Report.lnk"}},
        {"second cut on the old path after a failed first (a failed row)",
         Bench(copyOf, {{"Copy of Reportへのショートカット.lnk", true}}, {"Copy of Report .lnk"}),
         0, {"Copy of Report .lnk", "Reportへのショートカット.lnk"}},
        {"empty list", Bench(copyOf, {}), 0, {}},
    };
    for (Case& c : cases) {
        EXPECT_EQ(c.bench.Run(), c.renamed) << c.what;
        EXPECT_EQ(c.bench.Left(), c.after) << c.what;
        EXPECT_EQ(c.bench.log.back(), "completed") << c.what;
        EXPECT_EQ(c.bench.Count("completed"), 1) << c.what;
        for (const auto& line : c.bench.log)  // no rename of an unchecked row is tried
            EXPECT_EQ(line.find("Copy of X"), std::string::npos) << line;
    }
}

TEST(CutCommand, SecondRunFindsTheFilesGone) {
    Bench b({}, {{"電卓へのショートカット.lnk", true}, {"メモ帳へのｼｮｰﾄｶｯﾄ.lnk", true},
                 {"gone.lnk", true}});
    b.files.erase(D + "gone.lnk");
    EXPECT_EQ(b.Run(), 2u);
    EXPECT_EQ(b.Run(), 0u);
    EXPECT_EQ(b.Left(), (Names{"電卓 .lnk", "メモ帳 .lnk"}));
    EXPECT_EQ(b.Count("options"), 2);
    EXPECT_EQ(b.Count("completed"), 2);
    EXPECT_EQ(b.log.back(), "completed");
}

TEST(CutCommand, EveryProcessedRowShowsWhatBecameOfIt) {
    Bench b({"(link)", false, false, ""},
            {{"aへのショートカット.lnk", true}, {"goneへのショートカット.lnk", true},
             {"heldへのショートカット.lnk", true}, {"deniedへのショートカット.lnk", true},
             {"odd!へのショートカット.lnk", true}, {"x.lnk", true}, {"y - ショートカット.lnk", false},
             {"Café - ショートカット.lnk", true}},
            {"a (link).lnk"});
    b.files.erase(D + "goneへのショートカット.lnk");
    b.held.insert(D + "heldへのショートカット.lnk");
    b.denied.insert(D + "deniedへのショートカット.lnk");
    const CutResult r = RunCutCommand(b, b);
    EXPECT_EQ(b.Texts(), (std::vector<std::string>{
                             "失敗: 同じ名前のファイルがあります", "失敗: ファイルが見つかりません",
                             "失敗: 他のプログラムが使用中です", "失敗: アクセスが拒否されました",
                             "失敗: エラー 1234", "変更なし", "", "Café (link).lnk"}));
    EXPECT_EQ(r.renamed, 1u);
    EXPECT_EQ(r.failed, 5u);

    Bench leaves({"\\x", false, false, ""}, {{"aへのショートカット.lnk", true}});
    RunCutCommand(leaves, leaves);
    EXPECT_EQ(leaves.Texts(), std::vector<std::string>{"失敗: 新しい名前がフォルダの外を指します"});
}

TEST(CutCommand, TheStartUpsSecondRunKeepsTheFirstRunsOutcomesAndOneUndoTakesBoth) {
    Bench b({"", false, true, "Copy of "},
            {{"電卓へのショートカット.lnk", true}, {"Copy of X.lnk", true}, {"y.lnk", true}});
    const CutResult first = RunCutCommand(b, b);
    CutResult both = RunCutCommand(b, b, &first);
    EXPECT_EQ(b.Texts(), (std::vector<std::string>{"電卓 .lnk", "X.lnk", "変更なし"}));
    EXPECT_EQ(both.renamed, 2u);
    EXPECT_EQ(both.failed, 0u);
    EXPECT_EQ(both.journal.size(), 2u);

    b.log.clear();
    const UndoResult undo = UndoCut(b, b, both);
    EXPECT_EQ(undo.undone, 2u);
    EXPECT_EQ(b.Left(), (Names{"電卓へのショートカット.lnk", "Copy of X.lnk", "y.lnk"}));
    EXPECT_EQ(b.log.front(), D + "X.lnk -> " + D + "Copy of X.lnk");  // last renamed first
    EXPECT_EQ(b.Texts(), (std::vector<std::string>{"元に戻しました", "元に戻しました", "変更なし"}));
    EXPECT_TRUE(both.journal.empty());
}

TEST(CutCommand, UndoNeverReplacesANameTakenMeanwhile) {
    Bench b({}, {{"aへのショートカット.lnk", true}, {"bへのショートカット.lnk", true}});
    CutResult cut = RunCutCommand(b, b);
    b.files.insert(D + "aへのショートカット.lnk");  // another file took the old name
    const UndoResult undo = UndoCut(b, b, cut);
    EXPECT_EQ(undo.undone, 1u);
    EXPECT_EQ(undo.failed, 1u);
    EXPECT_EQ(b.Left(), (Names{"a .lnk", "aへのショートカット.lnk", "bへのショートカット.lnk"}));
    EXPECT_EQ(b.Texts(), (std::vector<std::string>{"失敗: 同じ名前のファイルがあります", "元に戻しました"}));
}

TEST(CutCommand, StoppingEndsAfterTheCurrentRowWithTheOutcomesSoFar) {
    Bench b({}, {{"aへのショートカット.lnk", true}, {"bへのショートカット.lnk", true},
                 {"cへのショートカット.lnk", true}});
    b.stopAfter = 1;
    CutResult cut = RunCutCommand(b, b);
    EXPECT_TRUE(cut.stopped);
    EXPECT_EQ(b.Texts(), (std::vector<std::string>{"a .lnk", "", ""}));
    EXPECT_EQ(b.Left(), (Names{"a .lnk", "bへのショートカット.lnk", "cへのショートカット.lnk"}));
    EXPECT_EQ(b.log.back(), "completed");
}

TEST(CutCommand, SettingsErrorEndsTheCommandAtOnce) {
    Bench b({}, {{"電卓へのショートカット.lnk", true}});
    b.failRead = true;
    EXPECT_THROW(b.Run(), std::runtime_error);
    EXPECT_EQ(b.log, std::vector<std::string>{"options"});
}

}  // namespace
