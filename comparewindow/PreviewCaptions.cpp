#include "comparewindow/PreviewCaptions.h"

#include "engine/NumberTexts.h"

namespace comparewindow {

std::wstring InfoLine(const engine::ImageEntry& entry, bool marked) {
  const std::wstring mark = marked ? L"\u2714 " : L"";
  return mark + L" " + std::to_wstring(entry.width) + L" x " + std::to_wstring(entry.height) +
         L" " + engine::SizeText(entry.fileSize) + L" " + mark;
}

std::wstring PairInfo(const engine::MatchPair& pair) {
  const wchar_t* mirror = pair.flip == 1 ? L"HF" : pair.flip == 2 ? L"VF" : L"==";
  return std::to_wstring(pair.similarity) + L" %\r\n " + std::to_wstring(pair.rotation) +
         L" \u00b0\r\n" + mirror;
}

}  // namespace comparewindow
