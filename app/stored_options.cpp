#include "app/stored_options.h"

#include "platform/settings_store.h"

namespace tsly {

CutOptions ReadCutOptions(bool create) {
    const SettingsStore store(kSettingsKey, create);
    CutOptions options;
    options.replacement = store.ReadText("Settings", "Char", "");
    options.applyToUnmarked = store.ReadFlag("Settings", "Short1", false);
    options.cutSecondText = store.ReadFlag("Settings", "cutnameflg", false);
    options.secondText = store.ReadText("Settings", "cutname", "");
    options.cutModernMarker = store.ReadFlag("Settings", "CutModernMarker", true);
    options.cutPrefixMarkers = store.ReadFlag("Settings", "CutPrefixMarker", false);
    return options;
}

}  // namespace tsly
