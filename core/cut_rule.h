// The renaming rule for one shortcut path, free of any file system.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tsly {

// The cutting options, as read from the "Settings" section.
struct CutOptions {
    std::string replacement;       // "Char": R, written after a blank
    bool applyToUnmarked = false;  // "Short1"
    bool cutSecondText = false;    // "cutnameflg"
    std::string secondText;        // "cutname": T
    bool cutModernMarker = true;   // "CutModernMarker"
};

// The markers the shell appends to a new shortcut's name: the two older
// ones, and the one the shell has written since Vista (its blank and hyphen
// belong to it).
inline constexpr std::string_view kMarkerFullWidth = "へのショートカット";
inline constexpr std::string_view kMarkerHalfWidth = "へのｼｮｰﾄｶｯﾄ";
inline constexpr std::string_view kMarkerModern = " - ショートカット";
inline constexpr std::string_view kShortcutExtension = ".lnk";

// Splits a path at its last separator that begins a character.
struct PathParts {
    std::string_view folder;  // up to and including the separator
    std::string_view name;    // after it
};
std::optional<PathParts> SplitPath(std::string_view path);

// True when the path's file name ends with ".lnk" in any letter case.
bool HasShortcutExtension(std::string_view path);

// First cut: the full new path for `path`, or nothing when its name stays.
// `leavesFolder`, when given, tells whether the name stays because the new
// one would not name a file in the same folder.
std::optional<std::string> FirstCutTarget(std::string_view path,
                                          const CutOptions& options,
                                          bool* leavesFolder = nullptr);

// Second cut: `current` without the first occurrence of the second text in
// its file name, or nothing when that cut is off or finds nothing.
std::optional<std::string> SecondCutTarget(std::string_view current,
                                           const CutOptions& options,
                                           bool* leavesFolder = nullptr);

}  // namespace tsly
