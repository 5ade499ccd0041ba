// The program's entry: COM, OLE and the common controls around Run.
#include <windows.h>

#include <commctrl.h>

#include "app/FramePlugins_win.h"
#include "app/Startup_win.h"
#include "platform/Handles_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int showCommand) {
  try {
    platform::ComScope com;
    platform::OleScope ole;
    INITCOMMONCONTROLSEX controls{sizeof controls, 0x6FF};
    ::InitCommonControlsEx(&controls);
    app::StartHooks hooks = app::DefaultStartHooks();
    hooks.createView = app::CreateHostedView;
    hooks.frameCreated = app::InstallFrameCommands;
    return app::Run(commandLine ? commandLine : L"", showCommand, hooks);
  } catch (...) {
    return 0;
  }
}
