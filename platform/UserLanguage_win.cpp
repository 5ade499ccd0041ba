#include <windows.h>

#include "platform/UserLanguage.h"

namespace platform {

uint16_t UserLanguageId() { return ::GetUserDefaultLangID(); }

}  // namespace platform
