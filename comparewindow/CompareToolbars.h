// The toolbars of the compare window, made at run time: the search bar and
// the match bar over the result list (drop-down option buttons stretched to
// share the bar's width), a preview toolbar under each preview, and two row
// toolbars that float inside the result list over the path cells of the
// selected row. All are flat, with labels or icons and tool tips; their
// buttons' commands reach the dialog with the toolbar as sender.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "comparewindow/CompareLayout.h"
#include "comparewindow/OptionMenus.h"
#include "platform/Handles_win.h"

namespace comparewindow {

enum class Side { Left = 0, Right = 1 };

struct ToolbarId {
  OptionBar bar;
  Side side = Side::Left;
};

class CompareToolbars {
 public:
  // Makes all six; the row toolbars as children of the list.
  bool Create(HWND dialog, HWND list);

  HWND SearchBar() const { return search_; }
  HWND MatchBar() const { return match_; }
  HWND PreviewBar(Side side) const { return preview_[static_cast<int>(side)]; }
  HWND RowBar(Side side) const { return row_[static_cast<int>(side)]; }
  HWND Bar(OptionBar bar, Side side = Side::Left) const;

  // Which option or preview bar a toolbar window is; nothing for others (the row toolbars).
  std::optional<ToolbarId> Identify(HWND toolbar) const;
  // Which side a preview or row toolbar acts on; nothing for other windows.
  std::optional<Side> SideOf(HWND toolbar) const;

  void SetLabels(const CompareWindowSettings& settings, int viewMode,
                 const engine::TextLookup& texts);
  std::wstring Label(HWND toolbar, int button) const;
  // What a row toolbar's button does, for its tool tip.
  static std::wstring RowButtonTip(int button, const engine::TextLookup& texts);

  void EnableOptionBars(bool enabled);
  // The height of one bar with its labels.
  int BarHeight() const;

  // Moves an option bar or a preview bar; option bars' buttons share the width.
  void Place(HWND toolbar, const Box& box);

  // Where a button's drop-down menu opens: the button's lower left corner, on the screen.
  POINT MenuPoint(HWND toolbar, int button) const;

  // Places a row toolbar at the right end of a cell (list co-ordinates), from
  // 3 pixels above the cell to 2 below; does nothing when the cell is the
  // one it was placed at last.
  void PlaceRowBar(Side side, const RECT& cell);
  void ShowRowBars(bool show);

 private:
  HWND search_ = nullptr;
  HWND match_ = nullptr;
  HWND preview_[2] = {};
  HWND row_[2] = {};
  RECT rowCell_[2] = {};
  // Toolbars do not destroy their image lists.
  platform::UniqueImageList previewImages_;
  platform::UniqueImageList rowImages_;
};

}  // namespace comparewindow
