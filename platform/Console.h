// Text to the standard streams: UTF-8 on Linux and in redirected output,
// the console's own wide-character output in a Windows console.
#pragma once

#include <string_view>

namespace platform {

void WriteOut(std::wstring_view text);
void WriteErr(std::wstring_view text);
// Whether standard error is a terminal (for updating progress lines).
bool ErrIsTerminal();

}  // namespace platform
