#include <windows.h>
#include <mmsystem.h>

#include "platform/Clock.h"

namespace platform {

uint32_t MilliClock() { return timeGetTime(); }

}  // namespace platform
