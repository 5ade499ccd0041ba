#include "app/HelpFile.h"

#include <cstdio>

#include "app/LangText.h"
#include "app/LanguagePack.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace app {

const wchar_t* HelpSectionFor(int languageId) {
  return languageId == kLanguageGerman ? L"DE-HELP" : L"EN-HELP";
}

std::optional<std::wstring> WriteHelpFile(const std::wstring& folder, int languageId) {
  const std::wstring page = HelpPage(HelpSectionFor(languageId));
  if (page.empty()) return std::nullopt;
  std::wstring path = folder;
  if (!path.empty() && path.back() != L'/' && path.back() != L'\\')
    path += platform::kPathSeparator;
  path += kHelpFileName;
  if (!platform::WriteFileBytes(path, platform::ToUtf8(page))) return std::nullopt;
  return path;
}

std::wstring FileUrl(const std::wstring& path) {
  std::wstring url = L"file://";
  if (!path.empty() && path.front() != L'/') url += L'/';
  for (const char byte : platform::ToUtf8(path)) {
    const auto c = static_cast<unsigned char>(byte);
    if (c == '\\') {
      url += L'/';
    } else if (c <= ' ' || c >= 0x80 || c == '#' || c == '%' || c == '?') {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      url += platform::FromUtf8(escaped);
    } else {
      url += static_cast<wchar_t>(c);
    }
  }
  return url;
}

}  // namespace app
