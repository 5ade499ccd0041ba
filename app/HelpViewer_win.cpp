#include "app/HelpViewer_win.h"

#include <windows.h>

#include <shellapi.h>

#include "app/HelpFile.h"

namespace app {

bool OpenHelpPage(const std::wstring& anchor, int languageId) {
  wchar_t folder[MAX_PATH + 1] = {};
  if (!::GetTempPathW(static_cast<DWORD>(std::size(folder)), folder)) return false;
  const auto path = WriteHelpFile(folder, languageId);
  if (!path) return false;
  // A plain path cannot carry an anchor; an address can.
  const std::wstring target = anchor.empty() ? *path : FileUrl(*path) + anchor;
  const auto result =
      ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace app
