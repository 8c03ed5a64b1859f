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

std::size_t Utf16Length(std::string_view text) {
    std::size_t units = 0;
    utf8::ForEachUtf16Unit(text, [&units](char16_t) { ++units; });
    return units;
}

// Characters the system refuses in a name: the separators, the wildcards,
// the stream and device marks, and the control characters.
bool IsForbidden(char32_t c) {
    constexpr std::string_view kForbidden = "<>:\"/\\|?*";
    return c < 0x20 || (c < 0x80 && kForbidden.find(static_cast<char>(c)) != std::string_view::npos);
}

// Device names, which name a device in every folder whatever follows the
// first dot.
bool IsReservedName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    std::string upper;
    for (char c : stem) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

// The new path in `folder` for `name`, in the form the system stores,
// unless it is `oldName` or a name the system refuses.
std::optional<std::string> NewPath(std::string_view folder, std::string_view oldName,
                                   std::string_view name, NameProblem* problem) {
    const std::string_view stored = StoredName(name);
    if (stored == oldName) return std::nullopt;
    NameProblem found = CheckNewName(stored);
    if (!found && Utf16Length(folder) + Utf16Length(stored) > kMaxPathUnits) {
        found.failure = RenameFailure::TooLong;
    }
    if (found) {
        if (problem) *problem = found;
        return std::nullopt;
    }
    std::string path;
    path.reserve(folder.size() + stored.size());
    path.append(folder).append(stored);
    return path;
}

}  // namespace

std::string_view StoredName(std::string_view name) {
    const std::size_t last = name.find_last_not_of(". ");
    return last == std::string_view::npos ? std::string_view() : name.substr(0, last + 1);
}

NameProblem CheckNewName(std::string_view name) {
    // Empty once its dots and blanks are gone: "." and ".." name the folder
    // and its parent.
    if (name.empty()) return {RenameFailure::LeavesFolder, 0};
    for (std::size_t i = 0; i < name.size();) {
        std::size_t length = 1;
        const char32_t c = utf8::DecodeAt(name, i, length);
        if (IsForbidden(c)) return {RenameFailure::BadCharacter, c};
        i += length;
    }
    if (IsReservedName(name)) return {RenameFailure::ReservedName, 0};
    if (Utf16Length(name) > kMaxNameUnits) return {RenameFailure::TooLong, 0};
    return {};
}

NameProblem CheckReplacement(std::string_view replacement) {
    // The shortest name the text can end up in: a blank before it, the
    // extension after it. A device name cannot come of it (the blank).
    std::string name(" ");
    name.append(replacement).append(kShortcutExtension);
    return CheckNewName(name);
}

namespace {

// The length of a numbered copy's " (2)" at the end of a stem, or 0. The
// shell numbers copies from 2, without leading zeros, in an int: anything
// else in brackets is part of the name.
std::size_t CopyNumberLength(std::string_view stem) {
    constexpr std::size_t kMostDigits = 9;
    if (stem.empty() || stem.back() != ')') return 0;
    std::size_t digits = stem.size() - 1;
    while (digits > 0 && stem[digits - 1] >= '0' && stem[digits - 1] <= '9') --digits;
    const std::string_view number = stem.substr(digits, stem.size() - 1 - digits);
    if (number.empty() || number.size() > kMostDigits || number[0] == '0' || number == "1" ||
        digits < 2 || stem.substr(digits - 2, 2) != " (") {
        return 0;
    }
    return stem.size() - digits + 2;
}

// The length of the " - <word>" marker that ends `stem`, or 0.
std::size_t SuffixMarkerLength(std::string_view stem) {
    for (std::string_view marker : kSuffixMarkers) {
        if (EndsWith(stem, marker)) return marker.size();
    }
    return 0;
}

// The length of the marker that begins `stem`, or 0.
std::size_t PrefixMarkerLength(std::string_view stem) {
    for (std::string_view marker : kPrefixMarkers) {
        if (stem.substr(0, marker.size()) == marker) return marker.size();
    }
    return 0;
}

// The replacement is due unless the stem already ends with R, or with R
// and a blank. An empty text counts only as the ending of an empty stem, so
// with R empty a stem is done when it is empty or ends with a blank.
bool EndsWithReplacement(std::string_view stem, std::string_view replacement) {
    if (stem.empty()) return replacement.empty();
    if (replacement.empty()) return EndsWith(stem, " ");
    return EndsWith(stem, replacement) ||
           (EndsWith(stem, " ") &&
            EndsWith(stem.substr(0, stem.size() - 1), replacement));
}

// A numbered copy is done as the cut names it: R before its number, or
// with R empty the number alone.
bool ReplacementDone(std::string_view stem, std::string_view replacement) {
    if (EndsWithReplacement(stem, replacement)) return true;
    const std::size_t number = CopyNumberLength(stem);
    return number != 0 &&
           (replacement.empty() ||
            EndsWithReplacement(stem.substr(0, stem.size() - number), replacement));
}

}  // namespace

