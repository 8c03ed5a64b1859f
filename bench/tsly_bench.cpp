// Measures the scan and the cut against the bare file-system work they stand
// on, on a synthetic tree of shortcut files:
//   A  a bare recursive FindFirstFileA walk collecting the .lnk paths
//   W  the same walk with FindFirstFileExW, basic information and large
//      fetches, as the scan enumerates (shown beside A)
//   B  the program's own scan into the real main window's list
//   C  the program's cutting command over every listed file
//   D  a bare MoveFileW loop doing the same renames
// Exits with 1 when a target is missed: B/A <= 1.2 from 100,000 shortcuts
// on (<= 2 below), C/D <= 1.25, at most 64 MiB over the empty window.
// Usage: tsly_bench [shortcuts...] [--runs N] [--scan-only]
#include <windows.h>
#include <psapi.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "core/cut_rule.h"
#include "platform/application.h"
#include "platform/settings_store.h"
#include "platform/text.h"
#include "tests/app/harness.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double PeakMiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakPagefileUsage) / (1024.0 * 1024.0);
}

double CurrentMiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0);
}

using tsly::win::FromWide;
using tsly::win::ToWide;

void Touch(const std::string& path) {
    HANDLE h = CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

// folders x perFolder shortcuts with marker names (all three markers), plus
// one other file per folder, in the existing folder root.
void MakeTree(const std::string& root, int shortcuts) {
    const int perFolder = 100;
    const int folders = (shortcuts + perFolder - 1) / perFolder;
    static const char* const kMarkers[] = {"へのショートカット", "へのｼｮｰﾄｶｯﾄ", " - ショートカット"};
    int made = 0;
    for (int f = 0; f < folders; ++f) {
        const std::string folder = root + "フォルダ" + std::to_string(f) + "\\";
        CreateDirectoryW(ToWide(folder).c_str(), nullptr);
        for (int i = 0; i < perFolder && made < shortcuts; ++i, ++made) {
            Touch(folder + "電卓" + std::to_string(i) + kMarkers[i % 3] + ".lnk");
        }
        Touch(folder + "readme.txt");
    }
}

// The walk A: the naive ANSI walk, in the system's code page.
void BareWalkA(const std::string& folder, std::vector<std::string>& out) {
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((folder + "*.*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name[0] != '.') BareWalkA(folder + name + "\\", out);
        } else if (name.size() >= 4 && _stricmp(name.c_str() + name.size() - 4, ".lnk") == 0) {
            out.push_back(folder + name);
        }
    } while (FindNextFileA(h, &data));
    FindClose(h);
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

struct Rename {
    std::wstring from, to;
};

void MoveAll(const std::vector<Rename>& renames, bool forward) {
    for (const Rename& r : renames) {
        if (forward) MoveFileW(r.from.c_str(), r.to.c_str());
        else MoveFileW(r.to.c_str(), r.from.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    int runs = 5;
    bool scanOnly = false;  // A, W and B alone, when working on the scan
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) runs = std::atoi(argv[++i]);
        else if (arg == "--scan-only") scanOnly = true;
        else sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty()) sizes = {10000, 100000};

    auto& app = tsly::win::Application::Instance();
    app.SetTitle("Tessalyne");
    app.Initialize();
    {
        // Default options: the markers are cut, a blank takes their place.
        tsly::DeleteKeyTree(tsly::kSettingsKey);
    }

    std::printf("%-9s %9s %9s %9s %6s %9s %9s %6s %10s\n", "files", "A walk", "W walk",
                "B scan", "B/A", "C cut", "D move", "C/D", "peak MiB");
    bool missed = false;
    for (int size : sizes) {
        const tsly::test::TempDir dir;  // removed with the tree at the end
        const std::string& root = dir.path();
        MakeTree(root, size);

        char* args[] = {argv[0]};
        tsly::TFrmMain main;
        main.Create(1, args);
        app.ProcessMessages();
        const double baseline = CurrentMiB();

        // The program's own memory: the first scan, into an empty window,
        // before the benchmark holds lists of its own.
        main.ScanFolder(root);
        app.ProcessMessages();
        const double peak = PeakMiB();
        const std::size_t listed = main.ListView_main().model().Count();

        std::vector<double> a, w, b, c, d;
        double longestWait = 0;
        std::vector<Rename> renames;
        for (int run = 0; run < runs; ++run) {
            std::vector<std::string> foundA;
            auto t = Clock::now();
            BareWalkA(root, foundA);
            a.push_back(Seconds(t));
            std::vector<std::wstring> found;
            t = Clock::now();
            BareWalkW(ToWide(root), found);
            w.push_back(Seconds(t));

            main.N6Click();
            app.ProcessMessages();
            t = Clock::now();
            main.ScanFolder(root);
            b.push_back(Seconds(t));
            app.ProcessMessages();
            if (main.ListView_main().model().Count() != found.size() || listed != found.size()) {
                std::fprintf(stderr, "scan listed %zu of %zu\n",
                             main.ListView_main().model().Count(), found.size());
                return 1;
            }

            renames.clear();
            for (const std::wstring& path : found) {
                if (auto to = tsly::FirstCutTarget(FromWide(path), tsly::CutOptions{})) {
                    renames.push_back({path, ToWide(*to)});
                }
            }
            if (scanOnly) {
                c.push_back(1);
                d.push_back(1);
                continue;
            }
            // C and D take turns going first, so that neither always meets
            // the file system in the state the other left behind.
            auto timeCut = [&] {
                const auto start = Clock::now();
                main.Action_cutshoutExecute();
                c.push_back(Seconds(start));
                MoveAll(renames, false);  // put the names back (not timed)
            };
            auto timeMoves = [&] {
                const auto start = Clock::now();
                MoveAll(renames, true);
                d.push_back(Seconds(start));
                MoveAll(renames, false);
            };
            if (run % 2 == 0) {
                timeCut();
                timeMoves();
            } else {
                timeMoves();
                timeCut();
            }
        }
        if (!scanOnly) {
            // One more cut, not timed: another thread keeps asking the window
            // to answer while it runs; the longest wait is what a user feels.
            std::atomic<bool> cutting{true}, probing{true};
            std::thread probe([&] {
                for (; cutting; probing = true) {
                    const auto sent = Clock::now();
                    DWORD_PTR result = 0;
                    SendMessageTimeoutW(main.hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
                    if (cutting) longestWait = std::max(longestWait, Seconds(sent));
                    probing = false;
                    Sleep(5);
                }
                probing = false;
            });
            main.Action_cutshoutExecute();
            cutting = false;
            while (probing) app.ProcessMessages();  // its last question first
            probe.join();
            MoveAll(renames, false);
        }
        const double ma = Median(a), mw = Median(w), mb = Median(b), mc = Median(c),
                     md = Median(d);
        std::printf("%-9d %8.3fs %8.3fs %8.3fs %6.2f %8.3fs %8.3fs %6.2f %10.1f (+%.1f over the empty window)\n",
                    size, ma, mw, mb, mb / ma, mc, md, mc / md, peak, peak - baseline);
        if (!scanOnly) {
            std::printf("          the window answered within %.0f ms throughout a cut\n",
                        longestWait * 1000);
        }
        const double scanTarget = size >= 100000 ? 1.2 : 2.0;
        if (mb / ma > scanTarget || mc / md > 1.25 || peak - baseline > 64) {
            std::printf("          missed a target: B/A <= %.1f, C/D <= 1.25, <= 64 MiB\n",
                        scanTarget);
            missed = true;
        }
        std::fflush(stdout);

        // The full list stays usable: a jump to its end with the rows drawn,
        // and a tick that redraws its row struck out.
        HWND list = main.ListView_main().hwnd();
        auto t = Clock::now();
        ListView_EnsureVisible(list, static_cast<int>(listed) - 1, FALSE);
        UpdateWindow(list);
        const double scroll = Seconds(t);
        const int top = ListView_GetTopIndex(list);
        t = Clock::now();
        main.ListView_main().SetChecked(top, false);
        const double tick = Seconds(t);
        std::printf("          jump to row %zu and draw: %.1f ms; untick row %d and draw: %.1f ms\n",
                    listed, scroll * 1000, top + 1, tick * 1000);
        std::fflush(stdout);
        main.N6Click();
    }
    return missed ? 1 : 0;
}
