// Numbers as the search run and the result list show them, laid out in the
// user's locale number format.
#pragma once

#include <cstdint>
#include <string>

#include "platform/NumberFormat.h"

namespace engine {

// A whole number with thousands grouping and no decimals.
std::wstring CountText(int64_t value, const platform::NumberStyle& style = platform::UserNumberStyle());
// A rate with one decimal.
std::wstring RateText(double value, const platform::NumberStyle& style = platform::UserNumberStyle());
// A byte count with its unit: Byte below 1000, then KB, MB and GB with one decimal.
std::wstring SizeText(uint64_t bytes, const platform::NumberStyle& style = platform::UserNumberStyle());

}  // namespace engine
