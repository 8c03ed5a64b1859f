// The cutting options as stored in the "Settings" section.
#pragma once

#include "core/cut_rule.h"

namespace tsly {

// Reads them afresh; throws SettingsError when a value cannot be used.
CutOptions ReadCutOptions();

}  // namespace tsly
