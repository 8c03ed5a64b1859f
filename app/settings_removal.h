// Everything the program leaves for the user to remove when it goes:
// Explorer's naming put back, both registry keys, the undo journals.
#pragma once

#include <string>

namespace tsly {

struct SettingsRemoval {
    bool deleted = false;        // both keys are gone
    bool namingPutBack = false;  // Explorer's own naming of new shortcuts is back
    std::string error;           // why Explorer's naming could not be put back
};

// The sentence the delete-settings message gains when the naming was put back.
inline constexpr char kNamingPutBack[] =
    "\r\n新しいショートカットの名前の付け方をエクスプローラの元の設定に戻しました。";

// Puts Explorer's naming back before anything else. When that fails, the
// setup key stays, as it holds the only copy of the user's own values.
SettingsRemoval RemoveAllSettings();

}  // namespace tsly
