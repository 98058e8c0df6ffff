#include "config/config_value_wstr.h"

#include <new>

#include "config/number_text.h"
#include "config/value_encoding.h"
#include "zevo/result.h"

namespace zevo::config {

std::optional<std::u16string> CConfigValueWstr::Datum() const noexcept {
  std::u16string datum;
  if (!GetDatum(Message(), datum)) return std::nullopt;
  return datum;
}

std::int32_t CConfigValueWstr::Store(const std::u16string& datum) noexcept {
  auto fresh = NewValueMessage(datum);
  if (!fresh) return kUnsupported;
  Replace(*fresh);
  return kCommonOk;
}

std::int32_t CConfigValueWstr::StoreDecimal(std::int64_t value) noexcept {
  try {
    return Store(FormatDecimal(value));
  } catch (const std::bad_alloc&) {
    return kUnsupported;
  }
}

std::int32_t CConfigValueWstr::StoreDecimal(std::uint64_t value) noexcept {
  try {
    return Store(FormatDecimal(value));
  } catch (const std::bad_alloc&) {
    return kUnsupported;
  }
}

std::int32_t CConfigValueWstr::SetValue(std::int8_t value) noexcept {
  try {
    // The signed 8-bit value is a character: stored as that character.
    return Store(std::u16string(1, static_cast<char16_t>(static_cast<std::uint8_t>(value))));
  } catch (const std::bad_alloc&) {
    return kUnsupported;
  }
}

std::int32_t CConfigValueWstr::SetValue(bool value) noexcept {
  try {
    return Store(value ? u"1" : u"0");
  } catch (const std::bad_alloc&) {
    return kUnsupported;
  }
}

std::int32_t CConfigValueWstr::GetValue(std::u16string& out) const noexcept {
  std::optional<std::u16string> datum = Datum();
  if (!datum) return kUnsupported;
  out.swap(*datum);
  return kCommonOk;
}

std::int32_t CConfigValueWstr::GetValue(bool& out) const noexcept {
  const std::optional<std::u16string> datum = Datum();
  if (!datum) return kUnsupported;
  const std::optional<std::int64_t> number = ParseSignedDecimal(*datum);
  if (!number) return kUnsupported;
  out = *number != 0;
  return kCommonOk;
}

}  // namespace zevo::config
