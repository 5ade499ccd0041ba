// The file lists that the actions on results hand to the shell, built from
// the rows of the result list: a row is its two cell texts and its two marks.
//
//   std::vector<MarkedRow> rows = ...;     // first row to last
//   std::wstring list = MarkedFileList(rows);
//   std::wstring sources = ShellPathList(list);
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace comparewindow {

// A path is taken from its cell up to this many characters.
inline constexpr size_t kMarkedPathChars = 300;

struct MarkedRow {
  std::wstring paths[2];  // left (column 0), right (column 1)
  bool marked[2] = {false, false};
};

// The paths of all marked images, row by row, left before right, each
// followed by a line feed. A path met before (compared without letter case)
// is taken once, in the letter case it was first met in.
std::wstring MarkedFileList(const std::vector<MarkedRow>& rows);

// Copy over partners: in each row with exactly one mark the marked image is
// the source and the other image its target, at the same position of the
// two line-fed lists. Rows whose two cells name one file are left out:
// a file copied over itself would gain nothing and risk its content.
struct PartnerCopy {
  std::wstring sources;
  std::wstring targets;
  bool empty() const { return sources.empty(); }
};
PartnerCopy PartnerCopyLists(const std::vector<MarkedRow>& rows);

// Moving a line-fed list into `folder`, each file named at its place. A
// name taken already (`exists`, or by an earlier file of the list) gets
// "_(n)" before its extension, n from 1, so no file is replaced unasked
// whatever the shell does. A file already in the folder, or with no free
// name up to n = 99, stays out.
struct MoveLists {
  std::wstring sources;
  std::wstring targets;
};
MoveLists MoveIntoFolder(const std::wstring& lines, const std::wstring& folder,
                         const std::function<bool(const std::wstring& path)>& exists);

// A line-fed list as the shell takes it: each line feed a NUL, ended by two NULs.
std::wstring ShellPathList(const std::wstring& lines);

}  // namespace comparewindow
