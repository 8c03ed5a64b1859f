// The cutting options as stored in the "Settings" section.
#pragma once

#include "core/cut_rule.h"

namespace tsly {

// Reads them afresh; throws SettingsError when a value cannot be used.
// `create` false leaves a missing key missing (a preview that follows the
// options must not bring back settings the user deleted).
CutOptions ReadCutOptions(bool create = true);

}  // namespace tsly
