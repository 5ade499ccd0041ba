#include "platform/ShellLaunch.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

bool Launch(const LaunchRequest& request) {
  const wchar_t* parameters = request.parameters.empty() ? nullptr : request.parameters.c_str();
  const HINSTANCE result =
      ::ShellExecuteW(nullptr, nullptr, request.file.c_str(), parameters, nullptr,
                      request.maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  // Values above 32 mean success.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

std::optional<std::wstring> WindowsFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::nullopt;
  return std::wstring(folder, length);
}

}  // namespace platform
