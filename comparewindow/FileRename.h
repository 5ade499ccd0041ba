// Renaming a listed picture in place: the new path from an edited name, and
// the move that never replaces a file. When the name is taken, the stem gets
// "_(1)" and then "_(2)" before the extension; after three failed moves the
// file stays as it was.
//
//   auto renamed = RenameWithCollisionNames(old, RenamedPath(old, L"beach.jpg"),
//                                           platform::MoveFileNoReplace);
//   // "C:\p\beach.jpg", or "C:\p\beach_(1).jpg" when that was taken, or nothing
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace comparewindow {

// Moves a file; false when it failed (an existing target counts as failure).
using FileMover = std::function<bool(const std::wstring& from, const std::wstring& to)>;

// A name that stays in the picture's folder: not empty, no path separators,
// no characters the file system refuses in names (":" would name a stream).
bool IsPlainFileName(const std::wstring& name);

// The folder of the old path (with its separator) and the new name.
std::wstring RenamedPath(const std::wstring& oldPath, const std::wstring& newName);

// "%s_(%d)%s" of the stem, the counter and the extension; the extension
// starts at the last "." of the file name part (a name without one has none).
std::wstring CollisionName(const std::wstring& path, int counter);

// Tries the new path, then its collision names 1 and 2. The path the file
// has now, or nothing when all three failed.
std::optional<std::wstring> RenameWithCollisionNames(const std::wstring& from,
                                                     const std::wstring& to, const FileMover& move);

}  // namespace comparewindow
