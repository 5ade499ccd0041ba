#include <signal.h>

#include "platform/Interrupt.h"

namespace platform {
namespace {

void (*g_handler)() = nullptr;

void OnSignal(int) {
  if (g_handler) g_handler();
}

}  // namespace

void OnInterrupt(void (*handler)()) {
  g_handler = handler;
  struct sigaction action{};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace platform
