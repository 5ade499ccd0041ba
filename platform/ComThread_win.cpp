#include <windows.h>
#include <ole2.h>

#include "platform/ComThread.h"

namespace platform {

ComThread::ComThread() : initialised_(SUCCEEDED(::OleInitialize(nullptr))) {}

ComThread::~ComThread() {
  if (initialised_) ::OleUninitialize();
}

}  // namespace platform
