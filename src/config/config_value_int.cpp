#include "config/config_value_int.h"

#include <new>

#include "config/number_text.h"
#include "config/value_encoding.h"
#include "zevo/result.h"

namespace zevo::config {

template <class T>
std::optional<T> CConfigValueInt<T>::Datum() const noexcept {
  T datum{};
  if (!GetDatum(Message(), datum)) return std::nullopt;
  return datum;
}

template <class T>
std::int32_t CConfigValueInt<T>::Store(T datum) noexcept {
  auto fresh = NewValueMessage(datum);
  if (!fresh) return kUnsupported;
  Replace(*fresh);
  return kCommonOk;
}

template <class T>
std::int32_t CConfigValueInt<T>::GetValue(bool& out) const noexcept {
  const std::optional<T> datum = Datum();
  if (!datum) return kUnsupported;
  out = *datum != 0;
  return kCommonOk;
}

template <class T>
std::int32_t CConfigValueInt<T>::SetValue(bool value) noexcept {
  return Store(value ? T{1} : T{0});
}

template <class T>
std::int32_t CConfigValueInt<T>::GetValue(std::u16string& out) const noexcept {
  const std::optional<T> datum = Datum();
  if (!datum) return kUnsupported;
  try {
    if constexpr (std::is_same_v<T, std::int8_t>) {
      // The signed 8-bit value is a character: its text is that character.
      out.assign(1, static_cast<char16_t>(static_cast<std::uint8_t>(*datum)));
    } else if constexpr (std::is_signed_v<T>) {
      out = FormatDecimal(static_cast<std::int64_t>(*datum));
    } else {
      out = FormatDecimal(static_cast<std::uint64_t>(*datum));
    }
  } catch (const std::bad_alloc&) {
    return kUnsupported;
  }
  return kCommonOk;
}

template <class T>
std::int32_t CConfigValueInt<T>::SetValue(const std::u16string& value) noexcept {
  if constexpr (sizeof(T) == 1) {
    (void)value;
    return kUnsupported;
  } else if constexpr (std::is_signed_v<T>) {
    const auto parsed = ParseSignedDecimal(value);
    return parsed ? SetNumber(*parsed) : kUnsupported;
  } else {
    const auto parsed = ParseUnsignedDecimal(value);
    return parsed ? SetNumber(*parsed) : kUnsupported;
  }
}

template class CConfigValueInt<std::int8_t>;
template class CConfigValueInt<std::int16_t>;
template class CConfigValueInt<std::int32_t>;
template class CConfigValueInt<std::int64_t>;
template class CConfigValueInt<std::uint8_t>;
template class CConfigValueInt<std::uint16_t>;
template class CConfigValueInt<std::uint32_t>;
template class CConfigValueInt<std::uint64_t>;

}  // namespace zevo::config
