// The preview is the plan the cut carries out: cases where the two once
// parted, and random lists, disks and options compared row by row.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/cut_preview.h"
#include "core/undo_plan.h"
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

// Random lists over a random disk: names from the markers, cut strings and
// replacements, in other letter cases and widths, with chains, rows aimed at
// one name and one file listed twice through a folder link.
struct RandomCase {
    std::mt19937 rng;
    explicit RandomCase(unsigned seed) : rng(seed) {}
    std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); }
    bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }
    template <class T> const T& Pick(const std::vector<T>& from) { return from[Below(from.size())]; }

    const std::vector<std::string> folders{"C:\\d\\", "C:\\e\\", "C:\\link\\"};
    const std::vector<std::string> bases{"A", "a", "Ａ", "メモ", "x y", ""};
    const std::vector<std::string> markers{"", "", "へのショートカット", "へのｼｮｰﾄｶｯﾄ", " - ショートカット"};
    const std::vector<std::string> texts{" - コピー", "X", "Copy of ", ".", "k", "lnk", ".LNK", "x"};
    const std::vector<std::string> replacements{"", "(link)", "X", "- ショートカットX", "ト", " "};
    const std::vector<std::string> extensions{".lnk", ".lnk", ".LNK", ".Lnk", ".txt"};

    CutOptions options;
    std::string Name() {
        std::string name;
        if (Chance(30)) name += Pick(texts);
        name += Pick(bases);
        if (Chance(30)) name += Pick(texts);
        if (Chance(25)) name += " " + Pick(replacements);
        if (Chance(15)) name += Pick(texts);
        return name + Pick(markers) + Pick(extensions);
    }
    std::string Path() { return Pick(folders) + Name(); }
    void Options() {
        options.replacement = Pick(replacements);
        options.applyToUnmarked = Chance(40);
        options.cutSecondText = Chance(60);
        options.secondText = Pick(texts);
        options.cutModernMarker = Chance(85);
    }
};

// The plan's words for a row, and the cut's.
struct Said {
    OutcomeKind kind;
    RenameFailure failure;
    std::string path;
    bool operator==(const Said& o) const { return kind == o.kind && failure == o.failure && path == o.path; }
};
std::ostream& operator<<(std::ostream& out, const Said& s) {
    return out << static_cast<int>(s.kind) << "/" << static_cast<int>(s.failure) << " " << s.path;
}

