#include "dialogs/dialogs.h"

namespace tsly {
void ShowOptionDialog(POINT) {}
void ShowSetupDialog(POINT) {}
void ShowAboutBox(POINT) {}
void ShowHelpTopics(HWND) {}
}  // namespace tsly
