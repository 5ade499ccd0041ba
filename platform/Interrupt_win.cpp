#include <windows.h>

#include "platform/Interrupt.h"

namespace platform {
namespace {

void (*g_handler)() = nullptr;

BOOL WINAPI OnControl(DWORD type) {
  if ((type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) && g_handler) {
    g_handler();
    return TRUE;
  }
  return FALSE;
}

}  // namespace

void OnInterrupt(void (*handler)()) {
  g_handler = handler;
  ::SetConsoleCtrlHandler(OnControl, TRUE);
}

}  // namespace platform
