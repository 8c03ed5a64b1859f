// The find-folder command's choice of a folder to scan.
#pragma once

#include <string>

namespace tsly {

class TFrmMain;

// Lets the user pick a folder; on OK gives it with a trailing separator.
bool ChooseFolderToScan(TFrmMain& main, std::string& folder);

}  // namespace tsly
