#include "comparewindow/RowMarks.h"

#include <cstdint>

namespace comparewindow {
namespace {

int64_t Pixels(const engine::ImageEntry& entry) {
  return static_cast<int64_t>(entry.width) * entry.height;
}

int Flipped(int mark) { return mark == 1 ? 0 : 1; }

bool Takes(RowRemoval removal, const RowState& row) {
  const bool marked = row.marks.left == 1 || row.marks.right == 1;
  switch (removal) {
    case RowRemoval::Selected:
      return row.selected;
    case RowRemoval::Marked:
      return marked;
    case RowRemoval::Unmarked:
      return !marked;
  }
  return false;
}

}  // namespace

RowMarks AutoMarks(const engine::MatchPair& pair) {
  const engine::ImageEntry& left = *pair.first;
  const engine::ImageEntry& right = *pair.second;
  if (Pixels(left) != Pixels(right))
    return Pixels(left) > Pixels(right) ? RowMarks{1, 0} : RowMarks{0, 1};
  if (left.fileSize != right.fileSize)
    return left.fileSize > right.fileSize ? RowMarks{1, 0} : RowMarks{0, 1};
  return {};
}

RowMarks Inverted(RowMarks marks) { return {Flipped(marks.left), Flipped(marks.right)}; }

RowMarks Swapped(RowMarks marks) { return {marks.right, marks.left}; }

std::vector<int> RowsToRemove(RowRemoval removal, const std::vector<RowState>& rows) {
  std::vector<int> taken;
  for (int row = static_cast<int>(rows.size()) - 1; row >= 0; --row)
    if (Takes(removal, rows[row])) taken.push_back(row);
  return taken;
}

}  // namespace comparewindow
