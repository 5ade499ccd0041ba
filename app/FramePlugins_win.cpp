#include "app/FramePlugins_win.h"

#include "app/ImgCompareMain_win.h"
#include "app/PlaceholderView_win.h"
#include "resources/resource.h"

namespace app {

// The compare window takes the placeholder's place here.
std::unique_ptr<IHostedView> CreateHostedView() { return std::make_unique<CPlaceholderView>(); }

// One line per command, for example
//   frame.SetCommandHandler(ID_TOOLS_MAGNIFIER, [&frame] { TheMagnifier().Open(frame.hwnd()); });
// ID_FILE_EXPORT (the result list of frame.HostedView(), the program name as
// file-name base) and ID_TRANSLATE_EDITOR (frame.RetranslateTexts() shows
// the editor's texts live) are waiting for theirs.
void InstallFrameCommands(CImgCompareMain& frame) { (void)frame; }

}  // namespace app
