#include "app/find_folder.h"

#include "app/Unit1.h"
#include "shell/SHBFFEX.h"

namespace tsly {

bool ChooseFolderToScan(TFrmMain& main, std::string& folder) {
    (void)main;
    (void)folder;
    return false;
}

}  // namespace tsly
