#include "app/FramePlugins_win.h"

#include "app/ImgCompareMain_win.h"
#include "comparewindow/CImgCmp2017.h"
#include "resources/resource.h"
#include "viewing/CWinLupe.h"

namespace app {

std::unique_ptr<IHostedView> CreateHostedView() {
  return std::make_unique<comparewindow::CImgCmp2017>();
}

// One line per command. ID_FILE_EXPORT (the result list of
// frame.HostedView(), the program name as file-name base) waits for its own.
void InstallFrameCommands(CImgCompareMain& frame) {
  viewing::Magnifier();  // the one loupe of the program, made at start
  frame.SetCommandHandler(ID_TOOLS_MAGNIFIER, [&frame] { viewing::ShowMagnifier(frame.hwnd()); });
  frame.SetCommandHandler(ID_TRANSLATE_EDITOR,
                          [&frame] { frame.Translator().ShowTranslationEditor(frame.hwnd()); });
}

}  // namespace app
