// CEngineTARSK: backing a session's items up, one file per company.
#include "driver/engine_tarsk.h"
#include "zevo/result.h"

namespace zevo::driver {

std::int32_t CEngineTARSK::SpywareBackup(std::int32_t, const std::u16string&) noexcept { return kNotHandled; }

void CEngineTARSK::SelectItemsByCompany(std::int32_t, std::u16string_view, std::int32_t, std::int32_t& selected,
                                        std::vector<bool>&) noexcept {
  selected = 0;
}

}  // namespace zevo::driver
