// CEngineTARSK: selecting, cleaning and reporting a session's items.
#include "driver/engine_tarsk.h"
#include "zevo/result.h"

namespace zevo::driver {

// Not built yet: a request for cleaning reports that it was not handled
// rather than pretending the items were dealt with.
std::int32_t CEngineTARSK::BackupAndClean(std::int32_t /*handle*/, bool /*doSpywareClean*/,
                                          bool /*doCookieClean*/, bool /*backup*/,
                                          const std::u16string& /*backupFolder*/) noexcept {
  return kNotHandled;
}

std::int32_t CEngineTARSK::SpywareDoCleanup(std::int32_t, bool, bool, bool) noexcept { return kNotHandled; }

std::int32_t CEngineTARSK::SelectItemsForClean(std::int32_t, std::int32_t, bool, bool, bool,
                                               std::vector<bool>&) noexcept {
  return kNotHandled;
}

std::int32_t CEngineTARSK::CleanItems(std::int32_t) noexcept { return kNotHandled; }

void CEngineTARSK::SendCleanResult(std::int32_t, const std::vector<bool>&) noexcept {}

}  // namespace zevo::driver
