// CEngineTARSK: backing up and cleaning a session's items after a scan.
#include "driver/engine_tarsk.h"
#include "zevo/result.h"

namespace zevo::driver {

// Cleaning is not built yet: a scan that asks for it reports that the step
// was not handled rather than pretending the items were dealt with.
std::int32_t CEngineTARSK::BackupAndClean(std::int32_t /*handle*/, bool /*doSpywareClean*/,
                                          bool /*doCookieClean*/, bool /*backup*/,
                                          const std::u16string& /*backupFolder*/) noexcept {
  return kNotHandled;
}

}  // namespace zevo::driver
