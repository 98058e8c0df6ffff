// CConfigValueBool: a configuration value holding a bool (tag 2), stored as
// the message integer 1 or 0.
//
// Every integer reads as 1 or 0 and sets true when not 0; texts are exactly
// "1" and "0".
#ifndef ZEVO_SRC_CONFIG_CONFIG_VALUE_BOOL_H_
#define ZEVO_SRC_CONFIG_CONFIG_VALUE_BOOL_H_

#include <cstdint>
#include <optional>
#include <string>

#include "config/config_value.h"
#include "zevo/result.h"

namespace zevo::config {

class CConfigValueBool final : public CConfigValue {
 public:
  CConfigValueBool() noexcept : CConfigValue(kTagBool) {}
  explicit CConfigValueBool(const ZEVO_DataHandleWrapper& message) noexcept : CConfigValue(kTagBool, message) {}

  using CConfigValue::GetValue;
  using CConfigValue::SetValue;

  std::int32_t GetValue(std::u16string& out) const noexcept override;
  std::int32_t GetValue(std::uint64_t& out) const noexcept override { return GetNumber(out); }
  std::int32_t GetValue(std::uint32_t& out) const noexcept override { return GetNumber(out); }
  std::int32_t GetValue(std::uint16_t& out) const noexcept override { return GetNumber(out); }
  std::int32_t GetValue(std::uint8_t& out) const noexcept override { return GetNumber(out); }
  std::int32_t GetValue(std::int64_t& out) const noexcept override { return GetNumber(out); }
  std::int32_t GetValue(std::int32_t& out) const noexcept override { return GetNumber(out); }
  std::int32_t GetValue(std::int16_t& out) const noexcept override { return GetNumber(out); }
  std::int32_t GetValue(std::int8_t& out) const noexcept override { return GetNumber(out); }
  std::int32_t GetValue(bool& out) const noexcept override;

  std::int32_t SetValue(const std::u16string& value) noexcept override;
  std::int32_t SetValue(std::uint64_t value) noexcept override { return Store(value != 0); }
  std::int32_t SetValue(std::uint32_t value) noexcept override { return Store(value != 0); }
  std::int32_t SetValue(std::uint16_t value) noexcept override { return Store(value != 0); }
  std::int32_t SetValue(std::uint8_t value) noexcept override { return Store(value != 0); }
  std::int32_t SetValue(std::int64_t value) noexcept override { return Store(value != 0); }
  std::int32_t SetValue(std::int32_t value) noexcept override { return Store(value != 0); }
  std::int32_t SetValue(std::int16_t value) noexcept override { return Store(value != 0); }
  std::int32_t SetValue(std::int8_t value) noexcept override { return Store(value != 0); }
  std::int32_t SetValue(bool value) noexcept override { return Store(value); }

 private:
  std::optional<bool> Datum() const noexcept;
  std::int32_t Store(bool datum) noexcept;

  template <class U>
  std::int32_t GetNumber(U& out) const noexcept {
    const std::optional<bool> datum = Datum();
    if (!datum) return zevo::kUnsupported;
    out = *datum ? U{1} : U{0};
    return zevo::kCommonOk;
  }
};

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_CONFIG_VALUE_BOOL_H_
