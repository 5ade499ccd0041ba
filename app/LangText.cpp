#include "app/LangText.h"

#include <mutex>

#include "app/ProgramInfo.h"
#include "platform/UserLanguage.h"

namespace app {
namespace {

constexpr const wchar_t* kCodes[kLanguageCount] = {
    L"DE", L"EN", L"FR",  L"IT",  L"ES",  L"CH", L"JA", L"KR", L"PL",  L"CHS", L"RU",
    L"NL", L"TR", L"GR",  L"AR",  L"SK",  L"CZ", L"DA", L"BR", L"RO",  L"SV",  L"FI",
    L"HU", L"HR", L"SLO", L"ARA", L"UKR", L"EE", L"UK", L"NO", L"SRP", L"COL", L"BG",
};

// Each language in its own words, so a user finds theirs whatever is shown.
constexpr const wchar_t* kNames[kLanguageCount] = {
    L"Deutsch",
    L"English",
    L"Français",
    L"Italiano",
    L"Español",
    L"繁體中文",
    L"日本語",
    L"한국어",
    L"Polski",
    L"简体中文",
    L"Русский",
    L"Nederlands",
    L"Türkçe",
    L"Ελληνικά",
    L"Español (Argentina)",
    L"Slovenčina",
    L"Čeština",
    L"Dansk",
    L"Português (Brasil)",
    L"Română",
    L"Svenska",
    L"Suomi",
    L"Magyar",
    L"Hrvatski",
    L"Slovenščina",
    L"العربية",
    L"Українська",
    L"Eesti",
    L"English (United Kingdom)",
    L"Norsk",
    L"Српски",
    L"Español (Colombia)",
    L"Български",
};

// The language a primary language id selects on first start.
struct FirstStart {
  int primary;
  int language;
};
constexpr FirstStart kFirstStart[] = {
    {7, 0},   {9, 1},   {12, 2},  {16, 3},  {10, 4},  {17, 6},  {18, 7},  {21, 8},  {4, 9},
    {25, 10}, {19, 11}, {31, 12}, {8, 13},  {27, 15}, {5, 16},  {6, 17},  {22, 18}, {24, 19},
    {11, 21}, {14, 22}, {26, 23}, {36, 24}, {1, 25},  {34, 26}, {37, 27}, {20, 29},
};

constexpr int kNotLoaded = -1000;

// The search run formats its status texts on its worker thread, so the
// lazily filled tables are guarded.
struct Texts {
  std::mutex lock;
  int current = kLanguageEnglish;
  int loaded = kNotLoaded;
  bool checking = false;
  bool englishLoaded = false;
  TextTable english;
  TextTable texts;
  std::function<void(int)> changed;
};

Texts& State() {
  static Texts state;
  return state;
}

void ReplaceAll(std::wstring& text, std::wstring_view what, const std::wstring& by) {
  for (size_t at = 0; (at = text.find(what, at)) != std::wstring::npos; at += by.size())
    text.replace(at, what.size(), by);
}

void LoadCurrent(Texts& s) {
  if (!s.englishLoaded) {
    if (const auto pack = LoadPackText(L"EN")) ParsePackText(*pack, s.english, false);
    s.englishLoaded = true;
  }
  s.texts.clear();
  if (const auto pack = LoadPackText(LanguageCode(s.current))) ParsePackText(*pack, s.texts, true);
  s.loaded = s.current;
}

}  // namespace

const wchar_t* LanguageCode(int languageId) {
  return languageId >= 0 && languageId < kLanguageCount ? kCodes[languageId] : L"EN";
}

const wchar_t* LanguageName(int languageId) {
  return languageId >= 0 && languageId < kLanguageCount ? kNames[languageId] : L"";
}

int LanguageForLangId(uint16_t langId) {
  const int primary = langId & 0x3FF;
  const int sub = langId >> 10;
  // Chinese of Taiwan and Spanish of Argentina have packs of their own.
  if (primary == 4 && sub == 1) return 5;
  if (primary == 10 && sub == 11) return 14;
  for (const FirstStart& f : kFirstStart) {
    if (f.primary == primary) return f.language;
  }
  return kLanguageEnglish;
}

int CurrentLanguage() {
  Texts& s = State();
  std::lock_guard guard(s.lock);
  return s.current;
}

void SetCurrentLanguage(int languageId) {
  Texts& s = State();
  std::lock_guard guard(s.lock);
  s.current = languageId;
}

int ReadLanguageSetting(const CMyProfStr& store) {
  if (store.ReadString(L"Start", L"m_lang_id", L"").empty())
    return LanguageForLangId(platform::UserLanguageId());
  return store.ReadInt(L"Start", L"m_lang_id", kLanguageEnglish);
}

void SetLanguage(int languageId) {
  SetCurrentLanguage(languageId);
  Settings().WriteInt(L"Start", L"m_lang_id", languageId);
  RequestRetranslation();
}

void RequestRetranslation() {
  std::function<void(int)> changed;
  int language;
  {
    Texts& s = State();
    std::lock_guard guard(s.lock);
    changed = s.changed;
    language = s.current;
  }
  // Called outside the lock: the handler fetches texts.
  if (changed) changed(language);
}

void SetLanguageChangedHandler(std::function<void(int)> handler) {
  Texts& s = State();
  std::lock_guard guard(s.lock);
  s.changed = std::move(handler);
}

std::wstring LangText(int id) {
  Texts& s = State();
  std::wstring text;
  {
    std::lock_guard guard(s.lock);
    if (s.loaded != s.current) LoadCurrent(s);
    if (const auto it = s.texts.find(id); it != s.texts.end()) text = it->second;
    if (text.empty() && !s.checking) {
      if (id == 0) {
        text = ProgramName();
      } else if (const auto en = s.english.find(id); en != s.english.end()) {
        text = en->second;
      }
    }
  }
  if (text.empty()) return L"String " + std::to_wstring(id) + L" is not in list";
  const std::wstring& name = ProgramName();
  if (name != L"Tessera") ReplaceAll(text, L"Tessera", name);
  ReplaceAll(text, L"#AP#", name);
  return text;
}

void SetCheckingMode(bool on) {
  Texts& s = State();
  std::lock_guard guard(s.lock);
  s.checking = on;
}

bool CheckingMode() {
  Texts& s = State();
  std::lock_guard guard(s.lock);
  return s.checking;
}

void SetCurrentTexts(TextTable texts) {
  Texts& s = State();
  std::lock_guard guard(s.lock);
  if (!s.englishLoaded) LoadCurrent(s);
  s.texts = std::move(texts);
  s.loaded = s.current;
}

void ReloadTexts() {
  Texts& s = State();
  std::lock_guard guard(s.lock);
  s.loaded = kNotLoaded;
}

}  // namespace app
