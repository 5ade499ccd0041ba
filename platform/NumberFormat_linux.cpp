#include <langinfo.h>
#include <locale.h>

#include "platform/NumberFormat.h"
#include "platform/Text.h"

namespace platform {

const NumberStyle& UserNumberStyle() {
  static const NumberStyle style = [] {
    NumberStyle s;
    locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (!user) return s;
    s.decimalSeparator = FromUtf8(nl_langinfo_l(RADIXCHAR, user));
    s.thousandSeparator = FromUtf8(nl_langinfo_l(THOUSEP, user));
    s.grouping.clear();
    // C library grouping: sizes as bytes; CHAR_MAX ends grouping, 0 repeats the last.
    for (const char* g = nl_langinfo_l(GROUPING, user); *g; ++g) {
      if (*g == 127 || *g < 0) {
        s.grouping.push_back(0);
        break;
      }
      s.grouping.push_back(*g);
    }
    freelocale(user);
    if (s.decimalSeparator.empty()) s.decimalSeparator = L".";
    if (s.thousandSeparator.empty()) s.grouping.clear();
    return s;
  }();
  return style;
}

}  // namespace platform
