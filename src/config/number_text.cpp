#include "config/number_text.h"

#include <charconv>
#include <system_error>

namespace zevo::config {
namespace {

// Longest decimal text of a 64-bit number: a sign and 20 digits.
constexpr std::size_t kMaxDecimalChars = 21;

template <class T>
std::optional<T> Parse(std::u16string_view text) noexcept {
  if (text.empty() || text.size() > kMaxDecimalChars) return std::nullopt;
  char narrow[kMaxDecimalChars];
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] > 0x7f) return std::nullopt;
    narrow[i] = static_cast<char>(text[i]);
  }
  const char* const end = narrow + text.size();
  T value{};
  const auto [stop, error] = std::from_chars(narrow, end, value, 10);
  if (error != std::errc{} || stop != end) return std::nullopt;
  return value;
}

template <class T>
std::u16string Format(T value) {
  char narrow[kMaxDecimalChars];
  const auto [stop, error] = std::to_chars(narrow, narrow + sizeof narrow, value);
  (void)error;  // 21 characters always suffice
  return std::u16string(narrow, stop);
}

}  // namespace

std::optional<std::int64_t> ParseSignedDecimal(std::u16string_view text) noexcept {
  return Parse<std::int64_t>(text);
}

std::optional<std::uint64_t> ParseUnsignedDecimal(std::u16string_view text) noexcept {
  return Parse<std::uint64_t>(text);
}

std::u16string FormatDecimal(std::int64_t value) { return Format(value); }
std::u16string FormatDecimal(std::uint64_t value) { return Format(value); }

}  // namespace zevo::config
