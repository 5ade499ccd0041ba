#include "platform/NumberFormat.h"

namespace platform {

std::wstring FormatNumber(std::wstring_view plain, int decimals, const NumberStyle& style) {
  bool negative = false;
  if (!plain.empty() && plain.front() == L'-') {
    negative = true;
    plain.remove_prefix(1);
  }
  std::wstring whole, fraction;
  const size_t point = plain.find(L'.');
  whole = std::wstring(plain.substr(0, point));
  if (point != std::wstring_view::npos) fraction = std::wstring(plain.substr(point + 1));
  if (whole.empty()) whole = L"0";

  // Round half away from zero on the digits themselves.
  const bool roundUp = static_cast<int>(fraction.size()) > decimals &&
                       fraction[static_cast<size_t>(decimals)] >= L'5';
  fraction.resize(static_cast<size_t>(decimals), L'0');
  if (roundUp) {
    std::wstring digits = whole + fraction;
    int i = static_cast<int>(digits.size()) - 1;
    for (; i >= 0 && digits[static_cast<size_t>(i)] == L'9'; --i) digits[static_cast<size_t>(i)] = L'0';
    if (i >= 0)
      ++digits[static_cast<size_t>(i)];
    else
      digits.insert(digits.begin(), L'1');
    whole = digits.substr(0, digits.size() - fraction.size());
    fraction = digits.substr(whole.size());
  }

  std::wstring grouped;
  size_t end = whole.size();
  size_t groupIndex = 0;
  while (true) {
    int size = style.grouping.empty() ? 0
               : groupIndex < style.grouping.size() ? style.grouping[groupIndex]
                                                     : style.grouping.back();
    if (size <= 0 || end <= static_cast<size_t>(size)) {
      grouped.insert(0, whole.substr(0, end));
      break;
    }
    grouped.insert(0, style.thousandSeparator + whole.substr(end - size, size));
    end -= size;
    if (groupIndex < style.grouping.size()) ++groupIndex;
  }

  bool allZero = true;
  for (wchar_t c : whole + fraction) allZero = allZero && c == L'0';
  std::wstring out = negative && !allZero ? L"-" : L"";
  out += grouped;
  if (decimals > 0) out += style.decimalSeparator + fraction;
  return out;
}

}  // namespace platform
