#include "platform/ComThread.h"

namespace platform {

ComThread::ComThread() = default;
ComThread::~ComThread() = default;

}  // namespace platform
