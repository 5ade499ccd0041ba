// Menu translation for the frame. Menu resources carry text ids as item
// texts ("10005"); TranslateMenu gives each such item LangText(id). The id
// is kept in the item's data, so the same menu can be translated again after
// the language changed.
//
// Sub-menus titled 20000, 30000, 40000 and 50000 are remembered for the
// frame, and the item that opens the language sub-menu (10900) gets the
// command id 43900 + the current language, so the frame can tell it; its
// sub-menu is filled anew with every language, each by its own name
// (LanguageName), as command 43900 + language id.
//
// It also owns the translation editor, made on first use: the frame's menu
// command calls ShowTranslationEditor, and its message loop offers each
// message to IsTranslationEditorMessage for the editor's keyboard handling.
#pragma once

#include <windows.h>

#include <memory>

#include "app/CTranslateDlg.h"

namespace app {

class CTranslateMain {
 public:
  inline static constexpr UINT kLanguageCommandBase = 43900;

  void TranslateMenu(HMENU menu);

  // One of the remembered sub-menus (20000, 30000, 40000, 50000); null when none was seen.
  HMENU SubMenu(int number) const;

  // Shows the translation editor, owned by `owner` (the frame).
  void ShowTranslationEditor(HWND owner);
  // IsDialogMessage for the editor while it is shown; true when it took the message.
  bool IsTranslationEditorMessage(MSG& message);

 private:
  HMENU subMenus_[4] = {};
  std::unique_ptr<CTranslateDlg> editor_;
};

}  // namespace app
