// Program entry: the application object, the main window, the message loop.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "platform/application.h"
#include "platform/command_line.h"

// What std::terminate does when the program has no handler of its own. The
// library's verbose handler writes the demangled type of the exception to
// stderr, which a window program does not have, and pulls the whole
// demangler (45 KB) into the executable for it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_COOL_CLASSES |
                                                       ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    tsly::win::Application& app = tsly::win::Application::Instance();
    app.SetTitle("Tessalyne");
    app.SetHelpFile("");
    app.Initialize();

    try {
        std::vector<std::string> parameters = tsly::win::CommandLineParameters();
        std::string program;  // parameter 0 is not used
        std::vector<char*> argv{program.data()};
        for (std::string& p : parameters) argv.push_back(p.data());
        tsly::TFrmMain main;
        main.Create(static_cast<int>(argv.size()), argv.data());
        return app.Run();
    } catch (const std::exception& e) {
        app.ReportError(e.what());
        return 1;
    }
}
