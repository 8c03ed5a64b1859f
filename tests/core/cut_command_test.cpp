// The cutting command over a fake list and an in-memory folder.
#include "core/cut_command.h"
#include "core/undo_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
using namespace tsly;
using Names = std::set<std::string>;
const std::string D = "C:\\Data\\Tools\\";

// Rows (name in D, checked) over a folder that holds them and `others`,
// each file with an identity of its own. A rename fails when its source is
// missing or its target exists.
struct Bench : CutListSource, CutEnvironment {
    std::vector<std::pair<std::string, bool>> rows;
    std::vector<RowOutcome> outcomes;
    CutOptions options;
    std::map<std::string, std::uint64_t> files;  // path -> file index
    std::uint64_t nextId = 1;
    Names held, denied;                   // in use by another program; no access
    std::vector<std::string> log;  // "options", "from -> to", "completed"
    bool failRead = false;
    std::size_t stopAfter = SIZE_MAX;     // rows before Continue says stop

    Bench(CutOptions o, std::vector<std::pair<std::string, bool>> r, Names others = {})
        : rows(std::move(r)), outcomes(rows.size()), options(std::move(o)) {
        for (auto& row : rows) Add(row.first = D + row.first);
        for (const auto& f : others) Add(D + f);
    }
    void Add(const std::string& path) { files[path] = nextId++; }
    std::size_t Count() const override { return rows.size(); }
    const std::string& Caption(std::size_t i) const override { return rows.at(i).first; }
    bool Checked(std::size_t i) const override { return rows.at(i).second; }
    const RowOutcome& Outcome(std::size_t i) const override { return outcomes.at(i); }
    void SetOutcome(std::size_t i, RowOutcome o) override { outcomes.at(i) = o; }
    void SetPath(std::size_t i, std::string path) override { rows.at(i).first = std::move(path); }
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
        files[to] = files[from];
        files.erase(from);
        return {};
    }
    std::optional<FileId> Identity(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return FileId{7, it->second};
    }
    bool MayHold(const std::string& folder, const FileId& id) override {
        for (const auto& [path, index] : files) {
            if (FileId{7, index} == id && path.rfind(folder, 0) == 0) return true;
        }
        return false;
    }
    bool Continue(std::size_t done, std::size_t) override { return done < stopAfter; }
    bool journaled = false;  // log the journal's hooks too
    void BeforeRenames(const std::vector<PlannedRename>& batch) override {
        if (!journaled) return;
        log.push_back("before " + std::to_string(batch.size()));
        for (const PlannedRename& p : batch) log.push_back(p.from + " | " + p.via + " | " + p.to);
    }
    void RenameDone(std::size_t i, const std::string& now) override {
        if (journaled) log.push_back("done " + std::to_string(i) + " " + now);
    }
    void AfterRenames() override {
        if (journaled) log.push_back("after");
    }
    void Completed() override { log.push_back("completed"); }

    std::size_t Run() { return RunCutCommand(*this, *this).renamed; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (std::size_t i = 0; i < rows.size(); ++i)
            texts.push_back(OutcomeText(outcomes[i], rows[i].first));
        return texts;
    }
    Names Left() const {
        Names names;
        for (const auto& f : files) names.insert(f.first.substr(D.size()));
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
        {"second cut on the old path after a failed first: a rename happened",
         Bench(copyOf, {{"Copy of Reportへのショートカット.lnk", true}}, {"Copy of Report .lnk"}),
         1, {"Copy of Report .lnk", "Reportへのショートカット.lnk"}},
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

TEST(CutCommand, RowsFollowTheirFilesSoASecondCutFindsNothingAndKeepsTheUndo) {
    Bench b({}, {{"電卓へのショートカット.lnk", true}, {"メモ帳 - ショートカット.lnk", true},
                 {"gone.lnk", true}});
    b.files.erase(D + "gone.lnk");
    CutResult first = RunCutCommand(b, b);
    EXPECT_EQ(first.renamed, 2u);
    EXPECT_EQ(b.rows[1].first, D + "メモ帳 .lnk");
    const CutResult second = RunCutCommand(b, b);
    EXPECT_EQ(second.renamed + second.failed + second.journal.size(), 0u);
    EXPECT_EQ(b.Texts(), (std::vector<std::string>{"変更なし", "変更なし", "変更なし"}));
    EXPECT_EQ(UndoCut(b, b, first).undone, 2u);
    EXPECT_EQ(b.Left(), (Names{"電卓へのショートカット.lnk", "メモ帳 - ショートカット.lnk"}));
    EXPECT_EQ(b.Count("options"), 2);
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
    // The system's refusal names no character; a character that would show
    // as nothing is named by its code.
    EXPECT_EQ(OutcomeText(RowOutcome{OutcomeKind::Failed, RenameFailure::BadCharacter, 0}, ""),
              "失敗: 名前に使えない文字があります");
    const std::pair<char32_t, const char*> names[] = {
        {0x1F, "U+001F"}, {' ', " "}, {'~', "~"}, {0x7F, "U+007F"}, {0x80, "U+0080"}, {0x3042, "U+3042"}};
    for (const auto& [c, name] : names) EXPECT_EQ(CharacterName(c), name) << name;
}

TEST(CutCommand, NamesAndCountsAreWhatTheDiskHas) {
    struct Case { CutOptions options; const char* name; Names others; const char* text; std::size_t renamed, failed; };
    const CutOptions copyOf{"", false, true, "Copy of "};
    const Case cases[] = {
        {{"*", false, false, ""}, "aへのショートカット.lnk", {}, "失敗: 名前に使えない文字があります: *", 0, 1},
        {{"\\x", false, false, ""}, "a - ショートカット.lnk", {}, "失敗: 名前に使えない文字があります: \\", 0, 1},
        {{"\t", false, false, ""}, "a - ショートカット.lnk", {}, "失敗: 名前に使えない文字があります: U+0009", 0, 1},
        {{"", false, true, "x"}, "nulx.lnk", {}, "失敗: Windows が予約している名前です", 0, 1},
        {{std::string(250, 'a'), false, false, ""}, "a - ショートカット.lnk", {}, "失敗: 名前が長すぎます", 0, 1},
        // The second step failed after the first renamed the file.
        {copyOf, "Copy of Report - ショートカット.lnk", {"Report .lnk"},
         "Copy of Report .lnk（失敗: 同じ名前のファイルがあります）", 1, 0},
        // A name that does not change is no change, and a name keeps no
        // trailing blank.
        {{"- ショートカット", false, false, ""}, "x - ショートカット.lnk", {}, "変更なし", 0, 0},
        {{"", false, true, ".lnk"}, "x .lnk", {}, "x", 1, 0},
    };
    for (const Case& c : cases) {
        Bench b(c.options, {{c.name, true}}, c.others);
        const CutResult r = RunCutCommand(b, b);
        EXPECT_EQ(b.Texts(), std::vector<std::string>{c.text}) << c.name;
        EXPECT_EQ(r.renamed, c.renamed) << c.name;
        EXPECT_EQ(r.failed, c.failed) << c.name;
        EXPECT_EQ(r.journal.size(), c.renamed) << c.name;
    }
}

TEST(CutCommand, TheStartUpsSecondRunLeavesWhatTheFirstRenamedAndOneUndoTakesBoth) {
    Bench b({"", false, true, "Copy of "},
            {{"電卓へのショートカット.lnk", true}, {"Copy of X.lnk", true}, {"y.lnk", true},
             {"Copy of Copy of Z.lnk", true}, {"Copy of held.lnk", true}});
    b.held.insert(D + "Copy of held.lnk");
    const CutResult first = RunCutCommand(b, b);
    b.held.clear();  // let go of between the runs
    CutResult both = RunCutCommand(b, b, &first);
    EXPECT_EQ(b.Texts(), (std::vector<std::string>{"電卓 .lnk", "X.lnk", "変更なし",
                                                   "Copy of Z.lnk", "held.lnk"}));
    EXPECT_EQ(both.renamed, 4u);
    EXPECT_EQ(both.failed, 0u);
    EXPECT_EQ(both.journal.size(), 4u);

    b.log.clear();
    const UndoResult undo = UndoCut(b, b, both);
    EXPECT_EQ(undo.undone, 4u);
    EXPECT_EQ(b.Left(), (Names{"電卓へのショートカット.lnk", "Copy of X.lnk", "y.lnk",
                               "Copy of Copy of Z.lnk", "Copy of held.lnk"}));
    EXPECT_EQ(b.log.front(), D + "held.lnk -> " + D + "Copy of held.lnk");  // last renamed first
    EXPECT_TRUE(both.journal.empty());
}

// Each row's plan, what the undo then did, and which rows it keeps to try
// again: the undo renames only the file the cut renamed, in one rename.
TEST(CutCommand, UndoDoesWhatItsPlanSaysAndKeepsWhatFailed) {
    Bench b({"", false, true, "Copy of "},
            {{"aへのショートカット.lnk", true}, {"bへのショートカット.lnk", true},
             {"Copy of cへのショートカット.lnk", true}, {"dへのショートカット.lnk", true},
             {"eへのショートカット.lnk", true}, {"fへのショートカット.lnk", true},
             {"Copy of Z.lnk", true}, {"Copy of Copy of Z.lnk", true}});  // the second takes the first's old name
    CutResult cut = RunCutCommand(b, b);
    b.Add(D + "aへのショートカット.lnk");              // another file took the old name
    b.files[D + "moved.lnk"] = b.files[D + "b .lnk"];  // a later rename, and a file in its place
    b.files[D + "b .lnk"] = 99;
    b.files.erase(D + "d .lnk");                       // gone for good
    b.held.insert(D + "e .lnk");                       // in use
    b.files[D + "fへのショートカット.lnk"] = b.files[D + "f .lnk"];  // back already
    b.files.erase(D + "f .lnk");
    cut.journal.insert(cut.journal.begin(), JournalEntry{b.rows.size(), "gone.lnk", {}});  // no such row
    const std::vector<std::string> planned = {
        "元の名前のファイルがあります", "後で名前が変わっています（後の処理を先に元に戻すと戻せます）",
        "→ Copy of cへのショートカット.lnk", "ファイルがありません（記録から外します）",
        "→ eへのショートカット.lnk", "元の名前に戻っています", "→ Copy of Z.lnk",
        "→ Copy of Copy of Z.lnk"};
    UndoForecast forecast(b, false);
    for (std::size_t i = cut.journal.size() - 1; i > 0; --i) {
        const UndoRow row = UndoRowOf(cut.journal[i], b);
        EXPECT_EQ(UndoPlanText(forecast.Next(row), row), planned[cut.journal[i].row]);
    }
    b.log.clear();
    UndoResult undo = UndoCut(b, b, cut);
    EXPECT_EQ(b.log, (std::vector<std::string>{D + "Copy of Z.lnk -> " + D + "Copy of Copy of Z.lnk",
                                               D + "Z.lnk -> " + D + "Copy of Z.lnk",
                                               D + "e .lnk -> " + D + "eへのショートカット.lnk",
                                               D + "c .lnk -> " + D + "Copy of cへのショートカット.lnk",
                                               "completed"}));
    EXPECT_EQ(b.Texts(), (std::vector<std::string>{
                             "失敗: 同じ名前のファイルがあります",
                             "失敗: 後で名前が変わっています（後の処理を先に元に戻してください）",
                             "元に戻しました", "失敗: ファイルが見つかりません（元に戻す記録から外しました）",
                             "失敗: 他のプログラムが使用中です", "元に戻しました", "元に戻しました",
                             "元に戻しました"}));
    EXPECT_EQ(b.rows[2].first, D + "Copy of cへのショートカット.lnk");  // rows follow their files back
    EXPECT_EQ(b.rows[5].first, D + "fへのショートカット.lnk");
    EXPECT_EQ(cut.journal.size(), 3u);  // a, b and e wait, in cut order
    EXPECT_EQ(cut.journal[0].row, 0u);
    EXPECT_EQ(cut.journal[2].row, 4u);
    EXPECT_EQ(UndoEndText(undo, "all"), "一部のファイルを元に戻せませんでした（3 件は、もう一度「元に戻す」で再試行します）。");
    EXPECT_EQ(UndoEndText({0, 3, 0, false}, "all"), "元に戻せませんでした。");
    EXPECT_EQ(UndoEndText({4, 0, 0, false}, "all"), "all");

    // Once the other programs let go, the next undo puts the rest back.
    b.held.clear();
    b.files.erase(D + "aへのショートカット.lnk");
    b.files[D + "b .lnk"] = b.files[D + "moved.lnk"];
    b.files.erase(D + "moved.lnk");
    undo = UndoCut(b, b, cut);
    EXPECT_EQ(undo.undone, 3u);
    EXPECT_TRUE(cut.journal.empty());
    EXPECT_EQ(b.Left(), (Names{"aへのショートカット.lnk", "bへのショートカット.lnk",
                               "Copy of cへのショートカット.lnk", "eへのショートカット.lnk",
                               "fへのショートカット.lnk", "Copy of Z.lnk", "Copy of Copy of Z.lnk"}));
}

TEST(CutCommand, ABatchIsKeptBeforeItsRenamesHappen) {
    Bench b({"", false, true, "Copy of "},
            {{"aへのショートカット.lnk", true}, {"x.lnk", true}, {"Copy of b - ショートカット.lnk", true},
             {"unticked - ショートカット.lnk", false}});
    b.journaled = true;
    RunCutCommand(b, b);
    const std::string a = D + "aへのショートカット.lnk", c = D + "Copy of b - ショートカット.lnk";
    EXPECT_EQ(b.log, (std::vector<std::string>{
                         "options", "before 2", a + " |  | " + D + "a .lnk",
                         c + " | " + D + "Copy of b .lnk | " + D + "b .lnk", a + " -> " + D + "a .lnk",
                         "done 0 " + D + "a .lnk", c + " -> " + D + "Copy of b .lnk",
                         D + "Copy of b .lnk -> " + D + "b .lnk", "done 1 " + D + "b .lnk", "after",
                         "completed"}));
}

TEST(CutCommand, EachBatchIsKeptWithItsOwnRenames) {
    std::vector<std::pair<std::string, bool>> rows;
    for (int i = 0; i < 200; ++i) rows.push_back({"f" + std::to_string(i) + "へのショートカット.lnk", true});
    Bench b({}, rows);
    b.journaled = true;
    RunCutCommand(b, b);
    // Batches grow: 64 rows, then twice as many.
    EXPECT_EQ(b.Count("before 64"), 1);
    EXPECT_EQ(b.Count("before 128"), 1);
    EXPECT_EQ(b.Count("before 8"), 1);
    EXPECT_EQ(b.Count("after"), 3);
    // Each rename done is told by its place in its batch.
    EXPECT_EQ(b.Count(("done 5 " + D + "f5 .lnk").c_str()), 1);
    EXPECT_EQ(b.Count(("done 0 " + D + "f64 .lnk").c_str()), 1);
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
    // Rows a stopped run never reached lose what an earlier run did to them;
    // a stop asked for after the last row stops nothing, one after the row
    // before it leaves the last.
    b.stopAfter = 3;
    EXPECT_FALSE(RunCutCommand(b, b).stopped);
    b.stopAfter = 1;
    RunCutCommand(b, b);
    EXPECT_EQ(b.Texts(), (std::vector<std::string>{"変更なし", "", ""}));
    Bench last({}, {{"aへのショートカット.lnk", true}, {"bへのショートカット.lnk", true}});
    last.stopAfter = 1;
    EXPECT_TRUE(RunCutCommand(last, last).stopped);
    EXPECT_EQ(last.Left(), (Names{"a .lnk", "bへのショートカット.lnk"}));
    // So does an undo: what it did not reach stays to undo.
    Bench undo({}, {{"aへのショートカット.lnk", true}, {"bへのショートカット.lnk", true},
                    {"cへのショートカット.lnk", true}});
    CutResult all = RunCutCommand(undo, undo);
    undo.stopAfter = 2;
    EXPECT_TRUE(UndoCut(undo, undo, all).stopped);
    EXPECT_EQ(all.journal.size(), 1u);
}

TEST(CutCommand, SettingsErrorEndsTheCommandAtOnce) {
    Bench b({}, {{"電卓へのショートカット.lnk", true}});
    b.failRead = true;
    EXPECT_THROW(b.Run(), std::runtime_error);
    EXPECT_EQ(b.log, std::vector<std::string>{"options"});
}

}  // namespace

TEST(CutCommand, ReportsFailureWhereTheTextSaysSo) {
    // Every kind with and without a reason: red exactly where "失敗" is read.
    const OutcomeKind kinds[] = {OutcomeKind::None, OutcomeKind::Renamed, OutcomeKind::Unchanged,
                                 OutcomeKind::Failed, OutcomeKind::Undone, OutcomeKind::UndoFailed};
    for (OutcomeKind kind : kinds) {
        for (RenameFailure failure : {RenameFailure::None, RenameFailure::NameTaken}) {
            const RowOutcome outcome{kind, failure, 0};
            const std::string text = OutcomeText(outcome, "C:\\a.lnk");
            EXPECT_EQ(ReportsFailure(outcome), text.find("失敗") != std::string::npos) << text;
        }
    }
}
