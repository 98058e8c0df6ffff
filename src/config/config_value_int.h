// CConfigValueInt<T>: a configuration value holding an integer of type T
// (tags 3 to 10).
//
// Integers convert with range checks (a negative datum never becomes an
// unsigned number); bool is datum != 0; texts are decimal, except for the
// signed 8-bit type, whose text is the one character with the datum's code.
// The 8-bit types cannot be set from a text.
#ifndef ZEVO_SRC_CONFIG_CONFIG_VALUE_INT_H_
#define ZEVO_SRC_CONFIG_CONFIG_VALUE_INT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>

#include "config/config_value.h"
#include "config/number_text.h"
#include "zevo/result.h"

namespace zevo::config {

template <class T>
constexpr std::uint32_t IntegerTag() noexcept {
  if constexpr (std::is_same_v<T, std::int8_t>)
    return kTagInt8;
  else if constexpr (std::is_same_v<T, std::int16_t>)
    return kTagInt16;
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return kTagInt32;
  else if constexpr (std::is_same_v<T, std::int64_t>)
    return kTagInt64;
  else if constexpr (std::is_same_v<T, std::uint8_t>)
    return kTagUInt8;
  else if constexpr (std::is_same_v<T, std::uint16_t>)
    return kTagUInt16;
  else if constexpr (std::is_same_v<T, std::uint32_t>)
    return kTagUInt32;
  else if constexpr (std::is_same_v<T, std::uint64_t>)
    return kTagUInt64;
  else
    return kTagNone;
}

template <class T>
class CConfigValueInt final : public CConfigValue {
  static_assert(IntegerTag<T>() != kTagNone, "one of the eight fixed-width integer types");

 public:
  CConfigValueInt() noexcept : CConfigValue(IntegerTag<T>()) {}
  explicit CConfigValueInt(const ZEVO_DataHandleWrapper& message) noexcept : CConfigValue(IntegerTag<T>(), message) {}

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
  std::int32_t SetValue(std::uint64_t value) noexcept override { return SetNumber(value); }
  std::int32_t SetValue(std::uint32_t value) noexcept override { return SetNumber(value); }
  std::int32_t SetValue(std::uint16_t value) noexcept override { return SetNumber(value); }
  std::int32_t SetValue(std::uint8_t value) noexcept override { return SetNumber(value); }
  std::int32_t SetValue(std::int64_t value) noexcept override { return SetNumber(value); }
  std::int32_t SetValue(std::int32_t value) noexcept override { return SetNumber(value); }
  std::int32_t SetValue(std::int16_t value) noexcept override { return SetNumber(value); }
  std::int32_t SetValue(std::int8_t value) noexcept override { return SetNumber(value); }
  std::int32_t SetValue(bool value) noexcept override;

 private:
  std::optional<T> Datum() const noexcept;
  template <class U>
  std::int32_t GetNumber(U& out) const noexcept {
    const std::optional<T> datum = Datum();
    const std::optional<U> converted = datum ? RangeChecked<U>(*datum) : std::nullopt;
    if (!converted) return kUnsupported;
    out = *converted;
    return kCommonOk;
  }
  template <class U>
  std::int32_t SetNumber(U value) noexcept {
    const std::optional<T> converted = RangeChecked<T>(value);
    return converted ? Store(*converted) : kUnsupported;
  }
  std::int32_t Store(T datum) noexcept;
};

extern template class CConfigValueInt<std::int8_t>;
extern template class CConfigValueInt<std::int16_t>;
extern template class CConfigValueInt<std::int32_t>;
extern template class CConfigValueInt<std::int64_t>;
extern template class CConfigValueInt<std::uint8_t>;
extern template class CConfigValueInt<std::uint16_t>;
extern template class CConfigValueInt<std::uint32_t>;
extern template class CConfigValueInt<std::uint64_t>;

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_CONFIG_VALUE_INT_H_
