// The system calls the file operations (file_ops.h) make, gathered in one
// table so that a test can make any one of them fail: the replacement steps
// must lose no file whichever call fails.
#ifndef ZEVO_UTIL_FILE_CALLS_H_
#define ZEVO_UTIL_FILE_CALLS_H_

#include <cstdint>
#include <string_view>

namespace zevo::util {

// Each entry behaves as the os:: function of the same name (os/file_ops.h,
// os/file_system.h) and reports failures through os::LastWin32Error().
struct FileCalls {
  bool (*GetAttributes)(std::u16string_view path, std::uint32_t& attributes) noexcept;
  bool (*SetAttributes)(std::u16string_view path, std::uint32_t attributes) noexcept;
  bool (*MoveWithFlags)(std::u16string_view from, std::u16string_view to, std::uint32_t flags) noexcept;
  bool (*MoveFileTo)(std::u16string_view from, std::u16string_view to) noexcept;
  bool (*DeleteFileAt)(std::u16string_view path) noexcept;
  bool (*CopyFileTo)(std::u16string_view from, std::u16string_view to, bool failIfExists) noexcept;
  bool (*MakeHardLink)(std::u16string_view link, std::u16string_view existing) noexcept;
  bool (*CreateFolder)(std::u16string_view path) noexcept;
};

// The real calls.
const FileCalls& SystemFileCalls() noexcept;

// The table the calling thread's file operations use: the system's unless a
// ScopedFileCalls is alive on this thread.
const FileCalls& CurrentFileCalls() noexcept;

// Points the calling thread's file operations at `calls` while it lives.
// REQUIRES: `calls` outlives it; scopes nest in stack order.
class ScopedFileCalls {
 public:
  explicit ScopedFileCalls(const FileCalls& calls) noexcept;
  ~ScopedFileCalls();
  ScopedFileCalls(const ScopedFileCalls&) = delete;
  ScopedFileCalls& operator=(const ScopedFileCalls&) = delete;

 private:
  const FileCalls* previous_;
};

}  // namespace zevo::util

#endif  // ZEVO_UTIL_FILE_CALLS_H_
