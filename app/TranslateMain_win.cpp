#include "app/TranslateMain_win.h"

#include <string>

#include "app/LangText.h"
#include "app/TextIds.h"

namespace app {
namespace {

// The id an item's text names, or 0 when the text is not a decimal number.
int TextIdOf(const wchar_t* text) {
  int id = 0;
  int digits = 0;
  for (; *text; ++text, ++digits) {
    if (*text < L'0' || *text > L'9' || digits == 7) return 0;
    id = id * 10 + (*text - L'0');
  }
  return id;
}

// The languages by their own names, as commands 43900 + language id. The
// names live in LanguageName rather than in the resource script, which stays
// ASCII.
void FillLanguageMenu(HMENU menu) {
  while (::GetMenuItemCount(menu) > 0) ::DeleteMenu(menu, 0, MF_BYPOSITION);
  for (int language = 0; language < kLanguageCount; ++language)
    ::AppendMenuW(menu, MF_STRING, CTranslateMain::kLanguageCommandBase + language,
                  LanguageName(language));
}

}  // namespace

void CTranslateMain::TranslateMenu(HMENU menu) {
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t buffer[512] = {};
    MENUITEMINFOW item{sizeof item};
    item.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING | MIIM_ID;
    item.dwTypeData = buffer;
    item.cch = static_cast<UINT>(std::size(buffer));
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item)) continue;
    if (item.hSubMenu) TranslateMenu(item.hSubMenu);
    if (item.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)) continue;

    int id = TextIdOf(buffer);
    if (id == 0 && item.dwItemData > 0 && item.dwItemData <= 1999999)
      id = static_cast<int>(item.dwItemData);
    if (id == 0) continue;

    const std::wstring text = LangText(id);
    MENUITEMINFOW update{sizeof update};
    update.fMask = MIIM_STRING | MIIM_DATA;
    update.dwTypeData = const_cast<wchar_t*>(text.c_str());
    update.dwItemData = static_cast<ULONG_PTR>(id);
    if (id == kTextMenuLanguage) {
      update.fMask |= MIIM_ID;
      update.wID = kLanguageCommandBase + static_cast<UINT>(CurrentLanguage());
      if (item.hSubMenu) FillLanguageMenu(item.hSubMenu);
    }
    ::SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &update);
    if (item.hSubMenu && id % 10000 == 0 && id >= 20000 && id <= 50000)
      subMenus_[id / 10000 - 2] = item.hSubMenu;
  }
}

HMENU CTranslateMain::SubMenu(int number) const {
  if (number % 10000 != 0 || number < 20000 || number > 50000) return nullptr;
  return subMenus_[number / 10000 - 2];
}

void CTranslateMain::ShowTranslationEditor(HWND owner) {
  if (!editor_) editor_ = std::make_unique<CTranslateDlg>();
  editor_->Show(owner);
}

bool CTranslateMain::IsTranslationEditorMessage(MSG& message) {
  if (!editor_ || !editor_->hwnd() || !::IsWindowVisible(editor_->hwnd())) return false;
  return ::IsDialogMessageW(editor_->hwnd(), &message) != FALSE;
}

}  // namespace app
