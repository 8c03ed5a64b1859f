// Measures the program against the bare file-system work it stands on, on
// a synthetic tree of shortcut files, with the preview and the undo journal
// on as a user has them:
//   W  a bare recursive FindFirstFileExW walk collecting the .lnk paths,
//      with basic information and large fetches, as the scan enumerates
//   B  the program's own scan into the real main window's list
//   C  the program's cutting command over every listed file
//   D  a bare MoveFileW loop doing the same renames
//   U  the program's undo of that cut
//   E  a bare MoveFileW loop doing the same renames back, last first
// and the peak memory over the empty window through a scan, its preview, a
// cut and its undo; the longest the window kept another thread waiting
// during a cut; and the cost of writing the journal alone.
// The walk and the scan are measured three times a run; trees under 100,000
// shortcuts get up to three times the runs; every count is rounded up to
// whole pairs of runs, the second of a pair in the opposite order of the
// first. Times are means over the runs, and each ratio the ratio of the
// means; the ratio of each pair of runs is printed under its row.
// Exits with 1 when a target is missed: B/W, C/D and U/E <= 1.10, at most
// 32 MiB over the empty window, the window answering within 100 ms, the
// journal within 5 % of the cut.
// First, the start-up from outside the real program (startup_bench.cpp);
// then, for each tree, also the cut from outside (K against D, and the
// peak working set over the empty window's, with the same targets).
// Usage: tsly_bench [shortcuts...] [--runs N] [--drive] [--memory]
//   --memory: only the peak memory of one cut, in process and from outside.
//   --drive: also the drive-like tree, 5,000 shortcuts among 100,000 other
//   files in 10,000 folders (the scan only: B/W <= 1.10).
#include <windows.h>
#include <psapi.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "app/settings_removal.h"
#include "bench/bench_support.h"
#include "bench/outside_cut.h"
#include "core/cut_command.h"
#include "core/cut_rule.h"
#include "core/undo_journal.h"
#include "platform/application.h"
#include "platform/settings_store.h"
#include "platform/text.h"
#include "platform/undo_journal_file.h"
#include "tests/app/harness.h"

namespace {

using tsly::bench::Clock;
using tsly::bench::InPairOrder;
using tsly::bench::Mean;
using tsly::bench::MemoryOf;
using tsly::bench::MiB;
using tsly::bench::Seconds;

// The runs come in pairs, the second in the opposite order of the first
// (a b, then b a): over such a pair a steady drift of the machine's speed
// falls on both sides alike. One ratio per pair, of its sums, to show the
// spread.
std::vector<double> PairRatios(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i + 1 < a.size() && i + 1 < b.size(); i += 2) {
        ratios.push_back((a[i] + a[i + 1]) / (b[i] + b[i + 1]));
    }
    return ratios;
}

double PeakMiB() { return MiB(MemoryOf(GetCurrentProcess()).PeakPagefileUsage); }
double CurrentMiB() { return MiB(MemoryOf(GetCurrentProcess()).PagefileUsage); }

using tsly::win::FromWide;
using tsly::win::ToWide;

void Touch(const std::string& path) {
    HANDLE h = CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

// `shortcuts` files with marker names (all three markers) spread over
// `folders` folders, each folder with `others` other files, in root.
void MakeTree(const std::string& root, int shortcuts, int folders, int others) {
    static const char* const kMarkers[] = {"へのショートカット", "へのｼｮｰﾄｶｯﾄ", " - ショートカット"};
    const int perFolder = (shortcuts + folders - 1) / folders;
    int made = 0;
    for (int f = 0; f < folders; ++f) {
        const std::string folder = root + "フォルダ" + std::to_string(f) + "\\";
        CreateDirectoryW(ToWide(folder).c_str(), nullptr);
        for (int i = 0; i < perFolder && made < shortcuts; ++i, ++made) {
            Touch(folder + "電卓" + std::to_string(i) + kMarkers[i % 3] + ".lnk");
        }
        for (int i = 0; i < others; ++i) Touch(folder + "readme" + std::to_string(i) + ".txt");
    }
}

// The walk W: UTF-16, basic information, large fetches.
void BareWalkW(const std::wstring& folder, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileExW((folder + L"*.*").c_str(), FindExInfoBasic, &data,
                                FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name[0] != L'.') BareWalkW(folder + name + L"\\", out);
        } else if (name.size() >= 4 && _wcsicmp(name.c_str() + name.size() - 4, L".lnk") == 0) {
            out.push_back(folder + name);
        }
    } while (FindNextFileW(h, &data));
    FindClose(h);
}

