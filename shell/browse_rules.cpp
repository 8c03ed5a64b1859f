#include "shell/browse_rules.h"

#include <array>

namespace tsly::browse {
namespace {

// Indexed by the setting's value; shared by the root and the selection.
constexpr std::array<int, 11> kSpecialFolders{{
    0,   // Desktop: the namespace root
    0,   // Manual: the desktop stands in when the name is unusable
    17,  // Drives
    16,  // DesktopDir
    6,   // Favorites
    2,   // Programs
    8,   // Recent
    9,   // SendTo
    11,  // StartMenu
    7,   // Startup
    21,  // Templates
}};

// Indexed by option bit.
constexpr std::array<unsigned, 5> kOptionFlags{{
    0x2,  // DontGoBelowDomain: BIF_DONTGOBELOWDOMAIN
    0x8,  // ReturnFSAncestors: BIF_RETURNFSANCESTORS
    0x1,  // ReturnOnlyFSDirs: BIF_RETURNONLYFSDIRS
    0x4,  // StatusTextAndShowPath: BIF_STATUSTEXT
    0x4,  // StatusText: BIF_STATUSTEXT
}};

constexpr std::uint32_t kFolder = 0x20000000u;         // SFGAO_FOLDER
constexpr std::uint32_t kHasSubfolder = 0x80000000u;   // SFGAO_HASSUBFOLDER

}  // namespace

int SpecialFolderOf(std::uint8_t kind) {
    return kind < kSpecialFolders.size() ? kSpecialFolders[kind] : 0;
}

unsigned BrowseFlagsFor(std::uint8_t optionBits) {
    unsigned flags = 0;
    for (std::size_t bit = 0; bit < kOptionFlags.size(); ++bit) {
        if (optionBits >> bit & 1u) flags |= kOptionFlags[bit];
    }
    return flags;
}

bool TriesManualName(std::uint8_t kind, const std::string& name) {
    return kind == kManualKind && !name.empty();
}

bool PassesFolderTest(std::uint32_t attributes) {
    return (attributes & (kFolder | kHasSubfolder)) != 0;
}

Offset CenterScreenPosition(const Box& workArea, const Box& dialog) {
    const int freeWidth = (workArea.right - workArea.left) - (dialog.right - dialog.left);
    const int freeHeight = (workArea.bottom - workArea.top) - (dialog.bottom - dialog.top);
    // C++ division truncates toward zero, as the rule wants for negatives.
    return Offset{freeWidth / 2, freeHeight / 3};
}

}  // namespace tsly::browse
