// The result list's context menu: the list options, the actions on the
// marked files, the row removals and the mark commands, all greyed on an
// empty list.
#pragma once

#include <windows.h>

#include "engine/TextLookup.h"
#include "platform/Handles_win.h"

namespace comparewindow {

// Commands of the menu; 1, 2 and 3 are never sent as commands (they would
// read as IDOK and IDCANCEL), the menu carries them out.
inline constexpr int kCmdCopyMarked = 1;
inline constexpr int kCmdMoveMarked = 2;
inline constexpr int kCmdDeleteMarked = 3;
inline constexpr int kCmdMarkAutomatically = 5;
inline constexpr int kCmdInvertMarks = 34134;
inline constexpr int kCmdSwapMarks = 45997;
inline constexpr int kCmdRemoveSelected = 45998;
inline constexpr int kCmdRemoveMarked = 45999;
inline constexpr int kCmdRemoveUnmarked = 46000;
inline constexpr int kCmdShowListToolbar = 46002;
inline constexpr int kCmdLeftRightSel = 46075;
inline constexpr int kCmdCopyOverPartner = 57641;

struct ResultMenuState {
  bool emptyList = false;
  bool showListToolbar = false;
  bool leftRightSel = false;
};

platform::UniqueMenu BuildResultMenu(const ResultMenuState& state, const engine::TextLookup& texts);

}  // namespace comparewindow
