// Numbers laid out in the user's locale number format, as the system's
// number formatter does it: the plain number (digits, an optional "-" and
// "." with decimals) is rounded half away from zero to the asked decimals,
// then grouped and given the locale's separators.
//
//   FormatLocaleNumber(L"1234567.891", 1)   // "1,234,567.9" in an English locale
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct NumberStyle {
  std::wstring decimalSeparator = L".";
  std::wstring thousandSeparator = L",";
  // Group sizes from the decimal point leftward; the last size repeats, and a
  // final 0 means the rest is not grouped. Empty: no grouping.
  std::vector<int> grouping = {3};
};

// The style of the user's locale (Windows: the user's default locale; Linux:
// LC_NUMERIC from the environment).
const NumberStyle& UserNumberStyle();

std::wstring FormatNumber(std::wstring_view plain, int decimals, const NumberStyle& style);

inline std::wstring FormatLocaleNumber(std::wstring_view plain, int decimals) {
  return FormatNumber(plain, decimals, UserNumberStyle());
}

}  // namespace platform
