// The folder picker's rules that need no window system, so that they can be
// checked by table: which special folder a setting names, which dialog flags
// the options add, when a typed folder name is tried, which items count as
// folders, and where the centred dialog goes.
#pragma once

#include <cstdint>
#include <string>

namespace tsly::browse {

// The value of the manual kind in both folder settings.
inline constexpr std::uint8_t kManualKind = 1;

// The special-folder number (CSIDL) a folder setting stands for; the manual
// kind, and any value outside the table, gives the desktop (0).
int SpecialFolderOf(std::uint8_t kind);

// The dialog's flags for an option set, bit n standing for option n.
unsigned BrowseFlagsFor(std::uint8_t optionBits);

// A typed name is tried only for the manual kind and only when given.
bool TriesManualName(std::uint8_t kind, const std::string& name);

// The attributes asked for by the folder test, and its verdict: an item
// passes when it is a folder or has subfolders.
inline constexpr std::uint32_t kFolderTestMask = 0xA0000000u;
bool PassesFolderTest(std::uint32_t attributes);

struct Box {
    int left, top, right, bottom;
};
struct Offset {
    int x, y;
};

// Centred across and one third of the way down the free height of the work
// area. Only the work area's size enters, so the offsets count from the
// screen's top-left corner; a dialog larger than the work area gets
// negative offsets, truncated toward zero.
Offset CenterScreenPosition(const Box& workArea, const Box& dialog);

}  // namespace tsly::browse