TEST(CutPlan, RandomListsThePreviewTellsWhatTheCutDoes) {
    std::size_t renamedRows = 0, failedRows = 0, deviations = 0, sameFile = 0, extensionLost = 0;
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        RandomCase r(seed);
        r.Options();
        model::Disk disk;
        ShortcutListModel list(model::kUpper.data());
        const std::size_t rows = 1 + r.Below(12);
        for (std::size_t i = 0; i < rows; ++i) {
            std::string path = r.Path();
            // The same file again, through the link, or a name another row has.
            if (i > 0 && r.Chance(15)) {
                const std::string& other = list.Caption(r.Below(list.Count()));
                path = r.Pick(r.folders) + std::string(SplitPath(other)->name);
            }
            if (!list.Register(std::string(path))) continue;
            if (r.Chance(80)) list.SetChecked(list.Count() - 1, false == r.Chance(85));
            if (!disk.Exists(path) && r.Chance(90)) disk.Add(path);
        }
        if (r.Chance(15)) disk.untold = "C:\\e\\";
        for (std::size_t i = r.Below(6); i > 0; --i) disk.Add(r.Path());

        // The preview, as far as some rows, then the disk changes behind it.
        CutPreview preview(list, [&] { return std::make_unique<model::Look>(disk); });
        preview.SetOptions(r.options);
        for (std::size_t i = r.Below(list.Count() + 1); i > 0; --i) preview.Of(i - 1);
        for (std::size_t i = r.Below(4); i > 0; --i) {
            if (r.Chance(50)) disk.Add(r.Path());
            else disk.Remove(list.Caption(r.Below(list.Count())));
        }
        // The window plans again when the disk may have changed.
        preview.Invalidate();
        std::vector<Said> planned;
        std::vector<std::string> texts;
        std::size_t plannedRenames = 0, plannedFailures = 0;
        for (std::size_t i = 0; i < list.Count(); ++i) {
            const RowCut cut = preview.Of(i);
            planned.push_back(Said{cut.outcome.kind, cut.outcome.failure, cut.path});
            texts.push_back(PreviewText(cut));
            plannedRenames += cut.outcome.kind == OutcomeKind::Renamed;
            plannedFailures += cut.outcome.kind == OutcomeKind::Failed;
            const bool lost = cut.outcome.kind == OutcomeKind::Renamed && !HasShortcutExtension(cut.path);
            extensionLost += lost;
            sameFile += cut.outcome.failure == RenameFailure::SameFile;
            EXPECT_EQ(texts.back().find("（拡張子が .lnk でなくなります）") != std::string::npos, lost)
                << "seed " << seed << " row " << i << ": " << texts.back();
        }
        // The names each file may end under: where it is, and what the plan
        // gives the file at a row's path as the planned renames move files.
        std::map<std::uint64_t, std::set<std::string>> allowed;
        {
            std::map<std::string, std::uint64_t> at;  // key -> file, as the renames go
            for (const auto& [id, where] : disk.Where()) {
                allowed[id].insert(where);
                at[where] = id;
            }
            model::Look look(disk);
            CutPlan plan(list, r.options, look);
            for (std::size_t i = 0; i < list.Count(); ++i) {
                const auto file = at.find(model::Disk::Key(list.Caption(i)));
                if (plan.Row(i).steps == 0 || file == at.end()) continue;
                const std::uint64_t id = file->second;
                at.erase(file);
                const PlannedPaths paths = plan.Paths(i);
                if (!paths.via.empty()) allowed[id].insert(model::Disk::Key(paths.via));
                allowed[id].insert(model::Disk::Key(paths.to));
                at[model::Disk::Key(paths.to)] = id;
            }
        }

        // Half the cuts meet another program renaming, deleting and adding files.
        const bool disturbed = r.Chance(50);
        std::vector<std::string> captions;
        for (std::size_t i = 0; i < list.Count(); ++i) captions.push_back(list.Caption(i));
        model::Env env(disk, r.options);
        std::map<std::uint64_t, std::string> added;  // the other program's files, where it put them
        if (disturbed) {
            env.meanwhile = [&] {
                if (!r.Chance(50)) return;
                const std::string& victim = captions[r.Below(captions.size())];
                if (r.Chance(50)) {
                    disk.Remove(victim);
                    return;
                }
                const std::string path = r.Chance(50) ? victim : r.Path();  // maybe in its place
                disk.Add(path);
                // Where identities cannot be told, a file put in another's
                // place is not told from it.
                if (disk.Identity(path)) added[disk.nextId - 1] = model::Disk::Key(path);
            };
        }
        const std::set<std::uint64_t> before = [&] {
            std::set<std::uint64_t> ids;
            for (const auto& [id, where] : disk.Where()) ids.insert(id);
            return ids;
        }();
        const CutResult result = RunCutCommand(list, env);
        for (std::size_t i = 0; i < list.Count(); ++i) {
            const Said did{list.Outcome(i).kind, list.Outcome(i).failure, list.Caption(i)};
            if (!disturbed) {
                EXPECT_EQ(did, planned[i]) << "seed " << seed << " row " << i;
                continue;
            }
            // Where the disk changed meanwhile, the row stops at the rename
            // that no longer fits: before any (a failure) or after the first.
            if (did == planned[i]) continue;
            ++deviations;
            EXPECT_TRUE(did.kind == OutcomeKind::Failed ? did.path == captions[i]
                                                        : did.kind == OutcomeKind::Renamed)
                << "seed " << seed << " row " << i << ": " << did << " planned " << planned[i];
        }
        if (!disturbed) {
            EXPECT_EQ(result.renamed, plannedRenames) << "seed " << seed;
            EXPECT_EQ(result.failed, plannedFailures) << "seed " << seed;
        }
        for (const auto& [id, where] : disk.Where()) {
            if (before.count(id) != 0) {
                EXPECT_EQ(allowed[id].count(where), 1u) << "seed " << seed << ": file " << id << " at " << where;
            } else if (added.count(id) != 0) {  // the cut never moves a file it did not plan for
                EXPECT_EQ(where, added[id]) << "seed " << seed << ": file " << id;
            }
        }
        renamedRows += plannedRenames;
        failedRows += plannedFailures;
    }
    // The cases reach what they are meant to.
    EXPECT_GT(renamedRows, 2500u);
    EXPECT_GT(failedRows, 500u);
    EXPECT_GT(deviations, 50u);
    EXPECT_GT(sameFile, 20u);
    EXPECT_GT(extensionLost, 30u);
    std::cout << "renamed " << renamedRows << ", failed " << failedRows << ", deviations "
              << deviations << ", same file " << sameFile << ", extension lost " << extensionLost << "\n";
}

