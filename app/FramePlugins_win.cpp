#include "app/FramePlugins_win.h"

#include "app/ImgCompareMain_win.h"
#include "app/ProgramInfo.h"
#include "comparewindow/CImgCmp2017.h"
#include "comparewindow/ListExport_win.h"
#include "resources/resource.h"
#include "viewing/CWinLupe.h"

namespace app {

std::unique_ptr<IHostedView> CreateHostedView() {
  return std::make_unique<comparewindow::CImgCmp2017>();
}

// One line per command.
void InstallFrameCommands(CImgCompareMain& frame) {
  viewing::Magnifier();  // the one loupe of the program, made at start
  frame.SetCommandHandler(ID_TOOLS_MAGNIFIER, [&frame] { viewing::ShowMagnifier(frame.hwnd()); });
  frame.SetCommandHandler(ID_TRANSLATE_EDITOR,
                          [&frame] { frame.Translator().ShowTranslationEditor(frame.hwnd()); });
  // A view without a result list has nothing to export.
  frame.SetCommandHandler(ID_FILE_EXPORT, [&frame] {
    const IHostedView* view = frame.HostedView();
    if (const HWND list = view ? view->ResultList() : nullptr)
      comparewindow::Export(list, ProgramName());
  });
}

}  // namespace app
