#include "core/column_split.h"

#include <algorithm>

#include "core/status_split.h"

namespace tsly {

int PathColumnWidth(int list, int chosen, int pathNeed, int resultNeed) {
    // The status bar's rule: the paths are its left part, "結果" its right.
    // A chosen width narrower than the paths need is what they get.
    return LeftPartWidth(list, chosen, std::min(pathNeed, chosen), resultNeed);
}

std::string PathAtShortest(std::string_view path) {
    // A network path's root ("\\server\share") and a long path's ("\\?\C:")
    // end at its fourth separator, a drive's at its first.
    const int rootSeparators = path.substr(0, 2) == "\\\\" ? 4 : 1;
    std::size_t rootEnd = std::string_view::npos;
    for (int seen = 0; seen < rootSeparators; ++seen) {
        rootEnd = path.find('\\', rootEnd + 1);
        if (rootEnd == std::string_view::npos) return std::string(path);
    }
    // With nothing between the root and the name, this is no shorter.
    const std::size_t nameStart = path.rfind('\\') + 1;
    std::string shortest(path.substr(0, rootEnd));
    shortest += "\\...\\";
    shortest += path.substr(nameStart);
    return shortest.size() < path.size() ? shortest : std::string(path);
}

}  // namespace tsly
