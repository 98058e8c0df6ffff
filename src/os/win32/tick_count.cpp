#include "os/tick_count.h"

#include <windows.h>

namespace zevo::os {

std::uint64_t TickCount() noexcept { return GetTickCount64(); }

}  // namespace zevo::os
