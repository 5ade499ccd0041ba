// The autostart entry: a value named with the program name under a "Run" key
// whose data is the quoted program path followed by " -bg".
#pragma once

#include <windows.h>

#include <string>

namespace app {

inline constexpr wchar_t kAllUsersRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Removes the value when it exists, otherwise writes it. True when the change was made.
bool ToggleAutostart(HKEY root, const wchar_t* subkey, const std::wstring& valueName,
                     const std::wstring& programPath);

}  // namespace app
