#include "comparewindow/MarkedFiles.h"

#include <unordered_set>

#include "comparewindow/CellEditRules.h"
#include "comparewindow/FileRename.h"
#include "platform/Text.h"

namespace comparewindow {
namespace {

constexpr int kMaxCollisionNumber = 99;

std::wstring CellPath(const std::wstring& text) { return text.substr(0, kMarkedPathChars); }

bool SameFile(const std::wstring& a, const std::wstring& b) {
  return platform::ToLower(a) == platform::ToLower(b);
}

}  // namespace

std::wstring MarkedFileList(const std::vector<MarkedRow>& rows) {
  std::wstring list;
  std::unordered_set<std::wstring> taken;
  for (const MarkedRow& row : rows)
    for (int side = 0; side < 2; ++side) {
      if (!row.marked[side]) continue;
      const std::wstring path = CellPath(row.paths[side]);
      if (path.empty() || !taken.insert(platform::ToLower(path)).second) continue;
      list += path;
      list += L'\n';
    }
  return list;
}

PartnerCopy PartnerCopyLists(const std::vector<MarkedRow>& rows) {
  PartnerCopy copy;
  for (const MarkedRow& row : rows) {
    if (row.marked[0] == row.marked[1]) continue;
    const int source = row.marked[0] ? 0 : 1;
    const std::wstring from = CellPath(row.paths[source]);
    const std::wstring to = CellPath(row.paths[1 - source]);
    if (from.empty() || to.empty() || SameFile(from, to)) continue;
    copy.sources += from + L'\n';
    copy.targets += to + L'\n';
  }
  return copy;
}

MoveLists MoveIntoFolder(const std::wstring& lines, const std::wstring& folder,
                         const std::function<bool(const std::wstring& path)>& exists) {
  std::wstring prefix = folder;
  if (!prefix.empty() && prefix.back() != L'\\' && prefix.back() != L'/') prefix += L'\\';
  MoveLists lists;
  std::unordered_set<std::wstring> taken;
  const auto free = [&](const std::wstring& path) {
    return !taken.contains(platform::ToLower(path)) && !exists(path);
  };
  for (size_t start = 0, end; (end = lines.find(L'\n', start)) != std::wstring::npos;
       start = end + 1) {
    const std::wstring source = lines.substr(start, end - start);
    const std::wstring place = prefix + FileNamePart(source);
    // Already in the folder: nothing to move (and no renaming it in place).
    if (platform::ToLower(place) == platform::ToLower(source)) continue;
    std::wstring target = place;
    for (int n = 1; n <= kMaxCollisionNumber && !free(target); ++n)
      target = CollisionName(place, n);
    if (!free(target)) continue;
    taken.insert(platform::ToLower(target));
    lists.sources += source + L'\n';
    lists.targets += target + L'\n';
  }
  return lists;
}

std::wstring ShellPathList(const std::wstring& lines) {
  std::wstring list = lines;
  for (wchar_t& c : list)
    if (c == L'\n') c = L'\0';
  // The last path's line feed gave the first NUL of the end.
  if (list.empty() || list.back() != L'\0') list += L'\0';
  list += L'\0';
  return list;
}

}  // namespace comparewindow
