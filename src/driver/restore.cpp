// CEngineTARSK: restoring one backup file.
#include "driver/engine_tarsk.h"
#include "zevo/result.h"

namespace zevo::driver {

std::int32_t CEngineTARSK::SpywareRestore(std::int32_t, const std::u16string&) noexcept { return kNotHandled; }

}  // namespace zevo::driver
