// The interface texts of the command line: the program's language packs.
#include "app/LangText.h"
#include "cli/Commands.h"
#include "platform/UserLanguage.h"

namespace cli {
namespace {

int& ChosenLanguage() {
  // The user's language until --lang says otherwise; never stored.
  static int language = app::LanguageForLangId(platform::UserLanguageId());
  return language;
}

}  // namespace

engine::TextLookup InterfaceTexts() {
  app::SetCurrentLanguage(ChosenLanguage());
  return [](int id) { return app::LangText(id); };
}

bool SelectLanguage(const std::wstring& code) {
  std::wstring upper = code;
  for (wchar_t& c : upper)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  for (int id = 0; id < app::kLanguageCount; ++id) {
    if (upper == app::LanguageCode(id)) {
      ChosenLanguage() = id;
      return true;
    }
  }
  return false;
}

}  // namespace cli
