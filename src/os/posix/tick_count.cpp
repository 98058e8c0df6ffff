#include "os/tick_count.h"

#include <time.h>

namespace zevo::os {

std::uint64_t TickCount() noexcept {
#if defined(CLOCK_BOOTTIME)
  constexpr clockid_t kClock = CLOCK_BOOTTIME;  // counts suspend, as Windows
#else
  constexpr clockid_t kClock = CLOCK_MONOTONIC;
#endif
  timespec now{};
  clock_gettime(kClock, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace zevo::os
