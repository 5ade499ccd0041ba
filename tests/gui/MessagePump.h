// Helpers for window tests: pump the thread's messages until a condition
// holds (with a time limit, so a broken window fails the test instead of
// hanging it).
#pragma once

#include <windows.h>

#include <functional>

namespace guitest {

// Dispatches waiting messages until `done` returns true or `limitMs` passes.
// Returns whether `done` came true.
inline bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 10000) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > limitMs) return false;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (done()) break;
    // Wake on the next message or after a short while to look at `done` again.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// Dispatches what is waiting now.
inline void PumpPending() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace guitest
