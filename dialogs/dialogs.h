// The main window's modal dialogs. Each call makes a fresh dialog with its
// top-left corner at `position` (screen coordinates), shows it modally and
// destroys it; only what it stored in the registry survives it.
#pragma once

#include <windows.h>

namespace tsly {

void ShowOptionDialog(POINT position);  // TFrmOption
void ShowSetupDialog(POINT position);   // TFrmSetup
void ShowAboutBox(POINT position);      // TAboutBox
// Opens the help beside the executable: the WinHelp file at its contents
// when the system can show it, else the HTML page in the browser.
void ShowHelpTopics(HWND owner);

}  // namespace tsly
