// Ctrl+C on the console: the handler runs instead of the process ending.
// It runs on another thread (Windows) or in a signal handler (Linux), so it
// may only store to lock-free atomics.
#pragma once

namespace platform {

void OnInterrupt(void (*handler)());

}  // namespace platform
