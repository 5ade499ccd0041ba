// Where the parts of the program meet the main frame: the view its child
// window hosts, and the handlers of the frame commands that other parts carry
// out. Each part adds its line in FramePlugins_win.cpp.
#pragma once

#include <memory>

#include "app/HostedView_win.h"

namespace app {

class CImgCompareMain;

std::unique_ptr<IHostedView> CreateHostedView();

void InstallFrameCommands(CImgCompareMain& frame);

}  // namespace app
