// The result list's context menu as data: the list options, the actions on
// the marked files, the row removals and the mark commands, all greyed on an
// empty list. ResultMenu_win.h makes the system's menu of it.
//
//   for (const ResultMenuItem& item : ResultMenuItems(state, texts)) ...
#pragma once

#include <string>
#include <vector>

#include "comparewindow/RowMarks.h"
#include "engine/TextLookup.h"

namespace comparewindow {

// Commands of the menu besides the mark and row commands; 1, 2 and 3 are never sent as commands
// (they would read as IDOK and IDCANCEL), the menu carries them out.
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

// An item; one with an empty text is a separator, one with sub-items opens a sub-menu.
struct ResultMenuItem {
  int command = 0;
  std::wstring text;
  bool checked = false;
  std::vector<ResultMenuItem> subItems;
};

std::vector<ResultMenuItem> ResultMenuItems(const ResultMenuState& state,
                                            const engine::TextLookup& texts);

}  // namespace comparewindow
