#include "app/FrameRules.h"

namespace app {

std::wstring FrameTitle(std::wstring_view name, std::wstring_view version, int instanceNumber,
                        std::wstring_view nameSuffix, std::wstring_view portableWord) {
  std::wstring title(name);
  title += L' ';
  title += version;
  if (instanceNumber != 0) title += L" [" + std::to_wstring(instanceNumber) + L"]";
  title += L" (";
  title += nameSuffix;
  if (portableWord.size() > 3) {
    title += portableWord;
    title += L'/';
  }
  title += L"Unicode)";
  return title;
}

PlacementPlan PlanPlacement(int storedMode, int storedShowCmd, const ProfRect* saved,
                            int processShowCommand) {
  int resolved = storedMode;
  if (storedMode == 3) resolved = storedShowCmd == kShowMaximized ? 1 : 0;
  PlacementPlan plan;
  plan.showCommand = resolved == 1 ? kShowMaximized : processShowCommand;
  if (storedMode == 0) {
    plan.systemPlace = true;
    return plan;
  }
  const bool usable = saved && saved->right > saved->left && saved->bottom > saved->top;
  plan.normal = usable ? *saved : ProfRect{0, 0, 800, 600};
  return plan;
}

PlacementPlan PlanPlacement(const CMyProfStr& store, int processShowCommand) {
  ProfRect saved;
  const bool haveRect = store.ReadRect(L"Start", L"WinRC_MP", saved);
  return PlanPlacement(store.ReadInt(L"Start", L"Max", 3), store.ReadInt(L"Start", L"showCmd", 0),
                       haveRect ? &saved : nullptr, processShowCommand);
}

std::wstring PlainMenuText(std::wstring_view menuText) {
  std::wstring_view text = menuText.substr(0, menuText.find(L'\t'));
  const auto trimBlanks = [&] {
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
  };
  trimBlanks();
  if (text.ends_with(L"...")) text.remove_suffix(3);
  trimBlanks();
  // East Asian menus name the accelerator in brackets after the text: "文件(&F)".
  const size_t n = text.size();
  if (n >= 4 && text.compare(n - 4, 2, L"(&") == 0 && text[n - 2] != L'&' && text[n - 1] == L')') {
    text.remove_suffix(4);
    trimBlanks();
  }
  std::wstring plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && ++i == text.size()) break;  // "&&" keeps one "&"
    plain += text[i];
  }
  return plain;
}

}  // namespace app
