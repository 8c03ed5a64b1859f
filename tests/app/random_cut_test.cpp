// Randomized runs of the cutting command over real folder trees: random
// names (Japanese, ASCII and beyond code page 932, every marker, other extensions, collisions and
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
#include <cctype>
#include <map>
#include <optional>
#include <memory>
#include <random>
#include <set>

#include "app/main_window.h"
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

// An independent model of the cutting rule, written from its description
// rather than from the program's functions, so that a fault in those shows.
struct ModelOptions {
    std::string replacement, secondText;
    bool applyToUnmarked = false, cutSecondText = false, cutModern = true;
};

bool EndsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// ".lnk" in any letter case at the end of the name.
bool ModelIsShortcut(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".lnk";
}

// A name that stays in its folder: no separator, not dots and blanks only.
bool ModelStays(const std::string& name) {
    return name.find_first_of("\\/") == std::string::npos &&
           name.find_first_not_of(". ") != std::string::npos;
}

std::optional<std::string> ModelFirstCut(const std::string& path, const ModelOptions& o) {
    const std::size_t sep = path.rfind('\\');
    if (sep == std::string::npos) return std::nullopt;
    const std::string folder = path.substr(0, sep + 1), name = path.substr(sep + 1);
    if (!ModelIsShortcut(name)) return std::nullopt;
    const std::string stem = name.substr(0, name.size() - 4);
    // A copy's number: " (" digits ")" at the end.
    const std::size_t open = stem.rfind(" (");
    const bool numbered = open != std::string::npos && stem.size() > open + 3 && stem.back() == ')' &&
                          stem.find_first_not_of("0123456789", open + 2) == stem.size() - 1;
    const std::string number = numbered ? stem.substr(open) : "", r = o.replacement;
    std::string base, copy;
    bool cut = false;
    for (const char* marker : {"へのショートカット", "へのｼｮｰﾄｶｯﾄ", " - ショートカット"}) {
        const bool modern = marker[0] == ' ';
        if (modern && !o.cutModern) continue;
        for (const std::string& after : {std::string(), modern ? number : std::string()}) {
            if (cut || !EndsWith(stem, marker + after)) continue;
            base = stem.substr(0, stem.size() - std::string(marker).size() - after.size());
            copy = after.empty() ? "" : r.empty() ? after.substr(1) : after;
            cut = true;
        }
    }
    const auto done = [&r](const std::string& s) {
        return r.empty() ? (s.empty() || EndsWith(s, " "))
                         : !s.empty() && (EndsWith(s, r) || EndsWith(s, r + " "));
    };
    if (!cut) {
        if (!o.applyToUnmarked || done(stem) ||
            (numbered && (r.empty() || done(stem.substr(0, open)))))
            return std::nullopt;
        base = stem;
    }
    const std::string newName = base + " " + r + copy + ".lnk";
    if (!ModelStays(newName)) return std::nullopt;
    return folder + newName;
}

std::optional<std::string> ModelSecondCut(const std::string& path, const ModelOptions& o) {
    if (!o.cutSecondText || o.secondText.empty()) return std::nullopt;
    const std::size_t sep = path.rfind('\\');
    if (sep == std::string::npos) return std::nullopt;
    const std::string name = path.substr(sep + 1);
    if (!ModelIsShortcut(name)) return std::nullopt;
    const std::size_t at = name.find(o.secondText);
    if (at == std::string::npos) return std::nullopt;
    const std::string newName = name.substr(0, at) + name.substr(at + o.secondText.size());
    if (!ModelStays(newName)) return std::nullopt;
    return path.substr(0, sep + 1) + newName;
}

// The name the system gives a file: trailing dots and blanks dropped.
std::string SystemPath(std::string path) {
    const std::size_t folderEnd = path.rfind('\\') + 1;
    std::size_t keep = path.size();
    while (keep > folderEnd && (path[keep - 1] == ' ' || path[keep - 1] == '.')) --keep;
    path.resize(keep);
    return path;
}

