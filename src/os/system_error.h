// The calling thread's last system error as a code and as log text.
#ifndef ZEVO_OS_SYSTEM_ERROR_H_
#define ZEVO_OS_SYSTEM_ERROR_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zevo::os {

// Longest error text, in UTF-16 code units.
inline constexpr std::size_t kMaxErrorTextLength = 255;

// The calling thread's last error: GetLastError() on Windows, errno on
// POSIX. Changes nothing, so a later LastErrorText() sees the same error.
std::int32_t LastErrorCode() noexcept;

// "failed with error <code>: <system message>" for the calling thread's
// last error. The code is read before anything else runs, so call this
// right after the failed call. On POSIX, a failed DynamicLibrary call
// supplies the loader's own message (dlerror) instead of the errno text.
// Cut to kMaxErrorTextLength code units. Throws only std::bad_alloc.
std::u16string LastErrorText();

// The same text for a given code.
std::u16string ErrorText(std::int32_t code);

// "failed with error <code>: <message>": the code in signed decimal, the
// message as it comes (line breaks included), the whole cut to
// kMaxErrorTextLength code units without splitting a surrogate pair.
std::u16string FormatErrorText(std::int32_t code, std::u16string_view message);

}  // namespace zevo::os

#endif  // ZEVO_OS_SYSTEM_ERROR_H_
