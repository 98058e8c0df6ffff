// The few operating-system calls of the logging library; the build picks
// posix/ or win32/.
#ifndef ZEVO_HOST_LOG_LOG_PLATFORM_H_
#define ZEVO_HOST_LOG_LOG_PLATFORM_H_

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace zevo::hostlog {

struct LocalTime {
  int year, month, day, hour, minute, second, millisecond;
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// The wall clock in local time.
LocalTime NowLocal();

// The operating system's id of the calling thread.
uint64_t CurrentThreadId();

// The value of an environment variable; nullopt when it is not set.
std::optional<std::u16string> GetEnvironment(const char* name);

// Opens `path` for appending in binary mode; null on failure.
UniqueFile OpenForAppend(const std::u16string& path);

}  // namespace zevo::hostlog

#endif  // ZEVO_HOST_LOG_LOG_PLATFORM_H_
