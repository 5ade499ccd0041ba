// The rules of the result list's in-place editor, apart from its window:
// what text an edit starts with, what F2 selects in turn, and where the
// navigation keys move the edit.
//
//   EditStart start = EditStartFor(column, path);    // "photo.jpg", "photo" selected
//   TextRange next = NextF2Selection(text, current); // whole -> stem -> extension -> whole
//   EditMove move = EditMoveFor(key, cell, grid);    // Enter: same column, next row
#pragma once

#include <string>

namespace comparewindow {

// What the editor shows for a column that cannot be renamed.
inline constexpr wchar_t kNoEditText[] = L"No-Edit";

// Selected characters [start, end).
struct TextRange {
  int start = 0;
  int end = 0;
  bool operator==(const TextRange&) const = default;
};

struct EditStart {
  std::wstring text;
  TextRange selection;
  bool renames = false;  // a path column: ending the edit may rename the file
};

// Everything after the last path separator.
std::wstring FileNamePart(const std::wstring& path);
// The part before the last "." (all of a name without one).
TextRange StemRange(const std::wstring& name);
// Path columns edit the file name with its stem selected; other columns show "No-Edit".
EditStart EditStartFor(int column, const std::wstring& cellText);
// F2: the whole text, then the stem, then the extension, then the whole text again.
TextRange NextF2Selection(const std::wstring& text, TextRange current);

enum class EditKey { Enter, Tab, Up, Down, PageUp, PageDown, Home, End, Left, Right };

struct EditCell {
  int row = 0;
  int column = 0;
  bool operator==(const EditCell&) const = default;
};

struct EditGrid {
  int rows = 0;
  int columns = 0;
  int pageRows = 1;  // rows one page holds
};

struct EditMove {
  bool handled = false;  // the key moves edits (with its modifiers)
  bool leaves = false;   // it moves past the list's end: the edit just ends
  EditCell to;
};

// Where a key moves the edit. Enter and Tab past either end of the list
// end the edit; the other keys stop at the first and last row and column.
// Home, End, Left and Right move only with Ctrl.
EditMove EditMoveFor(EditKey key, bool shift, bool ctrl, EditCell from, const EditGrid& grid);

}  // namespace comparewindow
