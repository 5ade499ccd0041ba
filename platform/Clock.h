// A millisecond clock that wraps at 2^32, like the system's multimedia timer.
#pragma once

#include <cstdint>

namespace platform {

uint32_t MilliClock();

}  // namespace platform
