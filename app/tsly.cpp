// Program entry: the application object, the main window, the message loop.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <exception>

#include "app/Unit1.h"
#include "platform/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_COOL_CLASSES |
                                                       ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    tsly::win::Application& app = tsly::win::Application::Instance();
    app.SetTitle("Tessalyne");
    app.SetHelpFile("");
    app.Initialize();

    try {
        tsly::TFrmMain main;
        main.Create(__argc, __argv);
        return app.Run();
    } catch (const std::exception& e) {
        app.ReportError(e.what());
        return 1;
    }
}
