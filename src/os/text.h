// Conversions between UTF-16 (the module's texts) and UTF-8 (POSIX system
// calls and messages).
#ifndef ZEVO_OS_TEXT_H_
#define ZEVO_OS_TEXT_H_

#include <string>
#include <string_view>

namespace zevo::os {

// A surrogate pair becomes one 4-byte sequence; a lone surrogate becomes
// U+FFFD. Throws only std::bad_alloc.
std::string Utf16ToUtf8(std::u16string_view text);

// Code points above U+FFFF become surrogate pairs. Each malformed sequence
// (bad lead byte, missing continuation, overlong form, encoded surrogate,
// value above U+10FFFF) becomes one U+FFFD. Throws only std::bad_alloc.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace zevo::os

#endif  // ZEVO_OS_TEXT_H_
