#include "engine/NumberTexts.h"

#include <cmath>
#include <cstdio>

namespace engine {
namespace {

std::wstring Plain(double value) {
  if (!std::isfinite(value)) value = 0;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.4f", value);
  // The C library may follow a locale with a decimal comma; the formatter reads a point.
  for (char* c = buffer; *c; ++c)
    if (*c == ',') *c = '.';
  return std::wstring(buffer, buffer + std::char_traits<char>::length(buffer));
}

}  // namespace

std::wstring CountText(int64_t value, const platform::NumberStyle& style) {
  const std::string digits = std::to_string(value);
  return platform::FormatNumber(std::wstring(digits.begin(), digits.end()), 0, style);
}

std::wstring RateText(double value, const platform::NumberStyle& style) {
  return platform::FormatNumber(Plain(value), 1, style);
}

std::wstring SizeText(uint64_t n, const platform::NumberStyle& style) {
  if (n < 1000) {
    const std::string digits = std::to_string(n);
    return std::wstring(digits.begin(), digits.end()) + L" Byte";
  }
  if (n < 1000000) return platform::FormatNumber(Plain((n / 10) / 102.4), 1, style) + L" KB";
  if (n < 1000000000)
    return platform::FormatNumber(Plain((n / 10000) / 104.8576), 1, style) + L" MB";
  return platform::FormatNumber(Plain((n / 10000000) / 107.3741824), 1, style) + L" GB";
}

}  // namespace engine
