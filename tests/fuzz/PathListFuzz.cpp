// The text of a path box: any text must normalise into items that hold no
// separator, are longer than two characters and differ in more than letter
// case, and normalising the result again must change nothing (unless a
// variable remains: each pass expands only the first one of an item).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "engine/PathList.h"
#include "platform/Text.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A known environment: variables whose values hold no percent sign.
  clearenv();
  setenv("PICS", "/home/user/pics", 1);
  setenv("TEMP", "/tmp", 1);
  setenv("E", "é", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::wstring text =
      platform::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  engine::PathItems items;
  const std::wstring last = engine::NormalizePathList(text, &items);

  std::set<std::wstring> keys;
  for (const std::wstring& item : items) {
    if (item.size() <= 2 || item.find_first_of(L";\r\n") != std::wstring::npos) __builtin_trap();
    if (!keys.insert(platform::ToLower(item)).second) __builtin_trap();
  }
  if (items.empty() != last.empty() || (!last.empty() && !items.count(last))) __builtin_trap();

  if (text.find(L'%') == std::wstring::npos) {
    std::wstring again = text;
    engine::PathItems itemsAgain;
    engine::NormalizePathList(again, &itemsAgain);
    if (again != text || itemsAgain != items) __builtin_trap();
  }

  std::wstring checked = text;
  const int count = engine::CheckPathsExist(checked);
  if (count < 0 || count > static_cast<int>(items.size())) __builtin_trap();
  return 0;
}
