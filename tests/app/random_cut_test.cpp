// Randomized runs of the cutting command over real folder trees: random
// names (Japanese and ASCII, both markers, other extensions, collisions and
// names that are taken already), random options in the registry, random
// ticks, by a scan or from the command line. After every run no file is
// lost or changed, every file is in its folder, unticked rows and other
// files keep their names, and the tree is what the cutting rule predicts.
//
//   random_cut_tests --seed=N     the fixed seed of the test command
//   TSLY_SEED=N                   another seed; TSLY_SEED=new picks one
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <set>

#include "app/Unit1.h"
#include "core/cp932.h"
#include "core/cut_rule.h"
#include "core/folder_scan.h"
#include "core/settings_codec.h"
#include "platform/application.h"
#include "tests/app/harness.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/tree_snapshot.h"

namespace tsly {
namespace {

using Tree = std::map<std::string, std::string>;  // relative path -> content
constexpr int kRounds = 24;
unsigned g_seed = 20240611;

template <typename T, std::size_t N>
const T& Pick(std::mt19937& rng, const T (&pool)[N]) {
    return pool[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}
bool Chance(std::mt19937& rng, int percent) {
    return std::uniform_int_distribution<int>(0, 99)(rng) < percent;
}

// The name the system gives a file: trailing dots and blanks dropped.
std::string SystemPath(std::string path) {
    const auto parts = SplitPath(path);
    std::size_t keep = path.size();
    while (keep > parts->folder.size() && (path[keep - 1] == ' ' || path[keep - 1] == '.')) --keep;
    path.resize(keep);
    return path;
}

// The tree the command should leave: the rows in list order, through the
// cutting rule, on a model of the files where a rename fails when its
// source is missing or its target is taken (without regard to case).
Tree Predict(const Tree& before, const std::string& root, const ShortcutListModel& rows,
             const CutOptions& options, int runs) {
    std::map<std::string, std::pair<std::string, std::string>> files;  // key -> path, content
    for (const auto& [path, content] : before) files[cp932::FoldCase(root + path)] = {root + path, content};
    auto rename = [&](const std::string& from, const std::string& to) {
        const std::string target = SystemPath(to);
        const auto it = files.find(cp932::FoldCase(from));
        if (it == files.end() || files.count(cp932::FoldCase(target))) return false;
        const std::string content = it->second.second;
        files.erase(it);
        files[cp932::FoldCase(target)] = {target, content};
        return true;
    };
    for (int run = 0; run < runs; ++run) {
        for (std::size_t i = 0; i < rows.Count(); ++i) {
            if (!rows.Checked(i)) continue;
            std::string current = rows.Caption(i);
            if (auto first = FirstCutTarget(current, options)) {
                if (rename(current, *first)) current = SystemPath(*first);
            }
            if (auto second = SecondCutTarget(current, options)) rename(current, *second);
        }
    }
    Tree after;
    for (const auto& [key, file] : files) after[file.first.substr(root.size())] = file.second;
    return after;
}

struct Option {
    const char* stored;  // nullptr: not stored
};

class RandomCut : public test::MainWindowFixture {
protected:
    void Round(unsigned seed);
};

void RandomCut::Round(unsigned seed) {
    std::mt19937 rng(seed);
    test::CleanRegistry registry;
    test::TempDir dir;
    const std::string root = dir.path();

    // Options, stored as text or left out.
    static const char* const kTexts[] = {nullptr, "", "(link)", "ト", " ", "表", "x", "ｶｯﾄ"};
    static const char* const kFlags[] = {nullptr, "", "0", "1", "2", "-1", "yes", " 1"};
    static const char* const kCuts[] = {nullptr, "", "Copy of ", ".lnk", "k", "表", "ト", " ", "ｶｯﾄ"};
    const char* stored[4] = {Pick(rng, kTexts), Pick(rng, kFlags), Pick(rng, kFlags), Pick(rng, kCuts)};
    const char* names[4] = {"Char", "Short1", "cutnameflg", "cutname"};
    for (int i = 0; i < 4; ++i)
        if (stored[i]) test::WriteRegText(test::kOptionsKey, names[i], stored[i]);
    CutOptions options;
    options.replacement = stored[0] ? stored[0] : "";
    options.applyToUnmarked = ParseFlag(stored[1] ? stored[1] : "", false);
    options.cutSecondText = ParseFlag(stored[2] ? stored[2] : "", false);
    options.secondText = stored[3] ? stored[3] : "";

    // Folders, one of them a dot-folder the scan skips, one named like a
    // shortcut.
    static const char* const kFolders[] = {"", "", "sub\\", "表\\", "ソフト\\十能\\", ".cache\\",
                                           "aへのショートカット.lnk\\"};
    for (const char* f : {"sub", "表", "ソフト", "ソフト\\十能", ".cache", "aへのショートカット.lnk"})
        dir.MakeFolder(f);

    // Files with unique contents; names from small pools so that new names
    // collide with each other and with files that exist.
    static const char* const kBases[] = {"電卓", "メモ帳", "Copy of Report", "表計算", "a", "モﾖの",
                                         "ソ", "Book", "x (link)", "", "電卓 ", "Copy of 表"};
    static const char* const kTails[] = {"", "", "", " ", " (link)", "ト", " ト", "ｶｯﾄ", "ショートカット"};
    static const char* const kMarkers[] = {"", "へのショートカット", "へのｼｮｰﾄｶｯﾄ", "へのショートカット",
                                           " へのｼｮｰﾄｶｯﾄ"};
    static const char* const kExtensions[] = {".lnk", ".lnk", ".lnk", ".LNK", ".Lnk", ".txt", "",
                                              ".lnk.txt"};
    const int count = std::uniform_int_distribution<int>(4, 24)(rng);
    for (int i = 0; i < count; ++i) {
        const std::string relative = std::string(Pick(rng, kFolders)) + Pick(rng, kBases) +
                                     Pick(rng, kTails) + Pick(rng, kMarkers) + Pick(rng, kExtensions);
        if (SystemPath(root + relative) != root + relative) continue;  // not a name the system keeps
        dir.Make(relative, "content " + std::to_string(i) + " of " + std::to_string(seed));
    }
    const Tree before = test::Snapshot(root);

    test::MessageBoxWatcher watcher;
    std::unique_ptr<TFrmMain> main;
    int runs = 0;
    std::set<std::size_t> unticked;
    if (Chance(rng, 70)) {
        main = Start({});
        main->ScanFolder(root);
        // The scan lists every shortcut file outside the dot-folder.
        std::set<std::string> expected, listed;
        for (const auto& [path, content] : before) {
            const std::string name(SplitPath(root + path)->name);
            if (path.rfind(".cache\\", 0) != 0 && IsShortcutFileName(name)) {
                expected.insert(root + path);
            }
        }
        const ShortcutListModel& model = main->ListView_main().model();
        for (std::size_t i = 0; i < model.Count(); ++i) listed.insert(model.Caption(i));
        EXPECT_EQ(listed, expected);
        for (std::size_t i = 0; i < model.Count(); ++i) {
            if (Chance(rng, 30)) {
                main->ListView_main().SetChecked(static_cast<int>(i), false);
                unticked.insert(i);
            }
        }
        runs = Chance(rng, 30) ? 2 : 1;
        for (int r = 0; r < runs; ++r) main->Action_cutshoutExecute();
    } else {
        // As the Send To menu starts it: some files, a folder, a path that
        // does not exist; the command runs twice by itself.
        std::vector<std::string> parameters;
        for (const auto& [path, content] : before)
            if (Chance(rng, 60)) parameters.push_back(root + path);
        if (Chance(rng, 30)) parameters.push_back(root + "sub");
        if (Chance(rng, 30)) parameters.push_back(root + "gone へのショートカット.lnk");
        std::shuffle(parameters.begin(), parameters.end(), rng);
        main = Start(parameters);
        runs = 2;
    }
    EXPECT_EQ(main->StatusText(), "処理は終了しました。");
    EXPECT_TRUE(watcher.boxes().empty());

    const ShortcutListModel& model = main->ListView_main().model();
    for (std::size_t i : unticked) EXPECT_FALSE(model.Checked(i));
    const Tree after = test::Snapshot(root);

    // Nothing lost, nothing changed, nothing left its folder.
    std::map<std::string, std::string> whereBefore, whereAfter;  // content -> path
    for (const auto& [path, content] : before) whereBefore[content] = path;
    for (const auto& [path, content] : after) whereAfter[content] = path;
    ASSERT_EQ(after.size(), before.size());
    ASSERT_EQ(whereAfter.size(), whereBefore.size());
    for (const auto& [content, path] : whereBefore) {
        ASSERT_EQ(whereAfter.count(content), 1u) << path << " is gone";
        EXPECT_EQ(test::FolderOf(whereAfter[content]), test::FolderOf(path)) << path;
    }
    // Unticked rows and files that are no shortcut keep their names.
    for (std::size_t i : unticked) {
        const std::string relative = model.Caption(i).substr(root.size());
        EXPECT_EQ(after.count(relative), 1u) << relative;
    }
    for (const auto& [path, content] : before) {
        if (!HasShortcutExtension(path)) {
            EXPECT_EQ(whereAfter[content], path);
        }
    }

    EXPECT_EQ(after, Predict(before, root, model, options, runs));
    main.reset();
}

TEST_F(RandomCut, EveryRunKeepsEveryFileAndFollowsTheRule) {
    for (int round = 0; round < kRounds; ++round) {
        const unsigned seed = g_seed + static_cast<unsigned>(round);
        SCOPED_TRACE("round seed " + std::to_string(seed) + " (run with TSLY_SEED=" +
                     std::to_string(g_seed) + ")");
        Round(seed);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace tsly

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--seed=", 0) == 0) tsly::g_seed = static_cast<unsigned>(std::stoul(arg.substr(7)));
    }
    if (const char* env = std::getenv("TSLY_SEED")) {
        tsly::g_seed = std::string(env) == "new" ? static_cast<unsigned>(GetTickCount())
                                                 : static_cast<unsigned>(std::stoul(env));
    }
    std::printf("random_cut_tests: seed %u\n", tsly::g_seed);
    return RUN_ALL_TESTS();
}
