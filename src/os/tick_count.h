// A millisecond clock for measuring durations.
#ifndef ZEVO_OS_TICK_COUNT_H_
#define ZEVO_OS_TICK_COUNT_H_

#include <cstdint>

namespace zevo::os {

// Milliseconds since the system started; never goes backwards and counts
// time spent suspended. Windows: GetTickCount64. POSIX: CLOCK_BOOTTIME
// where available, else CLOCK_MONOTONIC.
std::uint64_t TickCount() noexcept;

}  // namespace zevo::os

#endif  // ZEVO_OS_TICK_COUNT_H_
