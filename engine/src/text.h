// Text helpers: UTF conversions, fixed record fields, numbers and globs.
#ifndef TARSK_TEXT_H_
#define TARSK_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/utf.h"

namespace tarsk {

// Malformed input becomes U+FFFD; never fails otherwise.
using zevo::host::Utf16ToUtf8;
using zevo::host::Utf8ToUtf16;

// Copies at most N-1 characters and terminates; the rest of dst is zeroed.
template <std::size_t N>
void CopyText(char16_t (&dst)[N], std::u16string_view src) noexcept {
  const std::size_t n = src.size() < N - 1 ? src.size() : N - 1;
  for (std::size_t i = 0; i < N; ++i) dst[i] = i < n ? src[i] : u'\0';
}

// A NUL-terminated text, or empty for null.
std::u16string_view TextOf(const char16_t* text) noexcept;

// Writes text and its terminator into buffer when it fits `capacity`
// characters; false (buffer untouched) otherwise.
bool WriteText(std::u16string_view text, char16_t* buffer, std::int32_t capacity) noexcept;

// Decimal, or hexadecimal with 0x; the whole text must be the number.
std::optional<std::int64_t> ParseNumber(std::string_view text);
std::optional<std::int64_t> ParseNumber(std::u16string_view text);

std::vector<std::string_view> Split(std::string_view text, char separator);
std::vector<std::u16string_view> Split(std::u16string_view text, char16_t separator);

// ASCII letters folded to lower case; other characters unchanged.
std::u16string AsciiLower(std::u16string_view text);

// '*' any run, '?' one character; ASCII letters match either case.
bool GlobMatch(std::u16string_view glob, std::u16string_view name);

}  // namespace tarsk

#endif  // TARSK_TEXT_H_
