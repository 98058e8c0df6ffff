#include "config/config_value_complex.h"

#include "zevo/result.h"

namespace zevo::config {

CConfigValueComplex::CConfigValueComplex(const ZEVO_DataHandleWrapper& message) noexcept
    : CConfigValue(kTagComplex, message) {
  std::uint32_t name_id = 0;
  if (message.GetUInt32At(kValueIndex, 0, &name_id) >= 0) name_id_ = name_id;
}

std::int32_t CConfigValueComplex::GetValue(ZEVO_DataHandleWrapper& out) const noexcept {
  return Message().GetDataAt(name_id_, 0, out) < 0 ? kUnsupported : kCommonOk;
}

std::int32_t CConfigValueComplex::SetValue(const ZEVO_DataHandleWrapper& message) noexcept {
  std::uint32_t name_id = 0;
  if (message.GetNameID(&name_id) < 0) return kUnsupported;
  ZEVO_DataHandleWrapper fresh(kValueNameId);
  if (fresh.PutUInt32(kValueIndex, name_id) < 0 || fresh.PutData(message) < 0) return kUnsupported;
  name_id_ = name_id;
  Replace(fresh);
  return kCommonOk;
}

}  // namespace zevo::config
