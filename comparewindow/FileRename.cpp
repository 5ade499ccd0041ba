#include "comparewindow/FileRename.h"

#include <string_view>

namespace comparewindow {
namespace {

constexpr int kCollisionNames = 2;

}  // namespace

bool IsPlainFileName(const std::wstring& name) {
  if (name.empty() || name == L"." || name == L"..") return false;
  for (wchar_t c : name)
    if (c < 32 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
      return false;
  return true;
}

std::wstring RenamedPath(const std::wstring& oldPath, const std::wstring& newName) {
  const size_t cut = oldPath.find_last_of(L"\\/");
  return (cut == std::wstring::npos ? std::wstring() : oldPath.substr(0, cut + 1)) + newName;
}

std::wstring CollisionName(const std::wstring& path, int counter) {
  // A dot in a folder name is no extension.
  const size_t nameStart = path.find_last_of(L"\\/");
  const size_t dot = path.rfind(L'.');
  const bool hasExtension =
      dot != std::wstring::npos && (nameStart == std::wstring::npos || dot > nameStart);
  const size_t split = hasExtension ? dot : path.size();
  return path.substr(0, split) + L"_(" + std::to_wstring(counter) + L")" + path.substr(split);
}

std::optional<std::wstring> RenameWithCollisionNames(const std::wstring& from,
                                                     const std::wstring& to,
                                                     const FileMover& move) {
  if (move(from, to)) return to;
  for (int counter = 1; counter <= kCollisionNames; ++counter) {
    const std::wstring candidate = CollisionName(to, counter);
    if (move(from, candidate)) return candidate;
  }
  return std::nullopt;
}

}  // namespace comparewindow
