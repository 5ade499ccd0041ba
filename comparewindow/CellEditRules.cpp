#include "comparewindow/CellEditRules.h"

#include <algorithm>

namespace comparewindow {
namespace {

int Clamp(int value, int count) { return std::clamp(value, 0, std::max(count - 1, 0)); }

EditMove Within(const EditGrid& grid, int row, int column) {
  if (row < 0 || row >= grid.rows) return {true, true, {}};
  return {true, false, {row, column}};
}

}  // namespace

std::wstring FileNamePart(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

TextRange StemRange(const std::wstring& name) {
  const size_t dot = name.rfind(L'.');
  return {0, static_cast<int>(dot == std::wstring::npos ? name.size() : dot)};
}

EditStart EditStartFor(int column, const std::wstring& cellText) {
  if (column != 0 && column != 1) return {kNoEditText, {0, 0}, false};
  std::wstring name = FileNamePart(cellText);
  const TextRange stem = StemRange(name);
  return {std::move(name), stem, true};
}

TextRange NextF2Selection(const std::wstring& text, TextRange current) {
  const int length = static_cast<int>(text.size());
  const TextRange whole{0, length};
  const TextRange stem = StemRange(text);
  if (current == whole) return stem;
  if (current == stem) return {std::min(stem.end + 1, length), length};
  return whole;
}

EditMove EditMoveFor(EditKey key, bool shift, bool ctrl, EditCell from, const EditGrid& grid) {
  const int lastColumn = grid.columns - 1;
  switch (key) {
    case EditKey::Enter:
      return Within(grid, from.row + (shift ? -1 : 1), from.column);
    case EditKey::Tab:
      if (!shift)
        return from.column < lastColumn ? EditMove{true, false, {from.row, from.column + 1}}
                                        : Within(grid, from.row + 1, 0);
      return from.column > 0 ? EditMove{true, false, {from.row, from.column - 1}}
                             : Within(grid, from.row - 1, lastColumn);
    case EditKey::Up:
      return {true, false, {Clamp(from.row - 1, grid.rows), from.column}};
    case EditKey::Down:
      return {true, false, {Clamp(from.row + 1, grid.rows), from.column}};
    case EditKey::PageUp:
      return {true, false, {Clamp(from.row - grid.pageRows, grid.rows), from.column}};
    case EditKey::PageDown:
      return {true, false, {Clamp(from.row + grid.pageRows, grid.rows), from.column}};
    case EditKey::Home:
      if (!ctrl) return {};
      return {true, false, {0, from.column}};
    case EditKey::End:
      if (!ctrl) return {};
      return {true, false, {Clamp(grid.rows - 1, grid.rows), from.column}};
    case EditKey::Left:
      if (!ctrl) return {};
      return {true, false, {from.row, Clamp(from.column - 1, grid.columns)}};
    case EditKey::Right:
      if (!ctrl) return {};
      return {true, false, {from.row, Clamp(from.column + 1, grid.columns)}};
  }
  return {};
}

}  // namespace comparewindow
