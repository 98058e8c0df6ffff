// CConfigValueComplex: a configuration value carrying a whole message
// (tag 1). The value message holds the carried message's name id under
// index 0x70005 and the carried message nested under that name id. Only the
// message overloads are supported.
#ifndef ZEVO_SRC_CONFIG_CONFIG_VALUE_COMPLEX_H_
#define ZEVO_SRC_CONFIG_CONFIG_VALUE_COMPLEX_H_

#include <cstdint>

#include "config/config_value.h"

namespace zevo::config {

class CConfigValueComplex final : public CConfigValue {
 public:
  CConfigValueComplex() noexcept : CConfigValue(kTagComplex) {}
  // Shares a received value message and reads the carried name id from it.
  explicit CConfigValueComplex(const ZEVO_DataHandleWrapper& message) noexcept;

  using CConfigValue::GetValue;
  using CConfigValue::SetValue;

  // The carried message (a reference into the value message) into `out`.
  // kUnsupported when no message is carried.
  std::int32_t GetValue(ZEVO_DataHandleWrapper& out) const noexcept override;
  // Carries a copy of `message`.
  std::int32_t SetValue(const ZEVO_DataHandleWrapper& message) noexcept override;

  std::uint32_t CarriedNameId() const noexcept { return name_id_; }

 private:
  std::uint32_t name_id_ = 0;
};

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_CONFIG_VALUE_COMPLEX_H_
