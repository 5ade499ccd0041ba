// Opens the help page of a language in the user's browser, at an anchor
// ("#search") or at its top (empty anchor).
#pragma once

#include <string>

namespace app {

bool OpenHelpPage(const std::wstring& anchor, int languageId);

}  // namespace app
