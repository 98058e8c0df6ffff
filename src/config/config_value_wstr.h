// CConfigValueWstr: a configuration value holding a wide text (tag 11).
//
// Reading a number parses the whole text as decimal: through a signed 64-bit
// number for signed targets and bool, through an unsigned 64-bit number for
// unsigned targets, then range-checked. Numbers are stored as their decimal
// text, except the signed 8-bit type, stored as the one character with that
// code.
#ifndef ZEVO_SRC_CONFIG_CONFIG_VALUE_WSTR_H_
#define ZEVO_SRC_CONFIG_CONFIG_VALUE_WSTR_H_

#include <cstdint>
#include <optional>
#include <string>

#include "config/config_value.h"
#include "config/number_text.h"
#include "zevo/result.h"

namespace zevo::config {

class CConfigValueWstr final : public CConfigValue {
 public:
  CConfigValueWstr() noexcept : CConfigValue(kTagWString) {}
  explicit CConfigValueWstr(const ZEVO_DataHandleWrapper& message) noexcept : CConfigValue(kTagWString, message) {}

  using CConfigValue::GetValue;
  using CConfigValue::SetValue;

  std::int32_t GetValue(std::u16string& out) const noexcept override;
  std::int32_t GetValue(std::uint64_t& out) const noexcept override { return GetUnsigned(out); }
  std::int32_t GetValue(std::uint32_t& out) const noexcept override { return GetUnsigned(out); }
  std::int32_t GetValue(std::uint16_t& out) const noexcept override { return GetUnsigned(out); }
  std::int32_t GetValue(std::uint8_t& out) const noexcept override { return GetUnsigned(out); }
  std::int32_t GetValue(std::int64_t& out) const noexcept override { return GetSigned(out); }
  std::int32_t GetValue(std::int32_t& out) const noexcept override { return GetSigned(out); }
  std::int32_t GetValue(std::int16_t& out) const noexcept override { return GetSigned(out); }
  std::int32_t GetValue(std::int8_t& out) const noexcept override { return GetSigned(out); }
  std::int32_t GetValue(bool& out) const noexcept override;

  std::int32_t SetValue(const std::u16string& value) noexcept override { return Store(value); }
  std::int32_t SetValue(std::uint64_t value) noexcept override { return StoreDecimal(std::uint64_t{value}); }
  std::int32_t SetValue(std::uint32_t value) noexcept override { return StoreDecimal(std::uint64_t{value}); }
  std::int32_t SetValue(std::uint16_t value) noexcept override { return StoreDecimal(std::uint64_t{value}); }
  std::int32_t SetValue(std::uint8_t value) noexcept override { return StoreDecimal(std::uint64_t{value}); }
  std::int32_t SetValue(std::int64_t value) noexcept override { return StoreDecimal(std::int64_t{value}); }
  std::int32_t SetValue(std::int32_t value) noexcept override { return StoreDecimal(std::int64_t{value}); }
  std::int32_t SetValue(std::int16_t value) noexcept override { return StoreDecimal(std::int64_t{value}); }
  std::int32_t SetValue(std::int8_t value) noexcept override;
  std::int32_t SetValue(bool value) noexcept override;

 private:
  std::optional<std::u16string> Datum() const noexcept;
  std::int32_t Store(const std::u16string& datum) noexcept;
  std::int32_t StoreDecimal(std::int64_t value) noexcept;
  std::int32_t StoreDecimal(std::uint64_t value) noexcept;
  // Through a signed 64-bit number, then range-checked.
  template <class U>
  std::int32_t GetSigned(U& out) const noexcept {
    const std::optional<std::u16string> datum = Datum();
    const std::optional<std::int64_t> number = datum ? ParseSignedDecimal(*datum) : std::nullopt;
    return Deliver(number ? RangeChecked<U>(*number) : std::nullopt, out);
  }
  // Through an unsigned 64-bit number, then range-checked.
  template <class U>
  std::int32_t GetUnsigned(U& out) const noexcept {
    const std::optional<std::u16string> datum = Datum();
    const std::optional<std::uint64_t> number = datum ? ParseUnsignedDecimal(*datum) : std::nullopt;
    return Deliver(number ? RangeChecked<U>(*number) : std::nullopt, out);
  }
  template <class U>
  static std::int32_t Deliver(const std::optional<U>& converted, U& out) noexcept {
    if (!converted) return kUnsupported;
    out = *converted;
    return kCommonOk;
  }
};

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_CONFIG_VALUE_WSTR_H_
