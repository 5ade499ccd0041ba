#include "comparewindow/CSortList.h"

#include <commctrl.h>

#include "comparewindow/ResultColumns.h"

namespace comparewindow {

void CSortList::SortBy(int column, bool descending) {
  previous_ = column_;
  column_ = column;
  descending_ = descending;
  ListView_SortItems(list_.hwnd(), Compare, reinterpret_cast<LPARAM>(this));
  if (previous_ >= 0) SetArrow(previous_, 0);
  SetArrow(column_, descending_ ? HDF_SORTDOWN : HDF_SORTUP);
}

int CALLBACK CSortList::Compare(LPARAM first, LPARAM second, LPARAM self) {
  const auto* sort = reinterpret_cast<const CSortList*>(self);
  const auto* a = reinterpret_cast<const engine::MatchPair*>(first);
  const auto* b = reinterpret_cast<const engine::MatchPair*>(second);
  if (!a || !b) return 0;
  return CompareRows(*a, *b, sort->column_, sort->descending_);
}

void CSortList::SetArrow(int column, int arrow) {
  const HWND header = ListView_GetHeader(list_.hwnd());
  if (column < 0 || column >= Header_GetItemCount(header)) return;
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  if (!Header_GetItem(header, column, &item)) return;
  item.fmt = (item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN)) | arrow;
  Header_SetItem(header, column, &item);
}

}  // namespace comparewindow
