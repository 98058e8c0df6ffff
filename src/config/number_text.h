// Whole-text decimal conversions between wide texts and integers.
#ifndef ZEVO_SRC_CONFIG_NUMBER_TEXT_H_
#define ZEVO_SRC_CONFIG_NUMBER_TEXT_H_

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace zevo::config {

// The whole text as a decimal number: an optional '+' or '-' and at least
// one digit, any number of them leading zeros; nothing else (no blanks).
// Out of range: nullopt. A negative number never converts to an unsigned
// one ("-0" is 0).
std::optional<std::int64_t> ParseSignedDecimal(std::u16string_view text) noexcept;
std::optional<std::uint64_t> ParseUnsignedDecimal(std::u16string_view text) noexcept;

// Decimal text of a number. Throws std::bad_alloc only.
std::u16string FormatDecimal(std::int64_t value);
std::u16string FormatDecimal(std::uint64_t value);

// `value` as a To when To can hold it exactly.
template <std::integral To, std::integral From>
std::optional<To> RangeChecked(From value) noexcept {
  if (!std::in_range<To>(value)) return std::nullopt;
  return static_cast<To>(value);
}

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_NUMBER_TEXT_H_