std::optional<PathParts> SplitPath(std::string_view path) {
    const std::size_t at = utf8::LastSeparator(path);
    if (at == std::string_view::npos) return std::nullopt;
    return PathParts{path.substr(0, at + 1), path.substr(at + 1)};
}

std::string_view PathName(std::string_view path) {
    const auto parts = SplitPath(path);
    return parts ? parts->name : path;
}

std::string_view PathFolder(std::string_view path) {
    const auto parts = SplitPath(path);
    return parts ? parts->folder : std::string_view();
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

bool CutsIntoExtension(std::string_view secondText) {
    if (secondText.empty() || secondText.size() > kShortcutExtension.size()) return false;
    std::string lower(secondText);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return kShortcutExtension.find(lower) != std::string_view::npos;
}

std::optional<std::string> FirstCutTarget(std::string_view path,
                                          const CutOptions& options, NameProblem* problem) {
    if (problem) *problem = {};
    const auto parts = SplitPath(path);
    // Renaming anything but a shortcut would give it the ".lnk" extension
    // and corrupt it: folders and other files from the command line stay.
    if (!parts || !HasShortcutExtension(parts->name)) return std::nullopt;

    const std::string_view stem =
        parts->name.substr(0, parts->name.size() - kShortcutExtension.size());
    // The " - <word>" markers come before a copy's number; the older ones
    // do not, and a name with a number after them stays.
    const std::string_view number = stem.substr(stem.size() - CopyNumberLength(stem));
    const std::string_view unnumbered = stem.substr(0, stem.size() - number.size());
    std::string_view base, copy;
    std::size_t length = 0;
    if (EndsWith(stem, kMarkerFullWidth)) {
        base = stem.substr(0, stem.size() - kMarkerFullWidth.size());
    } else if (EndsWith(stem, kMarkerHalfWidth)) {
        base = stem.substr(0, stem.size() - kMarkerHalfWidth.size());
    } else if (options.cutModernMarker && (length = SuffixMarkerLength(unnumbered)) != 0) {
        base = unnumbered.substr(0, unnumbered.size() - length);
        copy = number;
    } else if (options.cutPrefixMarkers && (length = PrefixMarkerLength(stem)) != 0) {
        base = stem.substr(length);
    } else if (options.applyToUnmarked &&
               !ReplacementDone(stem, options.replacement)) {
        base = stem;
    } else {
        return std::nullopt;
    }

    std::string name;
    name.reserve(base.size() + 1 + options.replacement.size() + copy.size() +
                 kShortcutExtension.size());
    name.append(base).append(" ").append(options.replacement);
    // "B R (2)", or without R "B (2)": what the shell names the copy when it
    // writes no marker.
    if (!copy.empty()) name.append(options.replacement.empty() ? copy.substr(1) : copy);
    name.append(kShortcutExtension);
    return NewPath(parts->folder, parts->name, name, problem);
}

std::optional<std::string> SecondCutTarget(std::string_view current,
                                           const CutOptions& options, NameProblem* problem) {
    if (problem) *problem = {};
    if (!options.cutSecondText || options.secondText.empty()) return std::nullopt;
    const auto parts = SplitPath(current);
    if (!parts || !HasShortcutExtension(parts->name)) return std::nullopt;

    const std::size_t at = utf8::FindOnBoundary(parts->name, options.secondText);
    if (at == std::string_view::npos) return std::nullopt;

    std::string name(parts->name.substr(0, at));
    name.append(parts->name.substr(at + options.secondText.size()));
    return NewPath(parts->folder, parts->name, name, problem);
}

}  // namespace tsly
