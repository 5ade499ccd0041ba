#include <gtest/gtest.h>

#include <string>

#include "app/LangText.h"
#include "app/LanguagePack.h"
#include "app/PackCodec.h"
#include "app/TextIds.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/UserLanguage.h"
#include "tests/support/TempFolder.h"

#ifdef _WIN32
#include <windows.h>

#include "app/TranslateMain_win.h"
#endif

namespace {

using app::LangText;
using app::TextTable;

TEST(PackText, ParsesLines) {
  struct Case {
    const wchar_t* text;
    TextTable expected;
  };
  for (const Case& c : {
           Case{L"12 = x \n", {{12, L"x"}}},
           Case{L"1=a\\tb\\r\\nc\\x\n", {{1, L"a\tb\r\nc\\x"}}},
           Case{L"0=zero\n-5=negative\n2000000=too big\n1999999=top\n", {{1999999, L"top"}}},
           Case{L"3=a\n4=last line without LF", {{3, L"a"}}},
           Case{L"5=a\rb\r\n\r6\r=c\r\n", {{5, L"ab"}, {6, L"c"}}},
           Case{L"no equals sign\n7=x=y\n", {{7, L"x=y"}}},
           Case{L"8=first\n8=second\n", {{8, L"second"}}},
           Case{L"# comment: 9=not a key\n9=key\n", {{9, L"key"}}},
       }) {
    TextTable table;
    app::ParsePackText(c.text, table, true);
    EXPECT_EQ(table, c.expected) << platform::ToUtf8(c.text);
  }
  TextTable table;
  app::ParsePackText(L"1=\n2=b\n", table, false);
  EXPECT_EQ(table, (TextTable{{2, L"b"}})) << "empty texts left out";
  app::ParsePackText(L"1=\n", table, true);
  EXPECT_EQ(table, (TextTable{{1, L""}, {2, L"b"}})) << "empty texts kept";
}

TEST(PackCodec, UnpacksSequences) {
  const std::string longLiterals =
      std::string(1, '\xF0') + std::string(1, '\xFF') + '\x03' + std::string(273, 'q');
  struct Case {
    const char* what;
    std::string packed;
    size_t limit;
    std::optional<std::string> expected;
  };
  for (const Case& c : {
           Case{"literals only",
                std::string("\x30"
                            "abc",
                            4),
                100, "abc"},
           Case{"overlapping match",
                std::string("\x11"
                            "a\x01\x00",
                            4),
                100, "aaaaaa"},
           Case{"match then literals",
                std::string("\x20"
                            "ab\x02\x00\x10"
                            "c",
                            7),
                100, "abababc"},
           Case{"long literal run", longLiterals, 1000, std::string(273, 'q')},
           Case{"long match",
                std::string("\x1F"
                            "z\x01\x00\x02",
                            5),
                1000, std::string(22, 'z')},
           Case{"output held to the limit",
                std::string("\x1F"
                            "z\x01\x00\x20",
                            5),
                10, std::string(10, 'z')},
           Case{"empty", std::string(), 10, ""},
           Case{"distance before the start",
                std::string("\x10"
                            "a\x02\x00",
                            4),
                100, std::nullopt},
           Case{"distance 0",
                std::string("\x10"
                            "a\x00\x00",
                            4),
                100, std::nullopt},
           Case{"literals cut short",
                std::string("\x50"
                            "ab",
                            3),
                100, std::nullopt},
           Case{"distance cut short",
                std::string("\x10"
                            "a\x01",
                            3),
                100, std::nullopt},
           Case{"length cut short", std::string("\xF0\xFF", 2), 100, std::nullopt},
       }) {
    EXPECT_EQ(app::UnpackBytes(c.packed, c.limit), c.expected) << c.what;
  }
}

std::wstring SourceText(const char* relative) {
  const auto bytes = platform::ReadFileBytes(platform::FromUtf8(DUPLORA_SOURCE_DIR "/") +
                                             platform::FromUtf8(relative));
  return bytes ? platform::FromUtf8(*bytes) : std::wstring();
}

// The program carries a pack for every language, holding exactly the texts of its source.
TEST(LanguagePacks, CarryTheirSourceTexts) {
  for (int language = 0; language < app::kLanguageCount; ++language) {
    const std::string code = platform::ToUtf8(app::LanguageCode(language));
    SCOPED_TRACE(code);
    const auto pack = app::LoadPackText(app::LanguageCode(language));
    ASSERT_TRUE(pack);
    const std::wstring source = SourceText(("resources/lang/" + code + ".txt").c_str());
    ASSERT_FALSE(source.empty());
    EXPECT_EQ(*pack, source);
    TextTable table;
    app::ParsePackText(*pack, table, true);
    EXPECT_GT(table.size(), 80u);
  }
  EXPECT_FALSE(app::LoadPackText(L"XX")) << "no such pack";
}

TEST(LanguagePacks, HelpPagesInBothLanguages) {
  const std::wstring english = app::HelpPage(L"EN-HELP");
  const std::wstring german = app::HelpPage(L"DE-HELP");
  EXPECT_EQ(english.rfind(L"<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(english.find(L"</html>"), std::wstring::npos);
  EXPECT_EQ(english.find(L"{{{"), std::wstring::npos) << "a page ends before the next section";
  EXPECT_NE(german.find(L"lang=\"de\""), std::wstring::npos);
  EXPECT_NE(german.find(L"</html>"), std::wstring::npos);
  EXPECT_EQ(app::HelpPage(L"FR-HELP"), L"");
}

// Puts the texts back to a known state after each test.
class LangTextTest : public ::testing::Test {
 protected:
  void TearDown() override {
    app::SetCheckingMode(false);
    app::SetCurrentLanguage(app::kLanguageEnglish);
    app::ReloadTexts();
    app::SetLanguageChangedHandler(nullptr);
  }
};

TEST_F(LangTextTest, SwitchesLanguageWithoutRestart) {
  app::SetCurrentLanguage(app::kLanguageGerman);
  EXPECT_EQ(LangText(app::kTextStop), L"Stopp");
  EXPECT_EQ(LangText(app::kTextStartSearch), L"Suche starten");
  app::SetCurrentLanguage(app::kLanguageEnglish);
  EXPECT_EQ(LangText(app::kTextStop), L"Stop");
  app::SetCurrentLanguage(app::kLanguageGerman);
  EXPECT_EQ(LangText(app::kTextStop), L"Stopp");
  app::SetCurrentLanguage(2);
  EXPECT_EQ(LangText(app::kTextStop), L"Arrêter");
  app::SetCurrentLanguage(6);
  EXPECT_EQ(LangText(app::kTextStop), L"停止");
}

TEST_F(LangTextTest, FallsBackToEnglishThenToAPlaceholder) {
  app::SetCurrentLanguage(2);
  app::SetCurrentTexts({{app::kTextNo, L"non"}});  // French without the text of Stop
  EXPECT_EQ(LangText(app::kTextStop), L"Stop");
  EXPECT_EQ(LangText(app::kTextNo), L"non");
  app::SetCurrentLanguage(99);  // outside the table: English
  EXPECT_EQ(LangText(app::kTextStop), L"Stop");
  EXPECT_EQ(LangText(1234567), L"String 1234567 is not in list");
  EXPECT_EQ(LangText(0), L"Duplora");

  app::SetCurrentLanguage(app::kLanguageGerman);
  app::SetCurrentTexts({{app::kTextStop, L""}, {app::kTextNo, L"nein"}});
  EXPECT_EQ(LangText(app::kTextStop), L"Stop") << "an empty translation counts as missing";
  EXPECT_EQ(LangText(app::kTextNo), L"nein");
}

TEST_F(LangTextTest, CheckingModeShowsMissingTexts) {
  app::SetCurrentLanguage(2);
  app::SetCurrentTexts({{app::kTextNo, L"non"}});
  app::SetCheckingMode(true);
  EXPECT_EQ(LangText(app::kTextStop), L"String 170 is not in list");
  EXPECT_EQ(LangText(0), L"String 0 is not in list");
  app::SetCheckingMode(false);
  EXPECT_EQ(LangText(app::kTextStop), L"Stop");
}

TEST_F(LangTextTest, ProgramNameReplacesPlaceholders) {
  app::SetCurrentTexts({{5, L"#AP# and Tessera, #AP#"}});
  EXPECT_EQ(LangText(5), L"Duplora and Duplora, Duplora");
  app::ReloadTexts();
  EXPECT_EQ(LangText(app::kTextMenuAbout), L"&About Duplora...");
  EXPECT_EQ(LangText(app::kTextMenuMagnifier), L"&Magnifier\tAlt+L");
}

TEST_F(LangTextTest, SetLanguageStoresAndAnnounces) {
  testsupport::TempFolder temp;
  const std::wstring program = temp.MakeFolder(L"program");
  platform::WriteFileBytes(program + platform::kPathSeparator + L"Duplora.ini", "");
  app::CMyProfStr& store = app::Settings();
  store.Init(program + platform::kPathSeparator + L"Duplora.exe", temp.MakeFolder(L"appdata"));
  EXPECT_EQ(app::ReadLanguageSetting(store), app::LanguageForLangId(platform::UserLanguageId()));

  int announced = -1;
  app::SetLanguageChangedHandler([&](int id) { announced = id; });
  app::SetLanguage(app::kLanguageGerman);
  EXPECT_EQ(announced, app::kLanguageGerman);
  EXPECT_EQ(store.ReadInt(L"Start", L"m_lang_id", 1), app::kLanguageGerman);
  EXPECT_EQ(app::ReadLanguageSetting(store), app::kLanguageGerman);
  EXPECT_EQ(LangText(app::kTextMenuLanguage), L"&Sprache");
}

TEST(Languages, FirstStartChoiceAndCodes) {
  struct Case {
    int primary, sub, expected;
  };
  for (const Case& c : {
           Case{7, 1, 0},
           Case{7, 3, 0},
           Case{9, 1, 1},
           Case{12, 1, 2},
           Case{16, 1, 3},
           Case{10, 3, 4},
           Case{4, 1, 5},
           Case{17, 1, 6},
           Case{18, 1, 7},
           Case{21, 1, 8},
           Case{4, 2, 9},
           Case{4, 4, 9},
           Case{25, 1, 10},
           Case{19, 1, 11},
           Case{31, 1, 12},
           Case{8, 1, 13},
           Case{10, 11, 14},
           Case{27, 1, 15},
           Case{5, 1, 16},
           Case{6, 1, 17},
           Case{22, 1, 18},
           Case{24, 1, 19},
           Case{11, 1, 21},
           Case{14, 1, 22},
           Case{26, 1, 23},
           Case{36, 1, 24},
           Case{1, 1, 25},
           Case{34, 1, 26},
           Case{37, 1, 27},
           Case{20, 1, 29},
           Case{20, 2, 29},
           // Swedish, British English, Serbian in Cyrillic, Colombian Spanish
           // and Bulgarian systems: English, English, HR, ES and English.
           Case{29, 1, 1},
           Case{9, 2, 1},
           Case{26, 3, 23},
           Case{10, 9, 4},
           Case{2, 1, 1},
           Case{0, 0, 1},
       }) {
    EXPECT_EQ(app::LanguageForLangId(static_cast<uint16_t>(c.primary | (c.sub << 10))), c.expected)
        << c.primary << "/" << c.sub;
  }
  // SV, UK, SRP, COL and BG are chosen from the menu only.
  for (int langId = 0; langId <= 0xFFFF; ++langId) {
    const int chosen = app::LanguageForLangId(static_cast<uint16_t>(langId));
    for (const int never : {20, 28, 30, 31, 32}) ASSERT_NE(chosen, never) << langId;
  }
  EXPECT_STREQ(app::LanguageCode(0), L"DE");
  EXPECT_STREQ(app::LanguageCode(9), L"CHS");
  EXPECT_STREQ(app::LanguageCode(32), L"BG");
  EXPECT_STREQ(app::LanguageCode(33), L"EN");
  EXPECT_STREQ(app::LanguageCode(-1), L"EN");
}

TEST(Languages, LocaleNamesAsLanguageIds) {
  struct Case {
    const char* locale;
    int primary, sub;
  };
  for (const Case& c : {
           Case{"de_DE.UTF-8", 7, 1},
           Case{"de_AT", 7, 1},
           Case{"en_GB.UTF-8", 9, 1},
           Case{"zh_TW.UTF-8", 4, 1},
           Case{"zh_CN", 4, 2},
           Case{"es_AR.UTF-8", 10, 11},
           Case{"es_ES@euro", 10, 1},
           Case{"nb_NO.UTF-8", 20, 1},
           Case{"sl_SI", 36, 1},
           Case{"C", 0, 0},
           Case{"POSIX", 0, 0},
           Case{"C.UTF-8", 0, 0},
           Case{"", 0, 0},
       }) {
    EXPECT_EQ(platform::LangIdFromLocaleName(c.locale), c.primary | (c.sub << 10)) << c.locale;
  }
}

#ifdef _WIN32
TEST_F(LangTextTest, TranslatesMenusAgainAfterALanguageChange) {
  HMENU bar = ::CreateMenu();
  HMENU file = ::CreatePopupMenu();
  HMENU language = ::CreatePopupMenu();
  HMENU edit = ::CreatePopupMenu();
  ::AppendMenuW(file, MF_STRING, 32816, L"10005");
  ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(language, MF_STRING, 43900, L"Deutsch");
  ::AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(language), L"10900");
  ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"10000");
  ::AppendMenuW(edit, MF_STRING, 34134, L"20003");
  ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"20000");

