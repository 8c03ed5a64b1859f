// The cut of a large tree as the user sees it, from outside the real
// tsly.exe (startup_bench.cpp).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>

struct OutsideCut {
    double seconds = 0;           // K: the menu command posted to the status bar's "finished"
    double peakOverEmptyMiB = 0;  // P: peak working set over the empty window's, picker open
    double peakOverBareMiB = 0;   // the same over the window's before its picker opened
};

// Scans the last folder scanned through the picker of a real tsly.exe,
// cuts its `shortcuts` files and undoes the cut.
std::optional<OutsideCut> CutFromOutside(std::size_t shortcuts, const std::function<void()>& settle);
