// The main frame's title and where it opens, as rules apart from the window.
//
// Title: "Duplora 2.16 (Unicode)"; " [n]" after the version for the n-th
// concurrent instance (n > 0); before "Unicode" the settings name suffix and,
// for a portable copy, its word (interface text 39) and "/".
//
// Start mode ("Max" in [Start], default 3): 0 the system's position and size;
// 1 the saved rectangle, maximised; 2 the saved rectangle with the process's
// show command; 3 as 2, but maximised when the window was maximised at close.
#pragma once

#include <string>
#include <string_view>

#include "app/MyProfStr.h"

namespace app {

inline constexpr int kShowMaximized = 3;  // SW_SHOWMAXIMIZED, also as stored "showCmd"

std::wstring FrameTitle(std::wstring_view name, std::wstring_view version, int instanceNumber,
                        std::wstring_view nameSuffix, std::wstring_view portableWord);

struct PlacementPlan {
  bool systemPlace = false;  // mode 0: just show the window where the system put it
  int showCommand = 0;
  ProfRect normal;  // the restored rectangle otherwise
};

// From the stored mode, the stored show state at close, the saved rectangle
// (nothing when missing) and the process's show command.
PlacementPlan PlanPlacement(int storedMode, int storedShowCmd, const ProfRect* saved,
                            int processShowCommand);
// The same from [Start] of the store.
PlacementPlan PlanPlacement(const CMyProfStr& store, int processShowCommand);

// A menu text as a label: without "&", the shortcut after a TAB, a trailing
// "..." and a trailing accelerator in brackets ("帮助(&H)" is "帮助").
std::wstring PlainMenuText(std::wstring_view menuText);

}  // namespace app
