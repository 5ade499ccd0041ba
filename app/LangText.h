// Interface texts by number. Every text a user sees is fetched at the moment
// of use by its id (app/TextIds.h) in the current interface language; a text
// missing there comes from the English pack, and one missing there too shows
// as "String <id> is not in list", so that nothing is ever blank.
//
//   button.SetText(app::LangText(app::kTextStartSearch));
//
// Language ids are those stored as "m_lang_id" in [Start]: 0 German,
// 1 English, 2 French, ... (33 in all, LanguageCode). Packs are loaded
// lazily at the next fetch after the language changed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/LanguagePack.h"
#include "app/MyProfStr.h"

namespace app {

inline constexpr int kLanguageGerman = 0;
inline constexpr int kLanguageEnglish = 1;
inline constexpr int kLanguageCount = 33;

// The code of the language's pack ("DE", "EN", "CHS", ...); "EN" for ids outside the table.
const wchar_t* LanguageCode(int languageId);
// The language's own name for itself ("Deutsch", "Français", "日本語", ...), as
// the language menu lists it; empty for ids outside the table.
const wchar_t* LanguageName(int languageId);

// The language chosen on first start for a Windows language id (primary
// language in the low 10 bits, sub-language above): English when none fits.
int LanguageForLangId(uint16_t langId);

// The language in use, and setting it without storing it (the frame does so
// with the stored choice when it opens).
int CurrentLanguage();
void SetCurrentLanguage(int languageId);

// The stored choice ("m_lang_id" in [Start]); before the user chose one, the
// language of the user's system.
int ReadLanguageSetting(const CMyProfStr& store = Settings());

// The user's choice: used from the next fetch on, stored, and announced to
// the handler (the frame, which translates its menus and labels again).
void SetLanguage(int languageId);
void SetLanguageChangedHandler(std::function<void(int languageId)> handler);
// Announces the current language to the handler without storing anything,
// so the frame translates its menus and labels again (after the texts were
// replaced for a preview or reloaded).
void RequestRetranslation();

std::wstring LangText(int id);

// Checking mode (translation editor): no English fallback, so missing
// translations show as placeholders.
void SetCheckingMode(bool on);
bool CheckingMode();

// Replaces the texts of the current language until the language changes or
// ReloadTexts is called (the translation editor's live preview).
void SetCurrentTexts(TextTable texts);
// Makes the next fetch load the current language's pack again.
void ReloadTexts();

}  // namespace app
