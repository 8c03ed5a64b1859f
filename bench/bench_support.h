// What the benchmark's parts share: the clock, means, memory counters and
// the order of paired runs.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <numeric>
#include <vector>

namespace tsly::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline double Mean(const std::vector<double>& v) {
    return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

// A process's memory counters (zeros when they cannot be read), and sizes
// in MiB.
inline PROCESS_MEMORY_COUNTERS MemoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) counters = {};
    return counters;
}
inline double MiB(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

// Runs `a` and `b` in the order of run `run`: the runs go in pairs, the
// second in the opposite order of the first, so that a steady drift of the
// machine's speed falls on both sides alike.
template <typename A, typename B>
void InPairOrder(int run, A&& a, B&& b) {
    if (run % 2 == 0) {
        a();
        b();
    } else {
        b();
        a();
    }
}

}  // namespace tsly::bench
