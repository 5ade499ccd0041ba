// String values under the current user's key of a program,
// "Software\\Kelvane\\" + name below HKEY_CURRENT_USER.
//
// Linux has no registry. There the values live in the profile file
// "Kelvane-registry.ini" in the user's settings folder (UserAppDataFolder),
// in a section named like the key; like the registry, it is shared by every
// copy of the program the user runs.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The value's text; nothing when the key or the value is missing.
std::optional<std::wstring> ReadUserRegistryString(const std::wstring& keyName,
                                                   const std::wstring& valueName);
// Creates the key when needed and writes the value as a string.
bool WriteUserRegistryString(const std::wstring& keyName, const std::wstring& valueName,
                             const std::wstring& value);

}  // namespace platform
