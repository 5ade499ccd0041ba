// The result list's context menu: the list options, the actions on the
// marked files, the row removals and the mark commands, all greyed on an
// empty list.
#pragma once

#include <windows.h>

#include "comparewindow/RowMarks.h"
#include "engine/TextLookup.h"
#include "platform/Handles_win.h"

namespace comparewindow {

// Commands of the menu besides the mark and row commands; 1, 2 and 3 are never sent as commands (they would
// read as IDOK and IDCANCEL), the menu carries them out.
inline constexpr int kCmdCopyMarked = 1;
inline constexpr int kCmdMoveMarked = 2;
inline constexpr int kCmdDeleteMarked = 3;
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
