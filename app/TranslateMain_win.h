// Menu translation for the frame. Menu resources carry text ids as item
// texts ("10005"); TranslateMenu gives each such item LangText(id). The id
// is kept in the item's data, so the same menu can be translated again after
// the language changed.
//
// Sub-menus titled 20000, 30000, 40000 and 50000 are remembered for the
// frame, and the item that opens the language sub-menu (10900) gets the
// command id 43900 + the current language, so the frame can tell it.
#pragma once

#include <windows.h>

namespace app {

class CTranslateMain {
 public:
  inline static constexpr UINT kLanguageCommandBase = 43900;

  void TranslateMenu(HMENU menu);

  // One of the remembered sub-menus (20000, 30000, 40000, 50000); null when none was seen.
  HMENU SubMenu(int number) const;

 private:
  HMENU subMenus_[4] = {};
};

}  // namespace app
