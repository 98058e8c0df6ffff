// The dynamic loader keeps its error text (dlerror) apart from errno. This
// record keeps the text of the calling thread's last failed dl* call, tied
// to the errno value it left, so that LastErrorText() can show it.
#ifndef ZEVO_OS_POSIX_DL_ERROR_H_
#define ZEVO_OS_POSIX_DL_ERROR_H_

#include <string_view>

namespace zevo::os::posix {

// Records `text` (dlerror()'s result, may be null) for the calling thread
// and leaves errno set: to its current value when the failed call set one,
// else to fallbackCode. REQUIRES: errno was cleared before the dl* call.
void RecordDlError(const char* text, int fallbackCode) noexcept;

// Forgets the recorded text, e.g. after a successful dl* call.
void ClearDlError() noexcept;

// The recorded text when it belongs to `code` (errno has not moved on
// since), else empty.
std::string_view RecordedDlErrorText(int code) noexcept;

}  // namespace zevo::os::posix

#endif  // ZEVO_OS_POSIX_DL_ERROR_H_
