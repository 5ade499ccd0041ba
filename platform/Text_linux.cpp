#include <clocale>
#include <cwctype>
#include <locale.h>

#include "platform/Text.h"

namespace platform {

std::wstring ToLower(std::wstring_view text) {
  // Case folding must not depend on the user's locale settings, as on Windows.
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  std::wstring out(text);
  for (wchar_t& c : out) {
    if (utf8)
      c = static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), utf8));
    else if (c >= L'A' && c <= L'Z')
      c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return out;
}

}  // namespace platform
