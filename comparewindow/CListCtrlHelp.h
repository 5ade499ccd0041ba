// The result list (list view 1012 of the compare window): a report view with
// full-row select, sub-item images and grid lines that always shows its
// selection. Each row's item data is its pair; the list stores no text, the
// cells are formatted when the list asks for them (LVN_GETDISPINFO). A
// row's two marks are the image indexes of columns 0 and 1 (0 unmarked, 1
// marked), drawn from the six check-box images of bitmap 351.
//
//   CListCtrlHelp list;
//   list.Attach(::GetDlgItem(dialog, 1012));
//   list.SetUp();
//   list.AddColumns(app::LangText);
//   list.AppendRow(pair);                  // the pair must outlive its row
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comparewindow/CListEdit.h"
#include "comparewindow/RowMarks.h"
#include "engine/Similarity.h"
#include "engine/TextLookup.h"
#include "platform/Window_win.h"

namespace comparewindow {

inline constexpr int kMarkColumnLeft = 0;
inline constexpr int kMarkColumnRight = 1;
// Beyond the list's buffer length, the cells other than paths and file sizes are cut to this.
inline constexpr size_t kShortCellChars = 63;

// Subclasses the list (Attach) so its header's check-box clicks reach the
// list's parent, as LVN notifications do.
class CListCtrlHelp : public platform::SubclassedWindow {
 public:

  // The extended styles and the mark images.
  void SetUp();
  // The thirteen columns and the check boxes in the headers of the path
  // columns. A column starts at its width (ResultColumns.h), or wider when
  // its title needs more.
  void AddColumns(const engine::TextLookup& texts);
  // Titles of columns first..last (the language poll renews 0..5); a column
  // too narrow for its new title grows to it.
  void SetColumnTitles(int first, int last, const engine::TextLookup& texts);

  void AppendRow(const engine::MatchPair& pair);
  void DeleteAllRows();
  int RowCount() const;
  // Null for a row that does not exist or has no pair.
  const engine::MatchPair* PairOf(int row) const;

  // The mark of column 0 (left picture) or 1 (right picture).
  int Mark(int row, int column) const;
  void SetMark(int row, int column, int mark);
  RowMarks Marks(int row) const;
  // Sets every row's marks to what `change` makes of them.
  void ChangeMarks(const std::function<RowMarks(int row, RowMarks marks)>& change);
  // Flips the mark whose check box is at the point (list co-ordinates); false when none is.
  bool FlipMarkAt(POINT point);
  // Flips the mark of a column in every selected row.
  void FlipSelectedMarks(int column);
  // A click on a path column's header box: the whole column takes the
  // opposite of the box, then the box shows whether every row is marked.
  // False for a header item without a box.
  bool ClickHeaderBox(int column);
  // Deletes the rows the removal takes; false when none went.
  bool RemoveRows(RowRemoval removal);

  // The cell at a point in list co-ordinates, if any.
  std::optional<EditCell> CellAt(POINT point) const;
  // Starts the in-place editor on a cell (ending an open edit first).
  bool StartEdit(int row, int column);
  CListEdit& Editor() { return editor_; }

  // The cell's text as the list gives it, at most maxChars characters.
  std::wstring Text(int row, int column, size_t maxChars = 1024) const;

  int SelectionMark() const;
  std::vector<int> SelectedRows() const;
  // The label rectangle of a cell in list co-ordinates; empty when the row does not exist.
  RECT CellLabelRect(int row, int column) const;

  // Answers LVN_GETDISPINFO: the cell text of a row's pair; nothing without
  // the text flag or for a row without its pair.
  void FillDisplayInfo(NMLVDISPINFOW& info, const engine::TextLookup& texts) const;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool HeaderBoxChecked(int column) const;
  void SetHeaderBoxChecked(int column, bool checked);

  CListEdit editor_{*this};
};

}  // namespace comparewindow