// Waits for the file system to write what earlier steps changed: flushing
// one file commits the whole journal of an ext4 volume under Wine, so that
// no step pays for the one before it.
class Settler {
public:
    explicit Settler(const std::string& path)
        : path_(ToWide(path)),
          file_(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)) {}
    ~Settler() {
        CloseHandle(file_);
        DeleteFileW(path_.c_str());
    }
    Settler(const Settler&) = delete;
    Settler& operator=(const Settler&) = delete;
    void operator()() const {
        DWORD written = 0;
        WriteFile(file_, "x", 1, &written, nullptr);
        FlushFileBuffers(file_);
    }

private:
    std::wstring path_;
    HANDLE file_;
};

struct Rename {
    std::wstring from, to;
};

}  // namespace

// The journal alone: the lines the cut keeps for these renames, in the
// cut's batches, each flushed before it would run.
double JournalAlone(const std::vector<Rename>& renames) {
    const auto start = Clock::now();
    const auto journal = tsly::win::UndoJournalFile::CreateNew(tsly::win::UndoJournalFolder());
    if (!journal) return 0;
    std::size_t batch = tsly::kFirstJournalBatch, at = 0;
    while (at < renames.size()) {
        const std::size_t end = std::min(renames.size(), at + batch);
        std::string lines, done;
        for (std::size_t i = at; i < end; ++i) {
            const std::string from = FromWide(renames[i].from), to = FromWide(renames[i].to);
            lines += tsly::JournalRenameLine(tsly::JournalRename{tsly::FileId{1, i}, from, {}, to, false, {}});
            done += tsly::JournalDoneLine(i, to);
        }
        journal->Append(lines, true);
        journal->Append(done, false);
        at = end;
        batch = std::min(batch * 2, tsly::kLongestJournalBatch);
    }
    const double seconds = Seconds(start);
    journal->Delete();
    return seconds;
}

// Asks the window to answer, from another thread, for as long as `work`
// runs; the longest wait is what a user feels.
double LongestWait(tsly::win::Application& app, HWND window, const std::function<void()>& work) {
    std::atomic<bool> working{true}, asking{true};
    double longest = 0;
    std::thread probe([&] {
        for (; working; asking = true) {
            const auto sent = Clock::now();
            DWORD_PTR result = 0;
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            if (working) longest = std::max(longest, Seconds(sent));
            asking = false;
            Sleep(5);
        }
        asking = false;
    });
    work();
    working = false;
    while (asking) app.ProcessMessages();  // its last question first
    probe.join();
    return longest;
}

bool StartUpBench(int runs);

struct Tree {
    const char* name;
    int shortcuts, folders, others;
    bool scanOnly;
};

