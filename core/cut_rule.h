// The renaming rule for one shortcut path, free of any file system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/shortcut_markers.h"

namespace tsly {

// Why a rename did not happen, or why the rule cannot give a file a name.
enum class RenameFailure : std::uint8_t {
    None,
    NameTaken,
    NotFound,
    InUse,
    AccessDenied,
    LeavesFolder,   // the new name would not name a file in the same folder
    BadCharacter,   // a character no file name may hold
    ReservedName,   // a device name such as CON or NUL
    TooLong,        // longer than a file name or a path may be
    Replaced,       // another file now has the name the cut gave
    SameFile,       // an earlier row's file: one file reached by two paths
    RenamedSince,   // undo: the file has another name since the cut
    Gone,           // undo: no file of the folder is the one renamed
    Unproven,       // undo: nothing proves the file is the one renamed
    Other,          // see the system's error code
};

// What is wrong with a new name: the failure, and for BadCharacter the
// character.
struct NameProblem {
    RenameFailure failure = RenameFailure::None;
    char32_t character = 0;
    explicit operator bool() const { return failure != RenameFailure::None; }
};

// The cutting options, as read from the "Settings" section.
struct CutOptions {
    std::string replacement;       // "Char": R, written after a blank
    bool applyToUnmarked = false;  // "Short1"
    bool cutSecondText = false;    // "cutnameflg"
    std::string secondText;        // "cutname": T
    bool cutModernMarker = true;   // "CutModernMarker": the " - <word>" markers
    bool cutPrefixMarkers = false; // "CutPrefixMarker": "Shortcut to " and the like

    bool operator==(const CutOptions& o) const {
        return replacement == o.replacement && applyToUnmarked == o.applyToUnmarked &&
               cutSecondText == o.cutSecondText && secondText == o.secondText &&
               cutModernMarker == o.cutModernMarker && cutPrefixMarkers == o.cutPrefixMarkers;
    }
    bool operator!=(const CutOptions& o) const { return !(*this == o); }
};

inline constexpr std::string_view kShortcutExtension = ".lnk";

// Splits a path at its last separator that begins a character.
struct PathParts {
    std::string_view folder;  // up to and including the separator
    std::string_view name;    // after it
};
std::optional<PathParts> SplitPath(std::string_view path);
// The file name of a path (all of it without a separator), and its folder
// with the separator (empty without one).
std::string_view PathName(std::string_view path);
std::string_view PathFolder(std::string_view path);

// True when the path's file name ends with ".lnk" in any letter case.
bool HasShortcutExtension(std::string_view path);

// True when a second text is part of ".lnk" in some letter case: the
// second cut, which searches the whole name, may take it from the extension.
bool CutsIntoExtension(std::string_view secondText);

// The longest file name and the longest path the system takes, in UTF-16
// units.
inline constexpr std::size_t kMaxNameUnits = 255;
inline constexpr std::size_t kMaxPathUnits = 32767 - 4;  // without "\\?\\"

// A name as the system's plain file calls store it: trailing dots and
// blanks dropped.
std::string_view StoredName(std::string_view name);

// Why the system would refuse `name` (already in its stored form) as the
// name of a file in a folder, if it would.
NameProblem CheckNewName(std::string_view name);

// Why a replacement text would give names the system refuses: a character
// no name may hold, or a text too long for any name.
NameProblem CheckReplacement(std::string_view replacement);

// First cut: the full new path for `path`, or nothing when its name stays.
// `problem`, when given, tells why the name stays although the rule would
// change it: the new name is one the system refuses.
std::optional<std::string> FirstCutTarget(std::string_view path,
                                          const CutOptions& options,
                                          NameProblem* problem = nullptr);

// Second cut: `current` without the first occurrence of the second text in
// its file name, or nothing when that cut is off or finds nothing.
std::optional<std::string> SecondCutTarget(std::string_view current,
                                           const CutOptions& options,
                                           NameProblem* problem = nullptr);

}  // namespace tsly
