// The marks of the result list's rows as plain values: automatic marking,
// inverting, swapping and which rows a removal command takes. The window
// applies these to its list.
//
//   RowMarks marks = AutoMarks(pair);                  // the larger picture marked
//   for (int row : RowsToRemove(RowRemoval::Marked, rows)) list.DeleteRow(row);
#pragma once

#include <vector>

#include "engine/Similarity.h"

namespace comparewindow {

// Commands on the marks and rows of the result list (its context menu sends them).
inline constexpr int kCmdMarkAutomatically = 5;
inline constexpr int kCmdInvertMarks = 34134;
inline constexpr int kCmdSwapMarks = 45997;
inline constexpr int kCmdRemoveSelectedRows = 45998;
inline constexpr int kCmdRemoveMarkedRows = 45999;
inline constexpr int kCmdRemoveUnmarkedRows = 46000;

// 0 unmarked, 1 marked; left is column 0, right column 1.
struct RowMarks {
  int left = 0;
  int right = 0;
  bool operator==(const RowMarks&) const = default;
};

// The picture with more pixels is marked; with equal pixel counts the larger
// file; with equal file sizes too, neither.
RowMarks AutoMarks(const engine::MatchPair& pair);

RowMarks Inverted(RowMarks marks);
RowMarks Swapped(RowMarks marks);

enum class RowRemoval { Selected, Marked, Unmarked };

struct RowState {
  bool selected = false;
  RowMarks marks;
};

// The rows a removal takes, from the last to the first, so deleting them in
// this order leaves the indexes of the rest valid.
std::vector<int> RowsToRemove(RowRemoval removal, const std::vector<RowState>& rows);

}  // namespace comparewindow