int main(int argc, char** argv) {
    std::vector<Tree> trees;
    int runs = 5;
    bool drive = false, memoryOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) runs = std::atoi(argv[++i]);
        else if (arg == "--drive") drive = true;
        else if (arg == "--memory") memoryOnly = true;
        else trees.push_back(Tree{nullptr, std::atoi(argv[i]), (std::atoi(argv[i]) + 99) / 100, 1, false});
    }
    if (trees.empty()) {
        for (int size : {10000, 100000}) trees.push_back(Tree{nullptr, size, size / 100, 1, false});
    }
    if (drive) trees.push_back(Tree{"drive", 5000, 10000, 10, true});

    auto& app = tsly::win::Application::Instance();
    app.SetTitle("Tessalyne");
    app.Initialize();
    // Default options: the markers are cut, a blank takes their place.
    tsly::DeleteKeyTree(tsly::kSettingsKey);

    // Starts take a second or two: ten times the runs of the rest.
    bool missed = !memoryOnly && !StartUpBench(runs * 10);
    std::printf("%-9s %8s %8s %5s %8s %8s %5s %8s %8s %5s %9s %7s %8s\n", "files", "W walk",
                "B scan", "B/W", "C cut", "D move", "C/D", "U undo", "E back", "U/E", "peak MiB",
                "wait", "journal");
    for (const Tree& tree : trees) {
        const tsly::test::TempDir dir;  // removed with the tree at the end
        const std::string& root = dir.path();
        MakeTree(root, tree.shortcuts, tree.folders, tree.others);
        const Settler settle(root.substr(0, root.size() - 1) + ".settle");  // beside the tree

        char* args[] = {argv[0]};
        tsly::TFrmMain main;
        main.Create(1, args);
        app.ProcessMessages();
        const double baseline = CurrentMiB();

        // The program's own memory through a scan, the preview of the rows
        // in view, a cut and its undo, before the benchmark holds lists of
        // its own.
        main.ScanFolder(root);
        app.ProcessMessages();
        const std::size_t listed = main.ListView_main().model().Count();
        if (!tree.scanOnly) {
            main.Action_cutshoutExecute();
            main.Action_undoExecute();
        }
        app.ProcessMessages();
        const double peak = PeakMiB();
        if (memoryOnly) {
            const auto outside = tree.scanOnly ? std::nullopt : CutFromOutside(listed, [&] { settle(); });
            std::printf("%-9d peak over the empty window: %+.1f MiB in process, %+.1f MiB working set "
                        "from outside (%+.1f before its picker opened)\n",
                        tree.shortcuts, peak - baseline, outside ? outside->peakOverEmptyMiB : 0.0,
                        outside ? outside->peakOverBareMiB : 0.0);
            main.N6Click();
            continue;
        }

        std::vector<double> w, b, c, d, u, e;
        // The walk and the scan take a second at most: three of each a run,
        // taking turns going first. A cut of fewer files takes a few
        // seconds, over which this machine's speed varies by a tenth:
        // smaller trees get more runs of everything, up to three times as
        // many. Every count is even: the runs go in pairs of opposite order.
        const int perRun = std::clamp(100000 / std::max(tree.shortcuts, 1), 1, 3);
        const auto paired = [](int n) { return (n + 1) / 2 * 2; };
        std::vector<std::wstring> found;
        auto timeWalk = [&] {
            found.clear();
            settle();
            const auto start = Clock::now();
            BareWalkW(ToWide(root), found);
            w.push_back(Seconds(start));
        };
        auto scan = [&] {
            main.N6Click();
            app.ProcessMessages();
            settle();
            const auto start = Clock::now();
            main.ScanFolder(root);
            const double seconds = Seconds(start);
            app.ProcessMessages();
            return seconds;
        };
        for (int round = 0; round < paired(runs * 3 * perRun); ++round) {
            InPairOrder(round, timeWalk, [&] { b.push_back(scan()); });
            if (main.ListView_main().model().Count() != found.size() || listed != found.size()) {
                std::fprintf(stderr, "scan listed %zu of %zu\n",
                             main.ListView_main().model().Count(), found.size());
                return 1;
            }
        }
        std::vector<Rename> renames;
        for (const std::wstring& path : found) {
            if (auto to = tsly::FirstCutTarget(FromWide(path), tsly::CutOptions{})) {
                renames.push_back({path, ToWide(*to)});
            }
        }
        // The bare renames (D) and back (E), last first, as an undo takes them.
        const auto timeMoves = [&](std::vector<double>& forth, std::vector<double>& back) {
            settle();
            auto start = Clock::now();
            for (const Rename& r : renames) MoveFileW(r.from.c_str(), r.to.c_str());
            forth.push_back(Seconds(start));
            settle();
            start = Clock::now();
            for (auto r = renames.rbegin(); r != renames.rend(); ++r) {
                MoveFileW(r->to.c_str(), r->from.c_str());
            }
            back.push_back(Seconds(start));
        };
        const int cutRuns = tree.scanOnly ? 0 : paired(runs * perRun);
        for (int run = 0; run < cutRuns; ++run) {
            // The program and the bare loop take turns going first, so that
            // neither always meets the file system as the other left it. The
            // bare renames back go last first, as an undo takes them.
            auto timeProgram = [&] {
                scan();
                settle();
                auto start = Clock::now();
                main.Action_cutshoutExecute();
                c.push_back(Seconds(start));
                // The rows the cut changed are drawn now, not in the undo's
                // first turn; the undo's own are drawn by the scan after it.
                app.ProcessMessages();
                settle();
                start = Clock::now();
                main.Action_undoExecute();
                u.push_back(Seconds(start));
            };
            InPairOrder(run, timeProgram, [&] { timeMoves(d, e); });
        }
        // The same cut seen from outside a real tsly.exe, in pairs with the
        // bare renames again.
        std::vector<double> k, dk, ek, pk, pb;
        for (int run = 0; run < (tree.scanOnly ? 0 : paired(runs)); ++run) {
            InPairOrder(
                run,
                [&] {
                    if (const auto cut = CutFromOutside(found.size(), [&] { settle(); })) {
                        k.push_back(cut->seconds);
                        pk.push_back(cut->peakOverEmptyMiB);
                        pb.push_back(cut->peakOverBareMiB);
                    }
                },
                [&] { timeMoves(dk, ek); });
        }
        double longestWait = 0, journal = 0;
        if (!tree.scanOnly) {
            scan();
            longestWait = LongestWait(app, main.hwnd(), [&] { main.Action_cutshoutExecute(); });
            main.Action_undoExecute();
            journal = JournalAlone(renames);
        }
        // Each side's mean over all its runs, and each ratio the ratio of
        // the means: both sides ran as often, in pairs of opposite order.
        const double mw = Mean(w), mb = Mean(b);
        const double mc = Mean(c), md = tree.scanOnly ? 1 : Mean(d);
        const double mu = Mean(u), me = tree.scanOnly ? 1 : Mean(e);
        const double bw = mb / mw, cd = mc / md, ue = mu / me;
        const std::string label =
            tree.name ? std::string(tree.name) : std::to_string(tree.shortcuts);
        std::printf("%-9s %7.3fs %7.3fs %5.2f %7.3fs %7.3fs %5.2f %7.3fs %7.3fs %5.2f %+8.1f %5.0fms %7.1f%%\n",
                    label.c_str(), mw, mb, bw, mc, md, cd, mu, me, ue,
                    peak - baseline, longestWait * 1000, mc > 0 ? journal / mc * 100 : 0.0);
        // Each pair's ratio, for the spread behind the means.
        auto printRatios = [](const char* name, const std::vector<double>& a,
                              const std::vector<double>& b) {
            std::printf("  %s", name);
            for (double ratio : PairRatios(a, b)) std::printf(" %.2f", ratio);
        };
        printRatios("pairs B/W", b, w);
        if (!tree.scanOnly) {
            printRatios(";  C/D", c, d);
            printRatios(";  U/E", u, e);
        }
        std::printf("\n");
        const auto most = [](const std::vector<double>& v) {
            return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
        };
        const double kd = Mean(k) / Mean(dk), outsidePeak = most(pk);
        if (!tree.scanOnly) {
            std::printf("  outside: K cut %.3fs  D %.3fs  K/D %.2f  peak working set %+.1f MiB over the "
                        "empty window (%+.1f before its picker opened)",
                        Mean(k), Mean(dk), kd, outsidePeak, most(pb));
            printRatios(";  pairs K/D", k, dk);
            std::printf("\n");
        }
        const bool big = tree.shortcuts >= 100000;
        const bool outsideMissed = !tree.scanOnly && (k.size() != dk.size() || kd > 1.10 ||
                                                      (big && outsidePeak > 32));
        if (bw > 1.10 ||
            (!tree.scanOnly && (cd > 1.10 || ue > 1.10 || longestWait > 0.100 ||
                                (big && (peak - baseline > 32 || journal > 0.05 * mc)))) ||
            outsideMissed) {
            std::printf("          missed a target: B/W, C/D, U/E <= 1.10, wait <= 100 ms%s\n",
                        big ? ", <= 32 MiB, journal <= 5 %" : "");
            missed = true;
        }
        std::fflush(stdout);
        main.N6Click();
    }
    return missed ? 1 : 0;
}
