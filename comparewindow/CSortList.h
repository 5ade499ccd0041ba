// The sort state of the result list: the sort column (-1 before the first
// sort), the previous one, and the descending flag, with the list and its
// compare function (comparewindow::CompareRows).
//
//   CSortList sort(list);
//   sort.SortBy(2, true);                       // the run's final sort: most similar first
//   sort.SortBy(column, !sort.descending());    // a column click flips the order
#pragma once

#include <windows.h>

#include "comparewindow/CListCtrlHelp.h"

namespace comparewindow {

class CSortList {
 public:
  explicit CSortList(CListCtrlHelp& list) : list_(list) {}

  int column() const { return column_; }
  int previousColumn() const { return previous_; }
  bool descending() const { return descending_; }

  // Sorts the rows by column and moves the header's arrow there: down when
  // descending, up otherwise. A column outside the table sorts nothing.
  void SortBy(int column, bool descending);

 private:
  static int CALLBACK Compare(LPARAM first, LPARAM second, LPARAM self);
  void SetArrow(int column, int arrow);

  CListCtrlHelp& list_;
  int column_ = -1;
  int previous_ = -1;
  bool descending_ = false;
};

}  // namespace comparewindow
