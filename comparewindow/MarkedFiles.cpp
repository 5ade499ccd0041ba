#include "comparewindow/MarkedFiles.h"

#include <unordered_set>

#include "platform/Text.h"

namespace comparewindow {
namespace {

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
