// Reads a number the way the settings and the language packs have always been
// read: leading white space skipped, an optional sign, then the digits up to
// the first other character; 0 when there are none. Values beyond the 32-bit
// range stop at its ends.
//
//   LeadingInt(L"  -12px")   // -12
//   LeadingInt(L"abc")       // 0
#pragma once

#include <string_view>

namespace app {

int LeadingInt(std::wstring_view text);

}  // namespace app
