#include "engine/ImageEntry.h"

#include <cstring>

#include "platform/Text.h"

namespace engine {

ImageEntry EmptyEntry() {
  ImageEntry entry;
  std::memset(&entry, 0, sizeof entry);
  return entry;
}

bool FitsPathField(const std::wstring& path) {
  // Letters beyond the basic plane take two UTF-16 units.
  return path.size() < kPathCapacity && platform::ToUtf16(path).size() < kPathCapacity;
}

bool ImageEntry::SetPath(const std::wstring& text) {
  if (!FitsPathField(text) || text.find(L'\0') != std::wstring::npos) return false;
  std::memcpy(path, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  return true;
}

}  // namespace engine
