// Language text files as the translation editor reads them, and pack texts:
// any bytes must parse into ids from 1 to 1999999 without harm.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/LanguagePack.h"
#include "app/TranslationRows.h"
#include "platform/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const auto& [id, text] : app::ReadTranslationFile(bytes)) {
    if (id < 1 || id > 1999999 || text.empty()) __builtin_trap();
  }

  const std::wstring pack = platform::FromUtf16LeBytes(bytes);
  app::TextTable all, nonEmpty;
  app::ParsePackText(pack, all, true);
  app::ParsePackText(pack, nonEmpty, false);
  // Leaving empty texts out changes nothing else (a later empty line leaves
  // an earlier text in place).
  for (const auto& [id, text] : nonEmpty) {
    if (text.empty() || !all.count(id)) __builtin_trap();
  }
  for (const auto& [id, text] : all) {
    if (id < 1 || id > 1999999) __builtin_trap();
    if (!text.empty() && (!nonEmpty.count(id) || nonEmpty.at(id) != text)) __builtin_trap();
  }
  return 0;
}
