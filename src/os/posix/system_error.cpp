#include "os/system_error.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "os/posix/dl_error.h"
#include "os/text.h"

namespace zevo::os {

namespace {

// strerror_r comes in two shapes: the XSI one returns an int and fills the
// buffer, the GNU one returns the text (which may not be the buffer).
[[maybe_unused]] const char* StrerrorResult(int result, const char* buffer) { return result == 0 ? buffer : ""; }
[[maybe_unused]] const char* StrerrorResult(const char* result, const char* /*buffer*/) {
  return result != nullptr ? result : "";
}

std::u16string SystemMessage(int code) {
  char buffer[256] = {};
  return Utf8ToUtf16(StrerrorResult(strerror_r(code, buffer, sizeof buffer), buffer));
}

}  // namespace

std::int32_t LastErrorCode() noexcept { return errno; }

std::u16string LastErrorText() {
  const int code = errno;  // first: anything below may change it
  const std::string_view dlText = posix::RecordedDlErrorText(code);
  if (!dlText.empty()) return FormatErrorText(code, Utf8ToUtf16(dlText));
  return ErrorText(code);
}

std::u16string ErrorText(std::int32_t code) { return FormatErrorText(code, SystemMessage(code)); }

}  // namespace zevo::os
