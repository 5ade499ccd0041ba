#include <windows.h>

#include "platform/Text.h"

namespace platform {

std::wstring ToLower(std::wstring_view text) {
  std::wstring out(text);
  if (!out.empty()) CharLowerBuffW(out.data(), static_cast<DWORD>(out.size()));
  return out;
}

}  // namespace platform
