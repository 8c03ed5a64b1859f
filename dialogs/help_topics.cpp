#include "dialogs/help_topics.h"

#include "dialogs/dialogs.h"
#include "dialogs/program_path.h"
#include "platform/application.h"

namespace tsly {

std::string HelpFilePath() { return ProgramFolder() + "TSLY.hlp"; }

void ShowHelpTopics(HWND owner) {
    win::Application& app = win::Application::Instance();
    app.SetHelpFile(HelpFilePath());
    // The help viewer reports a missing file in its own window.
    WinHelpA(owner, app.HelpFile().c_str(), HELP_FINDER, 0);
}

}  // namespace tsly
