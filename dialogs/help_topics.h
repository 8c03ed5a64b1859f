// The help-topics command's help file.
#pragma once

#include <string>

namespace tsly {

// "TSLY.hlp" in the folder that holds the executable, whatever the current
// directory is.
std::string HelpFilePath();

}  // namespace tsly
