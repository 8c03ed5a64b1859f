// The start-up as a user meets it, measured from outside the real tsly.exe:
//   S0  from the process start to the main window, started without files
//   S1  the same, started as Send To starts it with 1,000 shortcuts of one
//       folder
//   T   S1's whole Send To: from the process start to the cut's end in the
//       status bar
//   R   a bare start without files (S0) plus bare MoveFileW renames of the
//       same files
// in pairs of opposite order. Targets: S1 within 1.5 x S0 and one second
// more at most; T/R <= 1.10.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/cut_rule.h"
#include "platform/text.h"
#include "tests/app/running_program.h"

namespace {

using Clock = std::chrono::steady_clock;
using tsly::win::ToWide;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Polls as often as the window system answers: a 50 ms poll would hide
// differences of that size.
template <typename Done>
bool Until(Done done, DWORD timeoutMs = 60000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(1);
    }
    return true;
}

}  // namespace

// Returns false when a target is missed.
bool StartUpBench(int runs) {
    constexpr int kFiles = 1000;
    const std::string folder = "C:\\tsly-startup\\";  // short: a thousand paths fit one command line
    CreateDirectoryW(ToWide(folder).c_str(), nullptr);
    std::vector<std::string> paths, cut;
    for (int i = 0; i < kFiles; ++i) {
        paths.push_back(folder + "電卓" + std::to_string(i) + " - ショートカット.lnk");
        cut.push_back(*tsly::FirstCutTarget(paths.back(), tsly::CutOptions{}));
    }
    const auto makeFiles = [&] {
        for (const std::string& p : paths) {
            CloseHandle(CreateFileW(ToWide(p).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        }
    };
    const auto removeFiles = [&] {
        for (const auto* list : {&paths, &cut}) {
            for (const std::string& p : *list) DeleteFileW(ToWide(p).c_str());
        }
    };
    // The time to the window, and with `parameters` the time to the cut's end.
    const auto start = [](const std::vector<std::string>& parameters, double* cutEnd) {
        const auto begun = Clock::now();
        tsly::test::RunningProgram program(parameters);
        HWND main = nullptr;
        Until([&] { return (main = tsly::test::VisibleMainWindow(program.pid())) != nullptr; });
        const double shown = Seconds(begun);
        if (cutEnd) {
            Until([&] { return tsly::test::StatusText(main) == "処理は終了しました。"; });
            *cutEnd = Seconds(begun);
        }
        PostMessageW(main, WM_CLOSE, 0, 0);
        program.WaitForExit();
        return shown;
    };
    std::vector<double> s0, s1, t, r;
    for (int run = 0; run < (runs + 1) / 2 * 2; ++run) {
        const auto timeProgram = [&] {
            makeFiles();
            double end = 0;
            s1.push_back(start(paths, &end));
            t.push_back(end);
            removeFiles();
        };
        const auto timeBare = [&] {
            makeFiles();
            s0.push_back(start({}, nullptr));
            const auto begun = Clock::now();
            for (int i = 0; i < kFiles; ++i) MoveFileW(ToWide(paths[i]).c_str(), ToWide(cut[i]).c_str());
            r.push_back(s0.back() + Seconds(begun));
            removeFiles();
        };
        if (run % 2 == 0) {
            timeProgram();
            timeBare();
        } else {
            timeBare();
            timeProgram();
        }
    }
    RemoveDirectoryW(ToWide(folder).c_str());
    const auto mean = [](const std::vector<double>& v) {
        double sum = 0;
        for (double x : v) sum += x;
        return v.empty() ? 0 : sum / static_cast<double>(v.size());
    };
    const double m0 = mean(s0), m1 = mean(s1), mt = mean(t), mr = mean(r);
    std::printf("start-up  S0 no files %.3fs  S1 1,000 paths %.3fs  S1/S0 %.2f  "
                "T Send To to the cut's end %.3fs  R bare start + renames %.3fs  T/R %.2f\n",
                m0, m1, m1 / m0, mt, mr, mt / mr);
    const bool met = m1 <= 1.5 * m0 && m1 - m0 <= 1.0 && mt / mr <= 1.10;
    if (!met) std::printf("          missed a target: S1 <= 1.5 x S0 and S0 + 1 s, T/R <= 1.10\n");
    std::fflush(stdout);
    return met;
}
