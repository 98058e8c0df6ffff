// Win32 wants wchar_t texts; the module speaks char16_t. Both are UTF-16
// code units on Windows, so the conversions are plain copies.
#ifndef ZEVO_OS_WIN32_WIDE_H_
#define ZEVO_OS_WIN32_WIDE_H_

#include <windows.h>

#include <new>
#include <string>
#include <string_view>

namespace zevo::os::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t is UTF-16 here");

inline std::wstring ToWide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

inline std::u16string FromWide(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

// The wide form of `path`; false (ERROR_NOT_ENOUGH_MEMORY) when it cannot
// be made.
inline bool ToNative(std::u16string_view path, std::wstring& native) noexcept {
  try {
    native = ToWide(path);
    return true;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
}

}  // namespace zevo::os::win32

#endif  // ZEVO_OS_WIN32_WIDE_H_
