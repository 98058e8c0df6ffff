// How a datum sits under index 0x70005 of a value message: 32-bit integers
// as message integers, 8-, 16- and 64-bit integers as binary in the
// machine's (little-endian) byte order, texts as wide strings.
// Internal to the value classes.
#ifndef ZEVO_SRC_CONFIG_VALUE_ENCODING_H_
#define ZEVO_SRC_CONFIG_VALUE_ENCODING_H_

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "config/config_layout.h"
#include "zevo/msg_wrapper.h"

namespace zevo::config {

template <std::integral T>
std::int32_t PutDatum(ZEVO_DataHandleWrapper& message, T datum) noexcept {
  if constexpr (std::same_as<T, std::int32_t>) {
    return message.PutInt32(kValueIndex, datum);
  } else if constexpr (std::same_as<T, std::uint32_t>) {
    return message.PutUInt32(kValueIndex, datum);
  } else {
    return message.PutBinary(kValueIndex, &datum, sizeof datum);
  }
}

inline std::int32_t PutDatum(ZEVO_DataHandleWrapper& message, const std::u16string& datum) noexcept {
  return message.PutWString(kValueIndex, datum);
}

template <std::integral T>
bool GetDatum(const ZEVO_DataHandleWrapper& message, T& out) noexcept {
  if constexpr (std::same_as<T, std::int32_t>) {
    return message.GetInt32At(kValueIndex, 0, &out) >= 0;
  } else if constexpr (std::same_as<T, std::uint32_t>) {
    return message.GetUInt32At(kValueIndex, 0, &out) >= 0;
  } else {
    T datum{};
    std::uint32_t length = 0;
    if (message.GetBinaryAt(kValueIndex, 0, &datum, sizeof datum, &length) < 0 || length != sizeof datum) {
      return false;
    }
    out = datum;
    return true;
  }
}

inline bool GetDatum(const ZEVO_DataHandleWrapper& message, std::u16string& out) noexcept {
  return message.GetWStringAt(kValueIndex, 0, &out) >= 0;
}

// A whole new value message (name id 0x70005) holding `datum`.
template <class T>
std::optional<ZEVO_DataHandleWrapper> NewValueMessage(const T& datum) noexcept {
  ZEVO_DataHandleWrapper fresh(kValueNameId);
  if (!fresh.Valid() || PutDatum(fresh, datum) < 0) return std::nullopt;
  return std::optional<ZEVO_DataHandleWrapper>(std::move(fresh));
}

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_VALUE_ENCODING_H_
