#include "config/number_text.h"

#include <algorithm>
#include <charconv>
#include <system_error>
#include <type_traits>

namespace zevo::config {
namespace {

// Longest decimal text of a 64-bit number: a sign and 20 digits.
constexpr std::size_t kMaxDecimalChars = 21;
constexpr std::size_t kMaxDecimalDigits = 20;

// An optional sign and at least one digit, nothing else. Leading zeros do
// not count towards the length: "+0000...0012" is 12 however many zeros.
// A '-' before a zero magnitude gives 0, for unsigned numbers too.
template <class T>
std::optional<T> Parse(std::u16string_view text) noexcept {
  const bool negative = text.starts_with(u'-');
  if (negative || text.starts_with(u'+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  const std::size_t first = std::min(text.find_first_not_of(u'0'), text.size() - 1);
  text.remove_prefix(first);  // keeps one digit of an all-zero text
  if (text.size() > kMaxDecimalDigits) return std::nullopt;
  char narrow[kMaxDecimalDigits];
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
    narrow[i] = static_cast<char>(text[i]);
  }
  std::uint64_t magnitude = 0;
  const char* const end = narrow + text.size();
  const auto [stop, error] = std::from_chars(narrow, end, magnitude, 10);
  if (error != std::errc{} || stop != end) return std::nullopt;
  if (!negative) return RangeChecked<T>(magnitude);
  if (magnitude == 0) return T{0};
  if constexpr (std::is_signed_v<T>) {
    // -(2^63) has no positive counterpart: negate in unsigned arithmetic.
    if (magnitude > std::uint64_t{1} << 63) return std::nullopt;
    return static_cast<T>(0 - magnitude);
  }
  return std::nullopt;  // a negative number never becomes an unsigned one
}

template <class T>
std::u16string Format(T value) {
  char narrow[kMaxDecimalChars];
  const auto [stop, error] = std::to_chars(narrow, narrow + sizeof narrow, value);
  (void)error;  // 21 characters always suffice
  return std::u16string(narrow, stop);
}

}  // namespace

std::optional<std::int64_t> ParseSignedDecimal(std::u16string_view text) noexcept { return Parse<std::int64_t>(text); }

std::optional<std::uint64_t> ParseUnsignedDecimal(std::u16string_view text) noexcept {
  return Parse<std::uint64_t>(text);
}

std::u16string FormatDecimal(std::int64_t value) { return Format(value); }
std::u16string FormatDecimal(std::uint64_t value) { return Format(value); }

}  // namespace zevo::config
