// The thirteen columns of the result list: titles, alignment, widths, the
// text of every cell and the sort order. A pure function of a pair and the
// interface texts, shared by the list, the export and the command line.
//
//   0, 1    path of the left / right picture      7      right brightness
//   2       similarity "%d %"                      8      rotation "%d °"
//   3       aspect agreement "%.2f %"              9      mirror kind
//   4, 5    width x height, left / right           10     negative
//   6       left brightness "N %"                  11, 12 file size, left / right
#pragma once

#include <string>

#include "engine/Similarity.h"
#include "engine/TextLookup.h"

namespace comparewindow {

inline constexpr int kColumnCount = 13;
inline constexpr int kSimilarityColumn = 2;

struct ColumnLayout {
  bool rightAligned;
  int width;  // initial width in pixels; the list widens a column whose title needs more
};

ColumnLayout ColumnLayoutOf(int column);
std::wstring ColumnTitle(int column, const engine::TextLookup& texts);

// The cell's text; empty for a column outside 0..12.
std::wstring CellText(const engine::MatchPair& pair, int column, const engine::TextLookup& texts);

// The list's compare function for rows a and b on a column: paths compare
// case-insensitively (negative, zero or positive), the other columns give 1
// when a sorts after b and 0 otherwise (rotation, mirror kind and negative
// the other way round). With descending set a and b are swapped first.
int CompareRows(const engine::MatchPair& a, const engine::MatchPair& b, int column,
                bool descending);

}  // namespace comparewindow
