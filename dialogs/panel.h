// A panel: a plain container with optional bevels that passes its
// children's notifications on to its parent, so that the form handles the
// commands and colours of every control in one place.
#pragma once

#include <windows.h>

namespace tsly::dialogs {

inline constexpr wchar_t kPanelClass[] = L"TsPanel";

// Panel styles (the class's own low style bits).
inline constexpr DWORD kBevelRaisedOuter = 0x1;
inline constexpr DWORD kBevelLoweredOuter = 0x2;
inline constexpr DWORD kBevelRaisedInner = 0x4;

void RegisterPanelClass();

}  // namespace tsly::dialogs
