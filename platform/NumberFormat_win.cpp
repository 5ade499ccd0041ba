#include <windows.h>

#include "platform/NumberFormat.h"

namespace platform {
namespace {

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
  wchar_t buffer[16] = {};
  if (!::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 16)) return fallback;
  return buffer;
}

}  // namespace

const NumberStyle& UserNumberStyle() {
  static const NumberStyle style = [] {
    NumberStyle s;
    s.decimalSeparator = LocaleText(LOCALE_SDECIMAL, L".");
    s.thousandSeparator = LocaleText(LOCALE_STHOUSAND, L",");
    // "3;0" groups by threes; "3;2;0" groups three, then twos.
    s.grouping.clear();
    const std::wstring text = LocaleText(LOCALE_SGROUPING, L"3;0");
    bool endsInZero = false;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] >= L'0' && text[i] <= L'9') {
        s.grouping.push_back(text[i] - L'0');
        endsInZero = text[i] == L'0';
      }
    }
    // A trailing 0 means the last size repeats.
    if (endsInZero && !s.grouping.empty()) s.grouping.pop_back();
    if (!endsInZero) s.grouping.push_back(0);
    return s;
  }();
  return style;
}

}  // namespace platform
