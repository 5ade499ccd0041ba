#include <windows.h>

#include <string>

#include "platform/Resources.h"

namespace platform {

std::optional<std::string_view> ProgramResource(std::wstring_view type, std::wstring_view name) {
  const std::wstring typeText(type), nameText(name);
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC found = ::FindResourceW(module, nameText.c_str(), typeText.c_str());
  if (!found) return std::nullopt;
  HGLOBAL loaded = ::LoadResource(module, found);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return std::string_view(static_cast<const char*>(data), ::SizeofResource(module, found));
}

}  // namespace platform
