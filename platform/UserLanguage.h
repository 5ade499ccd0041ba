// The user's interface language as the Windows language id: the primary
// language in the low 10 bits, the sub-language in the bits above them
// (German 7, English 9; Spanish of Argentina 10 with sub-language 11).
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// Windows: GetUserDefaultLangID. Linux: the locale of LC_ALL, LC_MESSAGES or
// LANG, the first that is set, by LangIdFromLocaleName.
uint16_t UserLanguageId();

// A POSIX locale name ("de_DE.UTF-8", "zh_TW", "es_AR@euro") as a language id;
// 0 (neutral) for "C", "POSIX" and languages without an id here.
uint16_t LangIdFromLocaleName(std::string_view locale);

}  // namespace platform
