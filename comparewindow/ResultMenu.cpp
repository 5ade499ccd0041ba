#include "comparewindow/ResultMenu.h"

#include <string>
#include <utility>

#include "app/TextIds.h"

namespace comparewindow {
namespace {

class MenuBuilder {
 public:
  MenuBuilder(HMENU menu, bool grayed) : menu_(menu), grayed_(grayed) {}

  void Item(int command, const std::wstring& text, bool checked = false) {
    ::AppendMenuW(menu_, MF_STRING | Flags() | (checked ? MF_CHECKED : 0),
                  static_cast<UINT_PTR>(command), text.c_str());
  }
  void Separator() { ::AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr); }
  void Sub(platform::UniqueMenu sub, const std::wstring& text) {
    if (::AppendMenuW(menu_, MF_POPUP | Flags(), reinterpret_cast<UINT_PTR>(sub.get()),
                      text.c_str()))
      sub.release();  // the menu owns it now
  }

 private:
  UINT Flags() const { return grayed_ ? MF_GRAYED : MF_ENABLED; }
  HMENU menu_;
  bool grayed_;
};

}  // namespace

platform::UniqueMenu BuildResultMenu(const ResultMenuState& state,
                                     const engine::TextLookup& texts) {
  platform::UniqueMenu menu(::CreatePopupMenu());
  platform::UniqueMenu options(::CreatePopupMenu());
  platform::UniqueMenu removal(::CreatePopupMenu());
  if (!menu || !options || !removal) return {};
  const bool grayed = state.emptyList;

  MenuBuilder optionItems(options.get(), grayed);
  optionItems.Item(kCmdShowListToolbar, texts(app::kTextShowRowButtons), state.showListToolbar);
  optionItems.Item(
      kCmdLeftRightSel,
      L"<-- --> " + texts(app::kTextArrowKeysMark) + L" (" + texts(app::kTextArrowKeysWhich) + L")",
      state.leftRightSel);

  MenuBuilder removalItems(removal.get(), grayed);
  removalItems.Item(kCmdRemoveSelectedRows, texts(app::kTextRemoveSelected));
  removalItems.Item(kCmdRemoveMarkedRows, texts(app::kTextRemoveMarked));
  removalItems.Item(kCmdRemoveUnmarkedRows, texts(app::kTextRemoveUnmarked));

  const std::wstring invert = texts(app::kTextInvertMarks);
  MenuBuilder items(menu.get(), grayed);
  items.Sub(std::move(options), texts(app::kTextListOptions));
  items.Separator();
  items.Item(kCmdCopyMarked, texts(app::kTextCopyMarked));
  items.Item(kCmdMoveMarked, texts(app::kTextMoveMarked));
  items.Item(kCmdDeleteMarked,
             texts(app::kTextDelete) + L" (" + texts(app::kTextRecycleBin) + L")");
  items.Separator();
  items.Sub(std::move(removal), texts(app::kTextRemoveRows));
  items.Separator();
  items.Item(kCmdCopyOverPartner, texts(app::kTextCopyOverPartner));
  items.Item(kCmdMarkAutomatically, texts(app::kTextMarkAutomatically));
  items.Separator();
  // The main menu's text carries its shortcut after a tab.
  items.Item(kCmdInvertMarks, invert.substr(0, invert.find(L'\t')));
  items.Item(kCmdSwapMarks, texts(app::kTextSwapMarks) + L"\t<--->");
  items.Separator();
  return menu;
}

}  // namespace comparewindow
