// The markers the shell adds to the name of a shortcut it makes, as each
// display language writes them. Matched byte for byte: case and spelling as
// the shell writes them, not as a dictionary would.
#pragma once

#include <string_view>

namespace tsly {

// The two Japanese markers before Vista, at the end of the name.
inline constexpr std::string_view kMarkerFullWidth = "へのショートカット";
inline constexpr std::string_view kMarkerHalfWidth = "へのｼｮｰﾄｶｯﾄ";

// Since Vista: " - " and a word at the end of the name (its blank and
// hyphen belong to it). A second shortcut to one target in one folder has
// " (2)" after it, the third " (3)", and so on.
inline constexpr std::string_view kMarkerModern = " - ショートカット";
inline constexpr std::string_view kSuffixMarkers[] = {
    kMarkerModern,
    " - Shortcut",        // English
    " - Verknüpfung",     // German
    " - Raccourci",       // French
    " - Acceso directo",  // Spanish
    " - collegamento",    // Italian: in lower case
    " - Atalho",          // Portuguese
    " - Snelkoppeling",   // Dutch
    " - Ярлык",           // Russian
    " - skrót",           // Polish: in lower case
    " - 快捷方式",        // Chinese (Simplified)
    " - 捷徑",            // Chinese (Traditional)
    " - 바로 가기",       // Korean
};

// Before Vista, these languages put the marker before the name. A name may
// begin with these words on purpose, so they are cut only on request.
inline constexpr std::string_view kPrefixMarkers[] = {
    "Shortcut to ",      // English
    "Verknüpfung mit ",  // German
    "Raccourci vers ",   // French
    "Ярлык для ",        // Russian
};

}  // namespace tsly
