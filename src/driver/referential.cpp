// CEngineTARSK: referential scans, over the items the host hands in.
#include "driver/engine_tarsk.h"
#include "zevo/result.h"

namespace zevo::driver {

std::int32_t CEngineTARSK::AddReferentialScanItem(std::int32_t, const ZEVO_ReferentialItem&) noexcept {
  return kNotHandled;
}

std::int32_t CEngineTARSK::StartReferentialScan(std::int32_t, bool, bool, bool, const std::u16string&,
                                                const ScanSettings&) noexcept {
  return kNotHandled;
}

}  // namespace zevo::driver
