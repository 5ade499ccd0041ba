#include "comparewindow/ResultMenu_win.h"

namespace comparewindow {
namespace {

bool Append(HMENU menu, const std::vector<ResultMenuItem>& items, UINT grayed) {
  for (const ResultMenuItem& item : items) {
    if (item.text.empty()) {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    if (item.subItems.empty()) {
      ::AppendMenuW(menu, MF_STRING | grayed | (item.checked ? MF_CHECKED : 0),
                    static_cast<UINT_PTR>(item.command), item.text.c_str());
      continue;
    }
    platform::UniqueMenu sub(::CreatePopupMenu());
    if (!sub || !Append(sub.get(), item.subItems, grayed)) return false;
    if (::AppendMenuW(menu, MF_POPUP | grayed, reinterpret_cast<UINT_PTR>(sub.get()),
                      item.text.c_str()))
      sub.release();  // the menu owns it now
  }
  return true;
}

}  // namespace

platform::UniqueMenu BuildResultMenu(const ResultMenuState& state,
                                     const engine::TextLookup& texts) {
  platform::UniqueMenu menu(::CreatePopupMenu());
  if (!menu ||
      !Append(menu.get(), ResultMenuItems(state, texts), state.emptyList ? MF_GRAYED : MF_ENABLED))
    return {};
  return menu;
}

}  // namespace comparewindow
