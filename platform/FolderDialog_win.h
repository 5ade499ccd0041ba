// The system's folder choice dialog.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace platform {

// Lets the user pick one folder, opening on `start` when it names one.
// Nothing when the user cancels or the dialog cannot be shown.
std::optional<std::wstring> ChooseFolder(HWND owner, const std::wstring& start);

}  // namespace platform
