#include "core/cut_rule.h"

#include <cctype>

#include "core/utf8.h"

namespace tsly {
namespace {

// An ending counts only where it begins a character, never inside one.
bool EndsWith(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0 &&
           utf8::IsCharBoundary(text, text.size() - ending.size());
}

// A new name must name a file in the same folder: no separator of its own,
// and not a name the system reads as the folder or its parent ("", ".",
// "..", or dots and blanks only, which lose their trailing dots and blanks).
bool StaysInFolder(std::string_view name) {
    if (name.find_first_of("\\/") != std::string_view::npos) return false;
    return name.find_first_not_of(". ") != std::string_view::npos;
}

// The replacement is due unless the stem already ends with R, or with R
// and a blank. An empty text counts only as the ending of an empty stem, so
// with R empty a stem is done when it is empty or ends with a blank.
bool ReplacementDone(std::string_view stem, std::string_view replacement) {
    if (stem.empty()) return replacement.empty();
    if (replacement.empty()) return EndsWith(stem, " ");
    return EndsWith(stem, replacement) ||
           (EndsWith(stem, " ") &&
            EndsWith(stem.substr(0, stem.size() - 1), replacement));
}

}  // namespace

std::optional<PathParts> SplitPath(std::string_view path) {
    const std::size_t at = utf8::LastSeparator(path);
    if (at == std::string_view::npos) return std::nullopt;
    return PathParts{path.substr(0, at + 1), path.substr(at + 1)};
}

bool HasShortcutExtension(std::string_view path) {
    if (path.size() < kShortcutExtension.size()) return false;
    const std::size_t start = path.size() - kShortcutExtension.size();
    // A byte inside a multi-byte character is not a letter.
    if (!utf8::IsCharBoundary(path, start)) return false;
    for (std::size_t i = 0; i < kShortcutExtension.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[start + i]);
        if (std::tolower(c) != kShortcutExtension[i]) return false;
    }
    return true;
}

std::optional<std::string> FirstCutTarget(std::string_view path,
                                          const CutOptions& options, bool* leavesFolder) {
    if (leavesFolder) *leavesFolder = false;
    const auto parts = SplitPath(path);
    // Renaming anything but a shortcut would give it the ".lnk" extension
    // and corrupt it: folders and other files from the command line stay.
    if (!parts || !HasShortcutExtension(parts->name)) return std::nullopt;

    const std::string_view stem =
        parts->name.substr(0, parts->name.size() - kShortcutExtension.size());
    std::string_view base;
    if (EndsWith(stem, kMarkerFullWidth)) {
        base = stem.substr(0, stem.size() - kMarkerFullWidth.size());
    } else if (EndsWith(stem, kMarkerHalfWidth)) {
        base = stem.substr(0, stem.size() - kMarkerHalfWidth.size());
    } else if (options.cutModernMarker && EndsWith(stem, kMarkerModern)) {
        base = stem.substr(0, stem.size() - kMarkerModern.size());
    } else if (options.applyToUnmarked &&
               !ReplacementDone(stem, options.replacement)) {
        base = stem;
    } else {
        return std::nullopt;
    }

    std::string target;
    target.reserve(parts->folder.size() + base.size() + 1 +
                   options.replacement.size() + kShortcutExtension.size());
    target.append(parts->folder).append(base).append(" ");
    target.append(options.replacement).append(kShortcutExtension);
    // A replacement text with a separator would move the file elsewhere.
    if (!StaysInFolder(std::string_view(target).substr(parts->folder.size()))) {
        if (leavesFolder) *leavesFolder = true;
        return std::nullopt;
    }
    return target;
}

std::optional<std::string> SecondCutTarget(std::string_view current,
                                           const CutOptions& options, bool* leavesFolder) {
    if (leavesFolder) *leavesFolder = false;
    if (!options.cutSecondText || options.secondText.empty()) return std::nullopt;
    const auto parts = SplitPath(current);
    if (!parts || !HasShortcutExtension(parts->name)) return std::nullopt;

    const std::size_t at = utf8::FindOnBoundary(parts->name, options.secondText);
    if (at == std::string_view::npos) return std::nullopt;

    std::string target(parts->folder);
    target.append(parts->name.substr(0, at));
    target.append(parts->name.substr(at + options.secondText.size()));
    // A cut can leave a name of dots and blanks only: the folder itself.
    if (!StaysInFolder(std::string_view(target).substr(parts->folder.size()))) {
        if (leavesFolder) *leavesFolder = true;
        return std::nullopt;
    }
    return target;
}

}  // namespace tsly