// The file system compares names without regard to case, as the system
// folds them.
std::wstring FileKey(const std::string& path) {
    std::wstring key = test::W(path);
    if (!key.empty()) CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

// The tree the command should leave: the rows in list order, through the
// model rule, on a model of the files where a rename fails when its source
// is missing or its target is taken.
// `rows` are the listed paths with their ticks; after a rename a row follows
// its file. `repeat`: the start-up's second run, which leaves the rows the
// first one renamed.
using ListedRows = std::vector<std::pair<std::string, bool>>;
Tree Predict(const Tree& before, const std::string& root, ListedRows rows,
             const ModelOptions& options, int runs, bool repeat) {
    std::map<std::wstring, std::pair<std::string, std::string>> files;  // key -> path, content
    for (const auto& [path, content] : before) files[FileKey(root + path)] = {root + path, content};
    auto rename = [&](const std::string& from, const std::string& to) {
        const std::string target = SystemPath(to);
        const auto it = files.find(FileKey(from));
        if (it == files.end() || files.count(FileKey(target))) return false;
        const std::string content = it->second.second;
        files.erase(it);
        files[FileKey(target)] = {target, content};
        return true;
    };
    std::vector<bool> renamed(rows.size());
    for (int run = 0; run < runs; ++run) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (!rows[i].second || (repeat && renamed[i])) continue;
            std::string& current = rows[i].first;
            if (auto first = ModelFirstCut(current, options)) {
                if (rename(current, *first)) current = SystemPath(*first), renamed[i] = true;
            }
            if (auto second = ModelSecondCut(current, options)) {
                if (rename(current, *second)) current = SystemPath(*second), renamed[i] = true;
            }
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

    // Options, stored as text or left out; each flag text with what it
    // means (nothing stored, or no number, means the default).
    struct Flag { const char* stored; int meaning; };  // -1: the default
    static const char* const kTexts[] = {nullptr, "", "(link)", "ト", " ", "表", "x", "ｶｯﾄ", "®", "😀"};
    static const Flag kFlags[] = {{nullptr, -1}, {"", -1}, {"0", 0}, {"1", 1}, {"2", 1},
                                  {"-1", 1}, {"yes", -1}, {" 1", 1}, {"0x0", 0}};
    static const char* const kCuts[] = {nullptr, "", "Copy of ", ".lnk", "k", "表", "ト", " ",
                                        "ｶｯﾄ", "é", "😀"};
    const char* texts[2] = {Pick(rng, kTexts), Pick(rng, kCuts)};
    const Flag flags[3] = {Pick(rng, kFlags), Pick(rng, kFlags), Pick(rng, kFlags)};
    if (texts[0]) test::WriteRegText(test::kOptionsKey, "Char", texts[0]);
    if (texts[1]) test::WriteRegText(test::kOptionsKey, "cutname", texts[1]);
    const char* flagNames[3] = {"Short1", "cutnameflg", "CutModernMarker"};
    for (int i = 0; i < 3; ++i)
        if (flags[i].stored) test::WriteRegText(test::kOptionsKey, flagNames[i], flags[i].stored);
    ModelOptions options;
    options.replacement = texts[0] ? texts[0] : "";
    options.secondText = texts[1] ? texts[1] : "";
    options.applyToUnmarked = flags[0].meaning == 1;
    options.cutSecondText = flags[1].meaning == 1;
    options.cutModern = flags[2].meaning != 0;

    // Folders, one of them a dot-folder the scan skips, one named like a
    // shortcut.
    static const char* const kFolders[] = {"", "", "sub\\", "表\\", "ソフト\\十能\\", ".cache\\",
                                           "aへのショートカット.lnk\\"};
    for (const char* f : {"sub", "表", "ソフト", "ソフト\\十能", ".cache", "aへのショートカット.lnk"})
        dir.MakeFolder(f);

    // Files with unique contents; names from small pools so that new names
    // collide with each other and with files that exist.
    static const char* const kBases[] = {"電卓", "メモ帳", "Copy of Report", "表計算", "a", "モﾖの",
                                         "ソ", "Book", "x (link)", "", "電卓 ", "Copy of 表",
                                         "Adobe® Reader", "Café", "😀", "메모장", "记事本"};
    static const char* const kTails[] = {"", "", "", " ", " (link)", "ト", " ト", "ｶｯﾄ", "ショートカット",
                                         " –"};
    static const char* const kMarkers[] = {"", "へのショートカット", "へのｼｮｰﾄｶｯﾄ", "へのショートカット",
                                           " へのｼｮｰﾄｶｯﾄ", " - ショートカット", " - ショートカット (2)"};
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
    ListedRows rows;  // as listed, before any cut
    bool startUp = false;
    if (Chance(rng, 70)) {
        main = Start({});
        main->ScanFolder(root);
        // The scan lists every shortcut file outside the dot-folder.
        std::set<std::string> expected, listed;
        for (const auto& [path, content] : before) {
            if (path.rfind(".cache\\", 0) != 0 && ModelIsShortcut(path)) {
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
        for (std::size_t i = 0; i < model.Count(); ++i) rows.emplace_back(model.Caption(i), model.Checked(i));
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
        for (const std::string& p : parameters) rows.emplace_back(p == root + "sub" ? p + "\\" : p, true);
        main = Start(parameters);
        runs = 2;
        startUp = true;
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
        const std::string relative = rows[i].first.substr(root.size());
        EXPECT_EQ(after.count(relative), 1u) << relative;
    }
    for (const auto& [path, content] : before) {
        if (!ModelIsShortcut(path)) {
            EXPECT_EQ(whereAfter[content], path);
        }
    }

    EXPECT_EQ(after, Predict(before, root, rows, options, runs, startUp));
    // Every row names its file as it is now.
    for (std::size_t i = 0; i < model.Count(); ++i) {
        const std::string& caption = model.Caption(i);
        if (caption.back() != '\\' && model.Outcome(i).kind == OutcomeKind::Renamed) {
            EXPECT_EQ(after.count(caption.substr(root.size())), 1u) << caption;
        }
    }
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
