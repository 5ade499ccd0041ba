#include <cstdlib>

#include "platform/UserLanguage.h"

namespace platform {

uint16_t UserLanguageId() {
  // The order in which the C library itself picks the messages locale.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return LangIdFromLocaleName(value);
  }
  return 0;
}

}  // namespace platform
