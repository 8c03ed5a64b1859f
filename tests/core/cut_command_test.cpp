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
    CutOptions options;
    Names files;
    std::vector<std::string> log;  // "options", "from -> to", "completed"
    bool failRead = false;

    Bench(CutOptions o, std::vector<std::pair<std::string, bool>> r, Names others = {})
        : rows(std::move(r)), options(std::move(o)) {
        for (auto& row : rows) files.insert(row.first = D + row.first);
        for (const auto& f : others) files.insert(D + f);
    }
    std::size_t Count() const override { return rows.size(); }
    const std::string& Caption(std::size_t i) const override { return rows.at(i).first; }
    bool Checked(std::size_t i) const override { return rows.at(i).second; }
    CutOptions ReadOptions() override {
        log.push_back("options");
        if (failRead) throw std::runtime_error("'Short1' のデータ型が不正です");
        return options;
    }
    bool Rename(const std::string& from, const std::string& to) override {
        log.push_back(from + " -> " + to);
        if (files.count(from) == 0 || files.count(to) != 0) return false;
        files.erase(from);
        return files.insert(to).second;
    }
    void Completed() override { log.push_back("completed"); }

    std::size_t Run() { return RunCutCommand(*this, *this).renamed; }
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
         3, {"Report .lnk", "Report.lnk"}},
        {"second cut on the old path after a failed first",
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

TEST(CutCommand, SettingsErrorEndsTheCommandAtOnce) {
    Bench b({}, {{"電卓へのショートカット.lnk", true}});
    b.failRead = true;
    EXPECT_THROW(b.Run(), std::runtime_error);
    EXPECT_EQ(b.log, std::vector<std::string>{"options"});
}

}  // namespace
