#include "app/InstanceProbe_win.h"

#include "app/CommandLine.h"

namespace app {
namespace {

struct Search {
  UINT message;
  HWND found = nullptr;
};

BOOL CALLBACK ProbeWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD_PTR answer = 0;
  // A hung window costs at most a second and is skipped.
  if (::SendMessageTimeoutW(window, search->message, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 1000,
                            &answer) &&
      answer == search->message) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

UINT ProbeMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"TESSERA-GUID");
  return message;
}

HWND FindRunningWindow() {
  Search search{ProbeMessage()};
  ::EnumWindows(ProbeWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool HandOverCommandLine(HWND window, const std::wstring& commandLine) {
  std::string payload = HandOverPayload(commandLine);
  COPYDATASTRUCT data{kHandOverData, static_cast<DWORD>(payload.size()), payload.data()};
  return ::SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)) ==
         static_cast<LRESULT>(kHandOverData);
}

}  // namespace app
