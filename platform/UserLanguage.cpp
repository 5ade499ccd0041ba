#include "platform/UserLanguage.h"

#include <cstring>

namespace platform {
namespace {

struct Language {
  const char* code;
  uint16_t primary;
};

// ISO 639-1 codes and the primary language numbers Windows gives them.
constexpr Language kLanguages[] = {
    {"ar", 1},  {"bg", 2},  {"ca", 3},  {"zh", 4},  {"cs", 5},  {"da", 6},  {"de", 7},
    {"el", 8},  {"en", 9},  {"es", 10}, {"fi", 11}, {"fr", 12}, {"he", 13}, {"hu", 14},
    {"is", 15}, {"it", 16}, {"ja", 17}, {"ko", 18}, {"nl", 19}, {"nb", 20}, {"nn", 20},
    {"no", 20}, {"pl", 21}, {"pt", 22}, {"ro", 24}, {"ru", 25}, {"hr", 26}, {"sr", 26},
    {"bs", 26}, {"sk", 27}, {"sq", 28}, {"sv", 29}, {"th", 30}, {"tr", 31}, {"ur", 32},
    {"id", 33}, {"uk", 34}, {"be", 35}, {"sl", 36}, {"et", 37}, {"lv", 38}, {"lt", 39},
};

// Sub-languages that pick a different pack: Chinese of Taiwan, Hong Kong,
// Singapore and Macao, Spanish of Argentina. Others take 1, the default.
uint16_t SubLanguage(std::string_view language, std::string_view region) {
  if (language == "zh") {
    if (region == "TW") return 1;
    if (region == "HK") return 3;
    if (region == "SG") return 4;
    if (region == "MO") return 5;
    return 2;
  }
  if (language == "es" && region == "AR") return 11;
  return 1;
}

}  // namespace

uint16_t LangIdFromLocaleName(std::string_view locale) {
  // language[_REGION][.charset][@modifier]
  const size_t end = locale.find_first_of(".@");
  if (end != std::string_view::npos) locale = locale.substr(0, end);
  const size_t underscore = locale.find('_');
  const std::string_view language = locale.substr(0, underscore);
  const std::string_view region =
      underscore == std::string_view::npos ? std::string_view() : locale.substr(underscore + 1);
  for (const Language& l : kLanguages) {
    if (language == l.code)
      return static_cast<uint16_t>(l.primary | (SubLanguage(language, region) << 10));
  }
  return 0;
}

}  // namespace platform
