#include "os/system_error.h"

#include <windows.h>

#include <memory>

#include "os/win32/wide.h"

namespace zevo::os {

namespace {

// English (United States): log texts read the same on every machine.
constexpr DWORD kMessageLanguage = 1033;

struct LocalFreer {
  void operator()(wchar_t* buffer) const noexcept { LocalFree(buffer); }
};
using LocalText = std::unique_ptr<wchar_t, LocalFreer>;

// The system's message for `code`, as it comes (line break included);
// empty when the system has none. The flags are exactly ALLOCATE_BUFFER |
// FROM_SYSTEM with no arguments: a message that wants inserts then fails
// and yields an empty text.
std::u16string SystemMessage(DWORD code) {
  wchar_t* raw = nullptr;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                      /*lpSource=*/nullptr, code, kMessageLanguage, reinterpret_cast<wchar_t*>(&raw),
                                      /*nSize=*/0, /*Arguments=*/nullptr);
  const LocalText buffer(raw);
  if (length == 0 || !buffer) return {};
  return win32::FromWide({buffer.get(), length});
}

}  // namespace

std::int32_t LastErrorCode() noexcept { return static_cast<std::int32_t>(GetLastError()); }

std::u16string LastErrorText() {
  const DWORD code = GetLastError();  // first: anything below may change it
  return ErrorText(static_cast<std::int32_t>(code));
}

std::u16string ErrorText(std::int32_t code) { return FormatErrorText(code, SystemMessage(static_cast<DWORD>(code))); }

}  // namespace zevo::os
