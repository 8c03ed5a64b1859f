// Everything the program leaves for the user to remove when it goes:
// Explorer's naming put back, both registry keys, the undo journals.
#pragma once

#include <string>
#include <vector>

namespace tsly {

struct SettingsRemoval {
    bool deleted = false;        // both keys are gone, or the setup key is all that stays
    bool namingPutBack = false;  // Explorer's own naming of new shortcuts is back
    bool copiesLost = false;     // ...as the system's default: the kept copies were gone
    std::string error;           // why Explorer's naming could not be put back
};

// The sentence the delete-settings message gains when the naming was put back.
inline constexpr char kNamingPutBack[] =
    "\r\n新しいショートカットの名前の付け方をエクスプローラの元の設定に戻しました。";

// The question's sentence for the program shortcuts that stay, given
// their folders; empty when there are none.
std::string ShortcutsStaySentence(const std::vector<std::string>& folders);

// Puts back Explorer's naming where the program's record says it wrote it,
// before anything else. When that fails, the
// setup key stays, as it holds the only copy of the user's own values; it
// stays too while the program's shortcuts are chosen there, so that the
// setup dialog still knows them. HKCU\Software\moravend goes when empty.
SettingsRemoval RemoveAllSettings();

}  // namespace tsly
