#include "comparewindow/ResultMenu.h"

#include "app/TextIds.h"

namespace comparewindow {

std::vector<ResultMenuItem> ResultMenuItems(const ResultMenuState& state,
                                            const engine::TextLookup& texts) {
  const ResultMenuItem separator;
  const std::wstring invert = texts(app::kTextInvertMarks);
  return {
      {0,
       texts(app::kTextListOptions),
       false,
       {{kCmdShowListToolbar, texts(app::kTextShowRowButtons), state.showListToolbar},
        {kCmdLeftRightSel,
         L"<-- --> " + texts(app::kTextArrowKeysMark) + L" (" + texts(app::kTextArrowKeysWhich) +
             L")",
         state.leftRightSel}}},
      separator,
      {kCmdCopyMarked, texts(app::kTextCopyMarked)},
      {kCmdMoveMarked, texts(app::kTextMoveMarked)},
      {kCmdDeleteMarked, texts(app::kTextDelete) + L" (" + texts(app::kTextRecycleBin) + L")"},
      separator,
      {0,
       texts(app::kTextRemoveRows),
       false,
       {{kCmdRemoveSelectedRows, texts(app::kTextRemoveSelected)},
        {kCmdRemoveMarkedRows, texts(app::kTextRemoveMarked)},
        {kCmdRemoveUnmarkedRows, texts(app::kTextRemoveUnmarked)}}},
      separator,
      {kCmdCopyOverPartner, texts(app::kTextCopyOverPartner)},
      {kCmdMarkAutomatically, texts(app::kTextMarkAutomatically)},
      separator,
      // The main menu's text carries its shortcut after a tab.
      {kCmdInvertMarks, invert.substr(0, invert.find(L'\t'))},
      {kCmdSwapMarks, texts(app::kTextSwapMarks) + L"\t<--->"},
      separator,
  };
}

}  // namespace comparewindow
