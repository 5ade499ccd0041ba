// Every pack the program carries against the English one, id by id: the same
// ids, the same format directives, line breaks and tabs, the same program-name
// placeholders, and menu accelerators that stay unique within each menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/LangText.h"
#include "app/LanguagePack.h"
#include "app/TextIds.h"
#include "comparewindow/OptionMenus.h"
#include "comparewindow/ResultMenu.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace {

using app::TextTable;

// The packed texts of a language, read as the program reads them.
TextTable PackTexts(const wchar_t* code) {
  TextTable table;
  if (const auto pack = app::LoadPackText(code)) app::ParsePackText(*pack, table, false);
  return table;
}

std::string Code(int language) { return platform::ToUtf8(app::LanguageCode(language)); }

// The printf directives of a text in order ("%d", "%02d", "%I64u", ...); "%%" is none.
std::vector<std::wstring> Directives(const std::wstring& text) {
  static const std::wstring flags = L"-+ #0", lengths[] = {L"I64", L"I32", L"ll", L"hh", L"l",
                                                           L"h",   L"L",   L"z",  L"j",  L"t"};
  static const std::wstring conversions = L"diouxXeEfFgGaAcCsSpn";
  std::vector<std::wstring> found;
  for (size_t at = text.find(L'%'); at != std::wstring::npos; at = text.find(L'%', at + 1)) {
    if (at + 1 < text.size() && text[at + 1] == L'%') {
      ++at;
      continue;
    }
    size_t end = at + 1;
    while (end < text.size() && flags.find(text[end]) != std::wstring::npos) ++end;
    while (end < text.size() && (iswdigit(text[end]) || text[end] == L'*' || text[end] == L'.'))
      ++end;
    for (const std::wstring& length : lengths) {
      if (text.compare(end, length.size(), length) == 0) {
        end += length.size();
        break;
      }
    }
    if (end < text.size() && conversions.find(text[end]) != std::wstring::npos)
      found.push_back(text.substr(at, end + 1 - at));
  }
  return found;
}

// TAB, CR and LF as the parser made them of "\t", "\r" and "\n", and the
// backslashes it left (a mistyped escape), in order.
std::wstring Escapes(const std::wstring& text) {
  std::wstring found;
  std::copy_if(text.begin(), text.end(), std::back_inserter(found),
               [](wchar_t c) { return c == L'\t' || c == L'\r' || c == L'\n' || c == L'\\'; });
  return found;
}

size_t Placeholders(const std::wstring& text) {
  size_t count = 0;
  for (size_t at = text.find(L"#AP#"); at != std::wstring::npos; at = text.find(L"#AP#", at + 4))
    ++count;
  return count;
}

TEST(Translations, SameIdsAsEnglish) {
  const TextTable english = PackTexts(L"EN");
  ASSERT_GT(english.size(), 80u);
  for (int language = 0; language < app::kLanguageCount; ++language) {
    SCOPED_TRACE(Code(language));
    const TextTable texts = PackTexts(app::LanguageCode(language));
    for (const auto& [id, text] : english) EXPECT_TRUE(texts.count(id)) << "missing: " << id;
    for (const auto& [id, text] : texts) EXPECT_TRUE(english.count(id)) << "not in EN: " << id;
  }
}

TEST(Translations, SameDirectivesEscapesAndPlaceholders) {
  const TextTable english = PackTexts(L"EN");
  for (int language = 0; language < app::kLanguageCount; ++language) {
    SCOPED_TRACE(Code(language));
    const TextTable texts = PackTexts(app::LanguageCode(language));
    for (const auto& [id, source] : english) {
      const auto it = texts.find(id);
      if (it == texts.end()) continue;  // SameIdsAsEnglish tells
      const std::wstring& text = it->second;
      EXPECT_EQ(Directives(text), Directives(source)) << id << ": " << platform::ToUtf8(text);
      EXPECT_EQ(Escapes(text), Escapes(source)) << id << ": " << platform::ToUtf8(text);
      EXPECT_EQ(Placeholders(text), Placeholders(source)) << id << ": " << platform::ToUtf8(text);
    }
  }
}

TEST(Translations, DirectivesAndEscapesAreFound) {
  EXPECT_EQ(Directives(L"%d of %s, %02d:%I64u, 100 %% and %-5.1f"),
            (std::vector<std::wstring>{L"%d", L"%s", L"%02d", L"%I64u", L"%-5.1f"}));
  EXPECT_EQ(Directives(L"90 %"), std::vector<std::wstring>{});
  EXPECT_EQ(Escapes(L"a\tb\r\nc\\x"), L"\t\r\n\\");
  EXPECT_EQ(Placeholders(L"#AP# and #AP#AP#"), 2u);
}

// A menu as its item texts, to check accelerators in.
struct Menu {
  std::string name;
  std::vector<std::wstring> items;
};

// The accelerator letters of a menu text, lower case; "&&" is a plain "&", and
// what follows a TAB is the shortcut.
std::wstring Accelerators(const std::wstring& text) {
  const std::wstring label = text.substr(0, text.find(L'\t'));
  std::wstring found;
  for (size_t i = 0; i + 1 < label.size(); ++i) {
    if (label[i] != L'&') continue;
    if (label[i + 1] != L'&') found += label[i + 1];
    ++i;
  }
  return platform::ToLower(found);
}

