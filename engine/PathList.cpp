#include "engine/PathList.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace engine {
namespace {

bool IsItemSeparator(wchar_t c) { return c == L';' || c == L'\n' || c == L'\r'; }

// Only the first pair of percent signs names a variable; each occurrence of
// that %NAME% becomes the value and a separator. A name that is not set
// leaves the item as typed.
std::wstring ExpandFirstVariable(std::wstring item) {
  const size_t open = item.find(L'%');
  if (open == std::wstring::npos) return item;
  const size_t close = item.find(L'%', open + 1);
  if (close == std::wstring::npos || close == open + 1) return item;
  const auto value = platform::EnvironmentVariable(item.substr(open + 1, close - open - 1));
  if (!value) return item;
  const std::wstring whole = item.substr(open, close - open + 1);
  const std::wstring replacement = *value + platform::kPathSeparator;
  // Continue behind each replacement: the value may itself hold the name.
  for (size_t at = item.find(whole); at != std::wstring::npos;
       at = item.find(whole, at + replacement.size()))
    item.replace(at, whole.size(), replacement);
  return item;
}

}  // namespace

std::wstring NormalizePathList(std::wstring& text, PathItems* items) {
  const std::wstring typed = std::move(text);
  text.clear();
  std::set<std::wstring> seenKeys;
  std::wstring last;
  size_t begin = 0;
  for (;;) {
    size_t end = begin;
    while (end < typed.size() && !IsItemSeparator(typed[end])) ++end;
    std::wstring item = ExpandFirstVariable(typed.substr(begin, end - begin));
    if (item.size() > 2 && seenKeys.insert(platform::ToLower(item)).second) {
      text += item;
      text += L';';
      if (items) items->insert(item);
      last = std::move(item);
    }
    if (end >= typed.size()) break;
    begin = end + 1;
  }
  if (!text.empty()) text.pop_back();
  return last;
}

int CheckPathsExist(std::wstring& text) {
  PathItems items;
  NormalizePathList(text, &items);
  for (const std::wstring& item : items) {
    text = item;
    if (!platform::FileAttributes(item)) return 0;
  }
  return static_cast<int>(items.size());
}

}  // namespace engine