  auto text = [](HMENU menu, UINT position) {
    wchar_t buffer[256] = {};
    ::GetMenuStringW(menu, position, buffer, 256, MF_BYPOSITION);
    return std::wstring(buffer);
  };
  // GetMenuItemID answers -1 for an item that opens a sub-menu.
  auto commandOf = [](HMENU menu, UINT position) {
    MENUITEMINFOW item{sizeof item};
    item.fMask = MIIM_ID;
    ::GetMenuItemInfoW(menu, position, TRUE, &item);
    return item.wID;
  };
  app::CTranslateMain translator;
  app::SetCurrentLanguage(app::kLanguageEnglish);
  translator.TranslateMenu(bar);
  EXPECT_EQ(text(bar, 0), L"&File");
  EXPECT_EQ(text(file, 0), L"&Export list...");
  EXPECT_EQ(text(file, 2), L"&Language");
  ASSERT_EQ(::GetMenuItemCount(language), app::kLanguageCount) << "every language offered";
  EXPECT_EQ(text(language, 2), L"Français");
  EXPECT_EQ(commandOf(file, 2), 43900u + app::kLanguageEnglish);
  EXPECT_EQ(translator.SubMenu(20000), edit);
  EXPECT_EQ(translator.SubMenu(30000), nullptr);

  app::SetCurrentLanguage(app::kLanguageGerman);
  translator.TranslateMenu(bar);
  EXPECT_EQ(text(bar, 0), L"&Datei");
  EXPECT_EQ(text(edit, 0), L"Alle Markierungen &umkehren");
  EXPECT_EQ(commandOf(file, 2), 43900u + app::kLanguageGerman);
  EXPECT_EQ(::GetMenuItemCount(language), app::kLanguageCount) << "each language once";
  ::DestroyMenu(bar);
}
#endif

}  // namespace