// The undo's plan against the undo, on random cuts, a later cut of some of
// the same files, and another program's changes between the cut and its undo.
TEST(UndoPlan, RandomCutsThePlanIsWhatTheUndoDoes) {
    const std::map<UndoAction, RenameFailure> failures = {
        {UndoAction::Gone, RenameFailure::Gone}, {UndoAction::RenamedSince, RenameFailure::RenamedSince},
        {UndoAction::NameTaken, RenameFailure::NameTaken}, {UndoAction::Unproven, RenameFailure::Unproven}};
    std::map<UndoAction, std::size_t> seen;
    for (unsigned seed = 1; seed <= 700; ++seed) {
        RandomCase r(seed);
        r.Options();
        model::Disk disk;
        ShortcutListModel list(model::kUpper.data());
        for (std::size_t i = 1 + r.Below(10); i > 0; --i) {
            const std::string path = r.Path();
            if (list.Register(std::string(path)) && !disk.Exists(path)) disk.Add(path);
        }
        model::Env env(disk, r.options);
        CutResult cut = RunCutCommand(list, env);
        if (r.Chance(40)) {  // a later cut, with other options
            ShortcutListModel later(model::kUpper.data());
            for (std::size_t i = 0; i < list.Count(); ++i) {
                if (r.Chance(60)) later.Register(std::string(list.Caption(i)));
            }
            r.Options();
            model::Env laterEnv(disk, r.options);
            RunCutCommand(later, laterEnv);
        }
        for (JournalEntry& entry : cut.journal) {
            const std::string now = list.Caption(entry.row);
            const std::string old = std::string(SplitPath(now)->folder) + entry.originalName;
            switch (r.Below(8)) {
            case 0: disk.Remove(now); break;
            case 1: disk.Add(old); break;  // another file takes the old name
            case 2: disk.Rename(now, std::string(SplitPath(now)->folder) + "moved" + std::to_string(r.Below(3))); break;
            case 3: entry.proven = false; break;
            case 4: entry.proven = false, entry.id.reset(); break;
            case 5: disk.Rename(now, old); break;  // put back by hand
            }
        }
        const bool chosen = r.Chance(50);
        std::vector<UndoAction> planned(list.Count(), UndoAction::Unproven);
        std::vector<bool> inPlan(list.Count(), false);
        {
            model::Look look(disk);
            UndoForecast forecast(look, chosen);
            for (std::size_t i = cut.journal.size(); i > 0; --i) {
                const JournalEntry& entry = cut.journal[i - 1];
                planned[entry.row] = forecast.Next(UndoRowOf(entry, list));
                inPlan[entry.row] = true;
            }
        }
        std::vector<std::string> originals(list.Count());
        for (const JournalEntry& entry : cut.journal) {
            originals[entry.row] = UndoRowOf(entry, list).original;
        }
        UndoCut(list, env, cut, chosen);
        std::set<std::size_t> kept;
        for (const JournalEntry& entry : cut.journal) kept.insert(entry.row);
        for (std::size_t row = 0; row < list.Count(); ++row) {
            if (!inPlan[row]) continue;
            const UndoAction action = planned[row];
            ++seen[action];
            const RowOutcome& did = list.Outcome(row);
            const std::string where = "seed " + std::to_string(seed) + " row " + std::to_string(row);
            EXPECT_EQ(kept.count(row) != 0, UndoKeepsRow(action)) << where;
            if (action == UndoAction::PutBack || action == UndoAction::AlreadyBack) {
                EXPECT_EQ(did.kind, OutcomeKind::Undone) << where;
                EXPECT_EQ(list.Caption(row), originals[row]) << where;
                EXPECT_TRUE(disk.Exists(originals[row])) << where;
            } else {
                EXPECT_EQ(did.kind, OutcomeKind::UndoFailed) << where;
                EXPECT_EQ(did.failure, failures.at(action)) << where;
            }
        }
    }
    for (const auto& [action, failure] : failures) EXPECT_GT(seen[action], 50u) << static_cast<int>(action);
    EXPECT_GT(seen[UndoAction::PutBack], 500u);
    EXPECT_GT(seen[UndoAction::AlreadyBack], 50u);
}

}  // namespace

// The plan's table against a map, through several growths: keys that crowd
// a few home slots (the small ones) among keys spread wide, set again and
// again, and keys never set.
TEST(ValuesByKey, FindsWhatAMapFinds) {
    ValuesByKey values;
    std::map<std::uint64_t, std::uint32_t> model;
    std::mt19937_64 random(7);
    for (std::uint32_t i = 0; i < 3000; ++i) {
        const std::uint64_t key = i % 3 ? random() : random() % 40;
        values.Set(key, i);
        model[key] = i;
    }
    for (const auto& [key, value] : model) {
        const std::uint32_t* found = values.Find(key);
        ASSERT_TRUE(found) << key;
        EXPECT_EQ(*found, value) << key;
    }
    for (int i = 0; i < 1000; ++i) {
        const std::uint64_t key = random();
        EXPECT_EQ(values.Find(key) != nullptr, model.count(key) != 0) << key;
    }
    EXPECT_EQ(ValuesByKey().Find(0), nullptr);
}