// The menus of menu 128 as the resource script writes them: POPUP "id" and
// MENUITEM "id", with ids translated by `text`. Each popup and the bar itself
// is one menu.
std::vector<Menu> ScriptMenus(const std::function<std::wstring(const std::wstring&)>& text) {
  const auto bytes =
      platform::ReadFileBytes(platform::FromUtf8(DUPLORA_SOURCE_DIR "/resources/Duplora.rc"));
  if (!bytes) return {};
  std::vector<Menu> menus;
  std::vector<size_t> open;  // the menus whose BEGIN ... END we are in
  bool inMenu = false;
  std::string pendingPopup;
  size_t at = 0;
  while (at < bytes->size()) {
    size_t end = bytes->find('\n', at);
    if (end == std::string::npos) end = bytes->size();
    std::string line = bytes->substr(at, end - at);
    at = end + 1;
    line.erase(0, line.find_first_not_of(" \t"));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!inMenu) {
      if (line == "IDR_MAINFRAME MENU") {
        inMenu = true;
        pendingPopup = "menu bar";
      }
      continue;
    }
    const auto quoted = [&] {
      const size_t first = line.find('"');
      return line.substr(first + 1, line.find('"', first + 1) - first - 1);
    };
    if (line == "BEGIN") {
      menus.push_back({pendingPopup, {}});
      open.push_back(menus.size() - 1);
    } else if (line == "END") {
      open.pop_back();
      if (open.empty()) break;
    } else if (line.rfind("POPUP ", 0) == 0 || line.rfind("MENUITEM \"", 0) == 0) {
      const std::wstring item = text(platform::FromUtf8(quoted()));
      menus[open.back()].items.push_back(item);
      if (line[0] == 'P') pendingPopup = platform::ToUtf8(item);
    }
  }
  return menus;
}

// Every menu whose texts come from the packs: menu 128, the language menu,
// the compare window's option menus, the result list's menu with its
// sub-menus, and the buttons of the close question.
std::vector<Menu> ProgramMenus() {
  const engine::TextLookup texts = [](int id) { return app::LangText(id); };
  std::vector<Menu> menus = ScriptMenus([&](const std::wstring& item) {
    const int id = std::wcstol(item.c_str(), nullptr, 10);
    return id > 0 ? texts(id) : item;
  });

  Menu languages{"languages", {}};
  for (int language = 0; language < app::kLanguageCount; ++language)
    languages.items.push_back(app::LanguageName(language));
  menus.push_back(languages);

  using comparewindow::OptionBar;
  for (const OptionBar bar : {OptionBar::Search, OptionBar::Match, OptionBar::Preview}) {
    for (int button = comparewindow::kSearchViewMode; button <= comparewindow::kSearchMagnifier;
         ++button) {
      Menu menu{
          "option menu " + std::to_string(static_cast<int>(bar)) + "/" + std::to_string(button),
          {}};
      for (const comparewindow::OptionMenuItem& item :
           comparewindow::OptionMenu(bar, button, texts))
        menu.items.push_back(item.text);
      if (!menu.items.empty()) menus.push_back(menu);
    }
  }

  const std::function<void(const std::string&, const std::vector<comparewindow::ResultMenuItem>&)>
      addResultMenu =
          [&](const std::string& name, const std::vector<comparewindow::ResultMenuItem>& items) {
            Menu menu{name, {}};
            for (const comparewindow::ResultMenuItem& item : items) {
              menu.items.push_back(item.text);
              if (!item.subItems.empty()) addResultMenu(platform::ToUtf8(item.text), item.subItems);
            }
            menus.push_back(menu);
          };
  addResultMenu("result menu", comparewindow::ResultMenuItems({}, texts));

  menus.push_back({"close question", {texts(app::kTextCloseConfirm), texts(app::kTextCancel)}});
  return menus;
}

class TranslatedMenus : public ::testing::Test {
 protected:
  void TearDown() override {
    app::SetCurrentLanguage(app::kLanguageEnglish);
    app::ReloadTexts();
  }
};

TEST_F(TranslatedMenus, AcceleratorsAreUniqueInEveryMenu) {
  for (int language = 0; language < app::kLanguageCount; ++language) {
    SCOPED_TRACE(Code(language));
    app::SetCurrentLanguage(language);
    const std::vector<Menu> menus = ProgramMenus();
    ASSERT_FALSE(menus.empty());
    ASSERT_EQ(menus[0].name, "menu bar") << "menu 128 not read from the resource script";
    ASSERT_EQ(menus[0].items.size(), 4u);
    for (const Menu& menu : menus) {
      std::map<wchar_t, std::wstring> taken;
      for (const std::wstring& item : menu.items) {
        const std::wstring letters = Accelerators(item);
        EXPECT_LE(letters.size(), 1u) << menu.name << ": " << platform::ToUtf8(item);
        for (const wchar_t letter : letters) {
          const auto [it, fresh] = taken.emplace(letter, item);
          EXPECT_TRUE(fresh) << menu.name << ": \"" << platform::ToUtf8(it->second) << "\" and \""
                             << platform::ToUtf8(item) << "\"";
        }
      }
    }
  }
}

TEST(Translations, AcceleratorsAreFound) {
  EXPECT_EQ(Accelerators(L"&File"), L"f");
  EXPECT_EQ(Accelerators(L"Save && &Quit\tCtrl+&Q"), L"q");
  EXPECT_EQ(Accelerators(L"文件(&F)..."), L"f");
  EXPECT_EQ(Accelerators(L"&Ärger &Öl"), L"äö");
  EXPECT_EQ(Accelerators(L"end &"), L"");
}

}  // namespace
